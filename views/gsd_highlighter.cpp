#include "views/gsd_highlighter.h"

#include <QCoreApplication>
#include <QTextDocument>

#include "app/cp1252.h"
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

CGSDHighlighter::CGSDHighlighter(QTextDocument* document) : QSyntaxHighlighter(static_cast<QObject*>(nullptr)) {
    for (size_t i = 0; i < m_Styles.size(); ++i) m_Styles[i] = StyleOf(static_cast<ETokenClass>(i));
    setDocument(document);
    // setDocument schedules a whole-document pass for later; run it now, while the
    // document is still empty, so that every later change is coloured at once.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
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
    rehighlight();
}

void CGSDHighlighter::SetLoadProgress(IProgressSink* progress, int totalBlocks) {
    if (m_pProgress) m_pProgress->End();
    m_pProgress = progress;
    m_nTotalBlocks = totalBlocks;
    m_nShownPercent = 0;
    if (m_pProgress) {
        m_pProgress->Begin(EncodeCp1252(QCoreApplication::translate("CGSDHighlighter", "Processing GSD file...")));
        m_pProgress->SetStatus("Scanning keyword...");
    }
}

void CGSDHighlighter::highlightBlock(const QString& text) {
    ++m_nBlocksColoured;
    // One character per byte: the tokenizer's offsets are the block's positions.
    const std::string bytes = EncodeCp1252(text);
    for (const SToken& token : TokenizeGsdLine(bytes, m_Profile == ECheckProfile::Rev5 ? &IsRev5Keyword : nullptr))
        setFormat(token.m_nStart, token.m_nLength, m_Styles[static_cast<size_t>(token.m_Class)]);

    if (m_pProgress && m_nTotalBlocks > 0) {
        const int percent =
            static_cast<int>(static_cast<long long>(currentBlock().blockNumber()) * 100 / m_nTotalBlocks);
        while (m_nShownPercent < percent) {
            m_pProgress->StepIt();
            ++m_nShownPercent;
        }
    }
}
