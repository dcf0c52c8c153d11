#pragma once
// The semantic check of a whole GSD file: the keyword table that says where each
// keyword may stand, how it is counted and what of it is recorded, and the rules
// that judge the recorded values. One object lives for one Check GSD run.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/key_entry.h"
#include "model/taluna_context.h"

enum SemanticPass { PassCollect = 4, PassEvaluate = 5, PassFinal = 6 };

class CSemanticCheck {
public:
    CSemanticCheck(CTalunaContext& context, const void* doc);
    ~CSemanticCheck();
    CSemanticCheck(const CSemanticCheck&) = delete;
    CSemanticCheck& operator=(const CSemanticCheck&) = delete;

    void CheckEntry(CKeyEntry& entry, SemanticPass pass);

private:
    struct CState;
    std::unique_ptr<CState> m_pState;
};
