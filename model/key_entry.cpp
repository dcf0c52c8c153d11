#include "model/key_entry.h"

#include <utility>

CValueItems& CValueItems::operator=(std::vector<std::string> items) {
    m_pItems = std::make_unique<std::vector<std::string>>(std::move(items));
    return *this;
}

const std::vector<std::string>& CValueItems::Empty() {
    static const std::vector<std::string> empty(EMPTY_COUNT);
    return empty;
}

std::vector<std::string>& CValueItems::Items() {
    if (!m_pItems) m_pItems = std::make_unique<std::vector<std::string>>(EMPTY_COUNT);
    return *m_pItems;
}

CRareText& CRareText::operator=(std::string text) {
    if (m_pText)
        *m_pText = std::move(text);
    else if (!text.empty())
        m_pText = std::make_unique<std::string>(std::move(text));
    return *this;
}

const std::string& CRareText::str() const {
    static const std::string empty;
    return m_pText ? *m_pText : empty;
}

#if defined(__GLIBCXX__) && UINTPTR_MAX == UINT64_MAX
// A file of short lines holds an entry per line; keep them at two cache lines.
static_assert(sizeof(CKeyEntry) <= 128, "CKeyEntry grew");
#endif

CKeyEntry::CKeyEntry(std::string keyword, std::string value, int line)
    : m_Line(line), m_LongLine(line), m_Keyword(std::move(keyword)), m_Value(std::move(value)) {}
