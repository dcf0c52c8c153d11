#pragma once
// The output window: a docking bar with the three-column list of check messages
// (kind with icon, line, text). The message sink of the desktop editor; the one
// place that turns a CCheckMessage into a row.

#include <QDockWidget>
#include <QIcon>
#include <array>

#include "model/seams.h"

class QStandardItemModel;
class QSortFilterProxyModel;
class QTreeView;

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
    QTreeView* List() const { return m_pList; }
    static QIcon KindIcon(int kind);

private:
    QTreeView* m_pList;
    QStandardItemModel* m_pModel;
    QSortFilterProxyModel* m_pProxy;
    const void* m_pNavDoc = nullptr;
};
