#pragma once
// The key database as the tree of keys shows it: the root, its four groups (or
// "no database") and one row per entry under its group, module item or block
// opener. A fill is one pass over the entries that records each entry's parent;
// a level is put in the order of its texts when it is first asked for. Rows
// lead to entries and entries to rows through the model's own vectors.

#include <QAbstractItemModel>
#include <QHash>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cp1252.h"
#include "model/key_database.h"

// The tree code reads the texts of an entry (keyword, value, value items)
// through these two only.
template <typename T>
std::string_view EntryBytes(const T& field) {
    return std::string_view(field);
}
template <typename T>
QString EntryText(const T& field) {
    return DecodeCp1252(EntryBytes(field));
}

// Item data role that holds an item's image role.
constexpr int ROLE_TREE_IMAGE = Qt::UserRole + 1;

// Item texts are compared as a sorted tree inserts them: ASCII letters folded
// to lower case, then byte by byte, so "Module (120)" sorts before "Module (20)".
// Negative, 0 or positive.
int CompareTreeText(const QString& a, const QString& b);

// The key item text "%s (%u)": keyword and 1-based first line.
QString KeyItemText(const CKeyEntry& entry);

// CompareTreeText of the two entries' key item texts, without making the texts
// for all but rare keywords.
int CompareKeyItems(const CKeyEntry& a, const CKeyEntry& b);

// The 0-based line that a key item text names: the number after its first "("
// (read as atoi reads it) minus 1; false for texts without "(".
bool ParseItemLine(const QString& text, int& line);

class CKeyTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The nodes of the tree: the root, the groups in the order they are
    // shown, "no database", then one node per entry (NODE_ENTRY + index).
    enum ENode : qint64 {
        NODE_ROOT = 0,
        NODE_GENERAL = 1,
        NODE_MASTER = 2,
        NODE_SLAVE = 3,
        NODE_USER = 4,
        NODE_NO_DATABASE = 5,
        NODE_ENTRY = 6
    };

    explicit CKeyTreeModel(QObject* parent = nullptr);

    // Shows `database` anew: one pass over its entries, then the four groups
    // put in order. `advance` is told of every unit of work done (one per
    // entry in the pass, one per child put in order). On std::bad_alloc the
    // model shows the root alone and the exception goes on.
    void Fill(const CKeyDatabase& database, const std::function<void(long long)>& advance);
    // Shows the root alone (after a fill ran out of memory).
    void FillRootOnly();

    // The root's index; invalid before the first fill.
    QModelIndex RootIndex() const;
    // The index of a node of the last fill (which puts the levels above it
    // in order); invalid for a node the fill does not have.
    QModelIndex IndexOfNode(qint64 node) const;
    // The node an index of the last fill stands for, or -1.
    qint64 NodeOf(const QModelIndex& index) const;
    // Whether the index stands for an entry's item, of this fill or an older one.
    bool IsKeyItem(const QModelIndex& index) const;
    // The entry an index of the last fill shows, while the database is the
    // one filled from; else null.
    CKeyEntry* EntryOf(const QModelIndex& index) const;
    // The index of an entry of the database filled from, or invalid.
    QModelIndex IndexOfEntry(const CKeyEntry& entry) const;
    // Whether the database holds the entries the model was filled from.
    bool IsCurrent() const;
    // The entry's item shows its keyword and first line anew.
    void EntryChanged(const CKeyEntry& entry);

    // The key item whose text names `line` (0-based), as a walk through the
    // tree from the root finds it first (parents before children, siblings
    // in order, at most 20 levels of parents); `cancelled` when the walk
    // needed a 21st level before it found one.
    QModelIndex KeyAtLine(int line, bool& cancelled) const;
    // The key item with the text `text`, found by the line the text names, or -1.
    qint64 FindKeyItem(const QString& text) const;
    // A node's text: made from its entry, or as last shown while the
    // database is rebuilt (empty when it was not shown lately).
    QString NodeText(qint64 node) const;
    // The node's parent node (-1 for the root).
    qint64 ParentNode(qint64 node) const;

    // The number of nodes of the last fill.
    qint64 NodeCount() const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // What a shown item looked like: kept for the items asked for lately, so
    // that the tree can still be painted while the database is being rebuilt.
    struct SShown {
        QString m_Text;
        int m_nImage = 0;
    };
    void Reset();
    quintptr IdOf(qint64 node) const;
    qint64 ChildCount(qint64 node) const;
    // The `row`th child of a node, the node's children put in order first.
    qint64 ChildNode(qint64 node, int row) const;
    void SortChildren(qint64 node) const;
    int RowOf(qint64 node) const;
    const CKeyEntry* EntryOfNode(qint64 node) const;
    SShown Shown(qint64 node) const;
    // The line the item text of an entry names.
    int ItemLine(const CKeyEntry& entry) const;

    const CKeyDatabase* m_pDatabase = nullptr;
    unsigned m_nGeneration = 0;
    quintptr m_nSerial = 0;
    bool m_bFilled = false;
    bool m_bGroups = false;
    bool m_bRootOnly = false;
    // Whether the entries' first lines rise with their index.
    bool m_bLinesOrdered = true;
    // Whether a node with children lies 20 levels or more below the root.
    bool m_bDeep = false;
    // Per entry: its parent node.
    std::vector<std::int32_t> m_Parent;
    // Per node: where its children start in m_Children (one more at the end).
    std::vector<std::uint32_t> m_First;
    // The entries, grouped by parent node, each group in database order until sorted.
    mutable std::vector<std::int32_t> m_Children;
    // Per entry: its row among its siblings, once they are in order.
    mutable std::vector<std::int32_t> m_Row;
    mutable std::vector<bool> m_Sorted;
    // Entries whose keyword holds "(": their item texts name another line.
    std::vector<std::int32_t> m_ParenEntries;
    mutable QHash<qint64, SShown> m_Shown;
};
