#include "views/gsd_highlighter.h"

#include "check/keyword_catalogue.h"
#include "model/seams.h"

namespace {

struct SStyle {
    int m_nRed, m_nGreen, m_nBlue;
    bool m_bBold;
};

// Indexed by ETokenClass: plain, comment, number, string, keyword, type word.
constexpr SStyle kStyles[] = {
    {0, 0, 0, false},      {9, 115, 57, false}, {230, 0, 100, false},
    {159, 17, 255, false}, {0, 0, 230, true},   {178, 147, 4, false},
};

}  // namespace

CGSDHighlighter::CGSDHighlighter(QObject* parent) : QObject(parent) {
    for (size_t i = 0; i < m_Styles.size(); ++i) m_Styles[i] = StyleOf(static_cast<ETokenClass>(i));
}

QTextCharFormat CGSDHighlighter::StyleOf(ETokenClass tokenClass) {
    const SStyle& style = kStyles[static_cast<int>(tokenClass)];
    QTextCharFormat format;
    format.setForeground(QColor(style.m_nRed, style.m_nGreen, style.m_nBlue));
    format.setFontWeight(style.m_bBold ? QFont::Bold : QFont::Normal);
    return format;
}

namespace {

// A keyword that only the revision 5 rules know.
bool IsRev5Keyword(std::string_view word) {
    const SCatalogueRow* row = KeywordCatalogue::Find(word, ECheckProfile::Rev5);
    return row != nullptr && row->IsRev5();
}

}  // namespace

void CGSDHighlighter::SetProfile(ECheckProfile profile) {
    if (profile == m_Profile) return;
    m_Profile = profile;
    emit profileChanged();
}

QList<QTextLayout::FormatRange> CGSDHighlighter::Formats(std::string_view line) const {
    ++m_nLinesColoured;
    QList<QTextLayout::FormatRange> formats;
    // One character per byte: the tokenizer's offsets are the line's positions.
    for (const SToken& token : TokenizeGsdLine(line, m_Profile == ECheckProfile::Rev5 ? &IsRev5Keyword : nullptr)) {
        formats.append({token.m_nStart, token.m_nLength, m_Styles[static_cast<size_t>(token.m_Class)]});
    }
    return formats;
}
