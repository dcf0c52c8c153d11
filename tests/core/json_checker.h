#pragma once
// Tests of the programs' JSON output: a reader that accepts exactly the grammar
// of RFC 8259 and nothing else.

#include <string>

namespace taluna_test {

class CJsonChecker {
public:
    explicit CJsonChecker(const std::string& text) : m_Text(text) {}
    bool Valid() {
        Space();
        if (!Value()) return false;
        Space();
        return m_nPos == m_Text.size();
    }

private:
    bool Value() {
        if (m_nPos >= m_Text.size()) return false;
        switch (m_Text[m_nPos]) {
            case '{': return Object();
            case '[': return Array();
            case '"': return String();
            case 't': return Word("true");
            case 'f': return Word("false");
            case 'n': return Word("null");
            default: return Number();
        }
    }
    bool Object() {
        ++m_nPos;
        Space();
        if (Peek('}')) return ++m_nPos, true;
        for (;;) {
            Space();
            if (!String()) return false;
            Space();
            if (!Peek(':')) return false;
            ++m_nPos;
            Space();
            if (!Value()) return false;
            Space();
            if (Peek('}')) return ++m_nPos, true;
            if (!Peek(',')) return false;
            ++m_nPos;
        }
    }
    bool Array() {
        ++m_nPos;
        Space();
        if (Peek(']')) return ++m_nPos, true;
        for (;;) {
            Space();
            if (!Value()) return false;
            Space();
            if (Peek(']')) return ++m_nPos, true;
            if (!Peek(',')) return false;
            ++m_nPos;
        }
    }
    bool String() {
        if (!Peek('"')) return false;
        for (++m_nPos; m_nPos < m_Text.size(); ++m_nPos) {
            const auto c = static_cast<unsigned char>(m_Text[m_nPos]);
            if (c == '"') return ++m_nPos, true;
            if (c < 0x20) return false;
            if (c == '\\') ++m_nPos;
        }
        return false;
    }
    bool Number() {
        const size_t start = m_nPos;
        if (Peek('-')) ++m_nPos;
        while (m_nPos < m_Text.size() && std::isdigit(static_cast<unsigned char>(m_Text[m_nPos]))) ++m_nPos;
        return m_nPos > start;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (m_Text.compare(m_nPos, w.size(), w) != 0) return false;
        m_nPos += w.size();
        return true;
    }
    bool Peek(char c) const { return m_nPos < m_Text.size() && m_Text[m_nPos] == c; }
    void Space() {
        while (m_nPos < m_Text.size() && std::isspace(static_cast<unsigned char>(m_Text[m_nPos]))) ++m_nPos;
    }
    const std::string& m_Text;
    size_t m_nPos = 0;
};

}  // namespace taluna_test
