#pragma once
// The tree of a document's keys: fills itself from the key database, grouped
// into general, slave, master and user-defined keys with module blocks as
// sub-trees; makes the selected key current, moves the text to its line and
// prepares the key form; notices a stale database; offers the key commands.

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <QTreeWidget>
#include <vector>

#include "views/gsd_view_host.h"

class QMenu;
class QAction;
class CFillProgress;

// Image roles of the tree's items (index into the image list).
enum ETreeImage {
    IMAGE_STRING = 0,
    IMAGE_UINT = 1,
    IMAGE_BOOL = 2,
    IMAGE_MASTER = 3,
    IMAGE_SLAVE = 4,
    IMAGE_ROOT = 5,
    IMAGE_USER = 6,
    IMAGE_MODULE = 7,
    IMAGE_NO_DATABASE = 8,
    IMAGE_OTHER = 9,
    IMAGE_GENERAL = 10,
    IMAGE_OCTET = 11,
    IMAGE_COUNT = 12
};

// Item data role that holds an item's image role.
constexpr int ROLE_TREE_IMAGE = Qt::UserRole + 1;

// Command ids of the context menu.
constexpr int ID_KEY_INFO = 32778;
constexpr int ID_CHECK_SYNTAX = 32779;
constexpr int ID_USER_KEY = 32782;
constexpr int ID_SHOW_DETAILS = 32784;

// Item texts are compared as a sorted tree inserts them: ASCII letters folded
// to lower case, then byte by byte, so "Module (120)" sorts before "Module (20)".
// Negative, 0 or positive.
int CompareTreeText(const QString& a, const QString& b);

// Whether the text no longer holds a key at `line`: the line (its first 255
// characters, trimmed) does not contain `keyword` (case-sensitive; a
// Module_Reference carries only its number), or it is a comment.
bool IsKeyLineStale(const ILineSource& lines, std::string_view keyword, int line);

// The key item text "%s (%u)": keyword and 1-based first line.
QString KeyItemText(const CKeyEntry& entry);

class CGSDTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CGSDTreeView(IGsdViewHost& host, QWidget* parent = nullptr);

    // A fill of at least this many entries shows the progress window.
    static constexpr int FILL_PROGRESS_ENTRIES = 20000;
    // The progress window's status line while the tree fills.
    static QString FillStatusText();

    // The fill on first display: deletes every item and fills.
    void OnInitialUpdate();
    // The refill on a document update; nothing while the tree is stale. Groups
    // and modules stay open or closed, the selected key stays selected (and
    // the current entry) and the tree keeps its scroll position, wherever the
    // same items are still there. The text is not moved.
    void OnUpdate();

    // Selects the key item whose first line is `line` (0-based).
    void SelectKeyAtLine(int line);

    // The entry an item shows, or null (a lookup, valid only for entries of the
    // current database).
    CKeyEntry* EntryOfItem(const QTreeWidgetItem* item) const;
    // The item of an entry of the current database, or null.
    QTreeWidgetItem* ItemOfEntry(const CKeyEntry& entry) const;
    // Gives the entry's item the text "%s (%d)" after the key form changed the entry.
    void RenameEntryItem(const CKeyEntry& entry);

    // The stale-database state: the tree is disabled until a Rebuild.
    bool IsStale() const { return m_bStale; }
    // Rebuild's step: the tree becomes usable again.
    void SetStale(bool stale);
    // Enters the stale state: disables the tree and the key form and asks for a Rebuild.
    void ReportStale();

    QTreeWidgetItem* RootItem() const { return m_pRoot; }
    QTreeWidgetItem* SelectedItem() const { return m_pSelected; }

    // The context menu with its four commands (owned by the tree).
    QMenu* ContextMenu();
    QAction* MenuAction(int id) const;

    // The icon of an image role, drawn at 16 x 16.
    static QIcon ImageIcon(int role);
    // Whether an item's text does not fit into the pane where it stands (its
    // tooltip then shows the whole text).
    bool IsItemTextCut(const QTreeWidgetItem* item) const;

    // The key commands of the context menu.
    void OnKeyInfo();
    void OnCheckSyntax();
    void OnUserKey();
    void OnShowDetails();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // What a refill keeps: items by the texts of their paths.
    struct STreeState {
        bool m_bValid = false;
        QHash<QString, bool> m_Expanded;
        QString m_Current;
        int m_nScrollX = 0;
        int m_nScrollY = 0;
    };
    STreeState SaveState() const;
    void RestoreState(const STreeState& state);
    // Empties the tree and fills it again, under one progress window for a
    // large tree.
    void Refill();
    // Deletes every item, one unit of progress per key item.
    void DeleteItems(CFillProgress& progress);
    // Two units of progress per entry: its item made and attached.
    void Fill(CFillProgress& progress);
    void OnSelectionChanged(QTreeWidgetItem* current);
    QTreeWidgetItem* NewItem(const QString& text, int image, bool bold);
    void ShowContextMenu(const QPoint& globalPos);
    // Where the menu opens when asked for with the keyboard (Shift+F10, the
    // Menu key): at the current item.
    QPoint KeyboardMenuPos() const;

    IGsdViewHost& m_Host;
    int m_bSyncText = 1;
    bool m_bFilling = false;
    bool m_bStale = false;
    QTreeWidgetItem* m_pSelected = nullptr;
    QTreeWidgetItem* m_pRoot = nullptr;
    QTreeWidgetItem* m_pUser = nullptr;
    QTreeWidgetItem* m_pGeneral = nullptr;
    QTreeWidgetItem* m_pSlave = nullptr;
    QTreeWidgetItem* m_pMaster = nullptr;
    QTreeWidgetItem* m_pModule = nullptr;
    // The item of the entry at `index` of the last fill, or null.
    QTreeWidgetItem* ItemAt(int index) const;
    // Key item -> index of its entry in the database of the last fill, and back.
    QHash<const QTreeWidgetItem*, int> m_ItemIndex;
    std::vector<QTreeWidgetItem*> m_EntryItems;
    unsigned m_nFillGeneration = 0;
    QMenu* m_pMenu = nullptr;
};

// The "Object Details..." dialog: the current entry's fields, for information.
class CObjectDetailsDialog : public QDialog {
    Q_OBJECT
public:
    // `treeItem`: the tree's item of the current entry, or null.
    CObjectDetailsDialog(const CTalunaContext& context, const CKeyDatabase& database, const void* treeItem = nullptr,
                         QWidget* parent = nullptr);

    // The texts of the dialog's lines, in order, for an entry and its tree item.
    static QStringList DetailLines(const CKeyEntry& entry, const void* treeItem, int curItem, int entryCount);
    const QStringList& Lines() const { return m_Lines; }

private:
    QStringList m_Lines;
};
