#pragma once
// Texts kept once however often they are added: the rows of a check repeat a
// handful of messages thousands of times, and each row then holds an index.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CTextTable {
public:
    // The index of `text`, added when it is new.
    uint32_t Intern(const std::string& text) {
        const auto [it, added] = m_Index.try_emplace(text, static_cast<uint32_t>(m_Texts.size()));
        if (added) {
            try {
                m_Texts.push_back(&it->first);
            } catch (...) {
                m_Index.erase(it);
                throw;
            }
        }
        return it->second;
    }
    const std::string& At(uint32_t index) const { return *m_Texts[index]; }
    size_t Size() const { return m_Texts.size(); }
    void Clear() {
        std::vector<const std::string*>().swap(m_Texts);
        std::unordered_map<std::string, uint32_t>().swap(m_Index);
    }

private:
    std::unordered_map<std::string, uint32_t> m_Index;  // its nodes keep their place
    std::vector<const std::string*> m_Texts;
};
