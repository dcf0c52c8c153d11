#pragma once
// The key syntax check: one entry judged by itself against its catalogue row or
// its user-key registration. Findings go to the context's message sink at the
// entry's first line, for the context's checked document.

#include "check/keyword_catalogue.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"

// Most findings of characters that may not stand in one keyword.
constexpr int MAX_KEYWORD_CHAR_FINDINGS = 8;

// Line length of every physical line of the entry, and the keyword's characters.
void CheckKeyLines(CTalunaContext& context, const CKeyEntry& entry);
// The check of a key registered in the user's `UserKeys` section.
void CheckUserKey(CTalunaContext& context, CKeyEntry& entry);
// The catalogue row's value check; sets `m_bSyntaxOk` when it passes.
void CheckCatalogueRule(CTalunaContext& context, CKeyEntry& entry, const SCatalogueRow& row);
// The warning for a keyword that is neither known nor registered.
void ReportUnknownKey(CTalunaContext& context, const CKeyEntry& entry);
