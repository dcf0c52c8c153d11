#pragma once
// Colours GSD text block by block through the core's tokenizer. Attached to a
// document's QTextDocument, it re-colours only the blocks an edit touched.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

#include "model/check_profile.h"
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
    // Colours the keywords of the revision 5 rules too while they apply; a change
    // colours the text again.
    void SetProfile(ECheckProfile profile);
    ECheckProfile Profile() const { return m_Profile; }
    // Number of blocks coloured since construction (for tests and benchmarks).
    long long BlocksColoured() const { return m_nBlocksColoured; }

protected:
    void highlightBlock(const QString& text) override;

private:
    ECheckProfile m_Profile = ECheckProfile::Classic;
    std::array<QTextCharFormat, 6> m_Styles;
    IProgressSink* m_pProgress = nullptr;
    int m_nTotalBlocks = 0;
    int m_nShownPercent = 0;
    long long m_nBlocksColoured = 0;
};
