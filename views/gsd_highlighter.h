#pragma once
// Colours GSD text block by block through the core's tokenizer. Attached to a
// document's QTextDocument, it re-colours only the blocks an edit touched.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

#include "model/gsd_tokenizer.h"

class IProgressSink;

class CGSDHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit CGSDHighlighter(QTextDocument* document);

    // The style of a token class: colour and bold flag.
    static QTextCharFormat StyleOf(ETokenClass tokenClass);

    // While set, every block coloured advances `progress` by one step a percent of
    // `totalBlocks`; used for the whole-text pass of a load. Setting another sink
    // (or none) ends the progress of the previous one.
    void SetLoadProgress(IProgressSink* progress, int totalBlocks);
    // Number of blocks coloured since construction (for tests and benchmarks).
    long long BlocksColoured() const { return m_nBlocksColoured; }

protected:
    void highlightBlock(const QString& text) override;

private:
    std::array<QTextCharFormat, 6> m_Styles;
    IProgressSink* m_pProgress = nullptr;
    int m_nTotalBlocks = 0;
    int m_nShownPercent = 0;
    long long m_nBlocksColoured = 0;
};
