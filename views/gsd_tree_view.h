#pragma once
// The tree of a document's keys: fills itself from the key database, grouped
// into general, slave, master and user-defined keys with module blocks as
// sub-trees; makes the selected key current, moves the text to its line and
// prepares the key form; notices a stale database; offers the key commands.

#include <QDialog>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTreeView>
#include <map>
#include <string>
#include <vector>

#include "views/gsd_view_host.h"
#include "views/key_tree_model.h"

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

// Command ids of the context menu.
constexpr int ID_KEY_INFO = 32778;
constexpr int ID_CHECK_SYNTAX = 32779;
constexpr int ID_USER_KEY = 32782;
constexpr int ID_SHOW_DETAILS = 32784;

// Whether the text no longer holds a key at `line`: the line (its first 255
// characters, trimmed) does not contain `keyword` (case-sensitive; a
// Module_Reference carries only its number), or it is a comment.
bool IsKeyLineStale(const ILineSource& lines, std::string_view keyword, int line);

class CGSDTreeView : public QTreeView {
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

    // The entry an item shows, or null (an item of an older fill, or of a
    // database rebuilt since the fill, leads to none).
    CKeyEntry* EntryOfItem(const QModelIndex& item) const;
    // The item of an entry of the current database, or invalid.
    QModelIndex ItemOfEntry(const CKeyEntry& entry) const;
    // Gives the entry's item the text "%s (%d)" after the key form changed the entry.
    void RenameEntryItem(const CKeyEntry& entry);

    // The stale-database state: the tree is disabled until a Rebuild.
    bool IsStale() const { return m_bStale; }
    // Rebuild's step: the tree becomes usable again.
    void SetStale(bool stale);
    // Enters the stale state: disables the tree and the key form and asks for a Rebuild.
    void ReportStale();

    // The root item, invalid before the first fill.
    QModelIndex RootItem() const { return m_pModel->RootIndex(); }
    QModelIndex SelectedItem() const { return m_Selected; }
    const CKeyTreeModel& Model() const { return *m_pModel; }

    // The context menu with its four commands (owned by the tree).
    QMenu* ContextMenu();
    QAction* MenuAction(int id) const;

    // The icon of an image role, drawn at 16 x 16.
    static QIcon ImageIcon(int role);
    // Whether an item's text does not fit into the pane where it stands (its
    // tooltip then shows the whole text).
    bool IsItemTextCut(const QModelIndex& item) const;

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
    // What a refill keeps: items by the texts of their paths. The refill
    // follows a rebuild of the database, so the paths of the open keys and of
    // the current item are taken when they open and when it is selected.
    struct STreeState {
        bool m_bValid = false;
        std::vector<std::pair<QStringList, bool>> m_Expanded;
        QStringList m_Current;
        int m_nScrollX = 0;
        int m_nScrollY = 0;
    };
    // The texts from the root down to a node; empty when a text is not known.
    QStringList PathOf(qint64 node) const;
    // The node at the end of `path` in the tree as it is now, or -1.
    qint64 NodeOfPath(const QStringList& path) const;
    STreeState SaveState() const;
    void RestoreState(const STreeState& state);
    // Fills the tree anew, under one progress window for a large database.
    void Refill();
    void OnSelectionChanged(const QModelIndex& current);
    void ShowContextMenu(const QPoint& globalPos);
    // Where the menu opens when asked for with the keyboard (Shift+F10, the
    // Menu key): at the current item.
    QPoint KeyboardMenuPos() const;

    IGsdViewHost& m_Host;
    int m_bSyncText = 1;
    bool m_bFilling = false;
    bool m_bStale = false;
    CKeyTreeModel* m_pModel;
    QPersistentModelIndex m_Selected;
    // The key items of the last fill that are expanded, with their paths.
    std::map<qint64, QStringList> m_ExpandedKeys;
    // The path of the current item.
    QStringList m_CurrentPath;
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
