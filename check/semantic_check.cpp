#include "check/semantic_check.h"

struct CSemanticCheck::CState {};

CSemanticCheck::CSemanticCheck(CTalunaContext&, const void*) : m_pState(std::make_unique<CState>()) {}
CSemanticCheck::~CSemanticCheck() = default;
void CSemanticCheck::CheckEntry(CKeyEntry&, SemanticPass) {}
