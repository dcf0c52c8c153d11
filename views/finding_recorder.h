#pragma once
// While it lives, the rows of a check still go to the output window and those
// that name a line of one document are kept as well, for the marks of that
// document's text pane.

#include <vector>

#include "base/check_message.h"
#include "model/seams.h"

class CTalunaContext;

class CFindingRecorder : public IMessageSink {
public:
    CFindingRecorder(CTalunaContext& context, const void* document);
    ~CFindingRecorder() override;
    CFindingRecorder(const CFindingRecorder&) = delete;
    CFindingRecorder& operator=(const CFindingRecorder&) = delete;

    void AddRow(const CCheckMessage& message) override;
    void Clear() override;
    const std::vector<CCheckMessage>& Findings() const { return m_Findings; }

private:
    CTalunaContext& m_Context;
    IMessageSink* m_pNext;
    const void* m_pDocument;
    std::vector<CCheckMessage> m_Findings;
};
