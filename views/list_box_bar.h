#pragma once
// The output window: a docking bar with the three-column list of check messages
// (kind with icon, line, text) and three switches above it that show or hide
// the errors, the warnings and the infos. The message sink of the desktop
// editor; the one place that turns a CCheckMessage into a row. A click on a
// row, or moving through the rows with the arrow keys, asks for the row's line
// to be shown in the row's document (the navigation document for a row
// without one); F1 on a row asks for the help page of its message.

#include <QDockWidget>
#include <QIcon>
#include <array>
#include <string>

#include "model/seams.h"

class COutputModel;
class COutputFilter;
class QToolButton;
class QTableView;

// What a row of the output list carries besides its texts.
enum EOutputRole {
    ROLE_OUTPUT_KIND = Qt::UserRole + 2,  // CheckMessageKind of the row
    ROLE_OUTPUT_LINE,                     // 0-based line, -1 for none
    ROLE_OUTPUT_DOCUMENT,                 // the row's document (quintptr), 0 for none
    ROLE_OUTPUT_MESSAGE_ID,               // string-table id of the text, 0 for none
};

// The groups of kinds the output window shows or hides.
enum EOutputFilter {
    FILTER_ERRORS = 1,    // errors and fatal errors
    FILTER_WARNINGS = 2,  // warnings
    FILTER_INFOS = 4,     // infos and notes
    FILTER_ALL = 7,
};

class CMyListBoxBar : public QDockWidget, public IMessageSink {
    Q_OBJECT
public:
    explicit CMyListBoxBar(QWidget* parent = nullptr);

    // Appends a row and shows the bar when it is hidden.
    void AddRow(const CCheckMessage& message) override;
    // Deletes every row and forgets the navigation document.
    void Clear() override;

    int RowCount() const;
    // Column `column` of row `row` as shown.
    QString RowText(int row, int column) const;
    // Icon index of a row: 0 Info, 1 Error, 2 Fatal Error, 3 Warning.
    int RowIconIndex(int row) const;
    const void* NavigationDocument() const { return m_pNavDoc; }
    QTableView* List() const { return m_pList; }
    static QIcon KindIcon(int kind);

    // The 0-based line a "Line-Nr." column names: its first four characters
    // dropped, the rest read as a decimal number, minus 1. Negative for "---".
    static int LineOfLineText(const QString& text);
    // The selected row, or -1.
    int SelectedRow() const;
    // Selects row `row` and makes it current (no navigation).
    void SelectRow(int row);
    // Navigation from row `row`: when the row names a line, asks for it in the
    // row's document (or the navigation document) with navigateRequested.
    void NavigateFromRow(int row);
    // The help page of row `row`'s message ("msg_133.htm"); empty for a row
    // whose message has none, such as a note of the check.
    std::string HelpPageOfRow(int row) const;

    // Which groups of kinds the list shows (EOutputFilter flags).
    int Filter() const;
    void SetFilter(int groups);
    // The switch of a group, and the rows of that group in the list.
    QToolButton* FilterButton(EOutputFilter group) const;
    int CountOf(EOutputFilter group) const;
    // The number of rows the list shows.
    int VisibleRowCount() const;

signals:
    // Show 0-based line `line` of document `document`: the key in its tree, the
    // line in its text, its window in front.
    void navigateRequested(const void* document, int line);
    // F1 on a row: show help page `page` of the row's message.
    void helpRequested(const QString& page);

protected:
    bool event(QEvent* event) override;

private:
    void OnListKey(int key, int selectedBefore);
    // Floating, the window has a frame of the window system (which some
    // systems do not give a floating dock widget) and lies on a screen.
    void FitFloatingWindow();
    void KeepOnScreen();
    void UpdateFilterButtons();

    QTableView* m_pList;
    COutputModel* m_pModel;
    COutputFilter* m_pProxy;
    QToolButton* m_pFilterButtons[3];
    bool m_bCountsPending = false;
    const void* m_pNavDoc = nullptr;
    bool m_bFitPending = false;
};
