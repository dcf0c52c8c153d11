#include "views/finding_recorder.h"

#include "model/taluna_context.h"

CFindingRecorder::CFindingRecorder(CTalunaContext& context, const void* document)
    : m_Context(context), m_pNext(context.m_pMessages), m_pDocument(document) {
    m_Context.m_pMessages = this;
}

CFindingRecorder::~CFindingRecorder() {
    m_Context.m_pMessages = m_pNext;
}

void CFindingRecorder::AddRow(const CCheckMessage& message) {
    if (m_pNext != nullptr) m_pNext->AddRow(message);
    if (message.m_pDoc == m_pDocument && message.HasLine())
        m_Findings.push_back({message.m_nLine, message.m_nKind, m_Texts.Intern(message.m_Text)});
}

void CFindingRecorder::Clear() {
    if (m_pNext != nullptr) m_pNext->Clear();
    m_Findings.clear();
    m_Texts.Clear();
}
