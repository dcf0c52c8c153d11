#include "base/check_message.h"

std::string CCheckMessage::KindText() const {
    return CheckMessageKind::Name(m_nKind);
}

const char* CheckMessageKind::Name(int kind) {
    switch (kind) {
        case CheckMessageKind::Error: return "Error";
        case CheckMessageKind::FatalError: return "Fatal Error";
        case CheckMessageKind::Warning: return "Warning";
        default: return "Info";
    }
}

bool CCheckMessage::HasLine() const {
    return m_nLine >= 0 && m_nKind >= CheckMessageKind::Info && m_nKind <= CheckMessageKind::Warning;
}

std::string CCheckMessage::LineText() const {
    if (!HasLine()) return "---";
    return "Line " + std::to_string(static_cast<long long>(m_nLine) + 1);
}

std::string CCheckMessage::RowText() const {
    return KindText() + "\t" + LineText() + "\t" + m_Text;
}
