#pragma once
// Colours GSD text line by line through the core's tokenizer. The text pane
// asks it for the lines it shows, so a line is coloured only when it is seen.

#include <QList>
#include <QObject>
#include <QTextCharFormat>
#include <QTextLayout>
#include <array>
#include <string_view>

#include "model/check_profile.h"
#include "model/gsd_tokenizer.h"

class CGSDHighlighter : public QObject {
    Q_OBJECT
public:
    explicit CGSDHighlighter(QObject* parent = nullptr);

    // The style of a token class: colour and bold flag.
    static QTextCharFormat StyleOf(ETokenClass tokenClass);

    // The colours of one line (bytes of the code page, one a character).
    QList<QTextLayout::FormatRange> Formats(std::string_view line) const;
    // Colours the keywords of the revision 5 rules too while they apply; a change
    // is announced so that the panes colour their text again.
    void SetProfile(ECheckProfile profile);
    ECheckProfile Profile() const { return m_Profile; }
    // Number of lines coloured since construction (for tests and benchmarks).
    long long LinesColoured() const { return m_nLinesColoured; }

signals:
    void profileChanged();

private:
    ECheckProfile m_Profile = ECheckProfile::Classic;
    std::array<QTextCharFormat, 6> m_Styles;
    mutable long long m_nLinesColoured = 0;
};
