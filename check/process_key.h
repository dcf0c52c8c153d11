#pragma once
// The one routine behind every keyword-dependent operation: key information,
// classification, compose, the key syntax check and the key's help page.

#include <string>
#include <string_view>

#include "model/key_classifier.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"

enum EProcessMode {
    MODE_INFORMATION = 0,
    MODE_CLASSIFY = 1,
    MODE_COMPOSE = 2,
    MODE_CHECK = 3,
    MODE_HELP = 7,
};

// Works on the context's current entry `m_pCurEntry`. Check mode reads the
// entry's lines from, and reports against, the context's `m_CheckedDoc`.
void ProcessKey(CTalunaContext& context, std::string_view keyword, int mode, std::string_view value);

// Makes `entry` the current entry and classifies it (the entry's creation step).
void ClassifyEntry(CTalunaContext& context, CKeyEntry& entry);

// The classifier the builder uses: ClassifyEntry behind the model's interface.
const IKeyClassifier& KeyClassifier();
