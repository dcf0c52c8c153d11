#include "model/key_entry.h"

#include <utility>

CKeyEntry::CKeyEntry(std::string keyword, std::string value, int line)
    : m_Line(line), m_LongLine(line), m_Keyword(std::move(keyword)), m_Value(std::move(value)),
      m_Ready(4) {}
