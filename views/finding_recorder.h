#pragma once
// While it lives, the rows of a check still go to the output window and those
// that name a line of one document are kept as well, for the marks of that
// document's text pane: line, kind and message, each message text once.

#include <cstdint>
#include <vector>

#include "base/check_message.h"
#include "model/seams.h"
#include "views/text_table.h"

class CTalunaContext;

struct SLineFinding {
    int m_nLine = 0;
    int m_nKind = CheckMessageKind::Info;
    uint32_t m_nText = 0;  // in the recorder's texts
};

class CFindingRecorder : public IMessageSink {
public:
    CFindingRecorder(CTalunaContext& context, const void* document);
    ~CFindingRecorder() override;
    CFindingRecorder(const CFindingRecorder&) = delete;
    CFindingRecorder& operator=(const CFindingRecorder&) = delete;

    void AddRow(const CCheckMessage& message) override;
    void Clear() override;
    const std::vector<SLineFinding>& Findings() const { return m_Findings; }
    const CTextTable& Texts() const { return m_Texts; }

private:
    CTalunaContext& m_Context;
    IMessageSink* m_pNext;
    const void* m_pDocument;
    std::vector<SLineFinding> m_Findings;
    CTextTable m_Texts;
};
