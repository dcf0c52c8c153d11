#pragma once
// The tree of keys as the tests read it: its items through the tree's model.

#include <QAbstractItemModel>
#include <QModelIndexList>
#include <QStringList>

#include "views/gsd_tree_view.h"

inline QString ItemText(const QModelIndex& item) {
    return item.data().toString();
}

inline int ChildCount(const QModelIndex& item) {
    return item.isValid() ? item.model()->rowCount(item) : 0;
}

inline QModelIndex Child(const QModelIndex& item, int row) {
    return item.model()->index(row, 0, item);
}

// An item and every item below it, parents before children.
inline QModelIndexList AllItems(const QModelIndex& item) {
    QModelIndexList items{item};
    for (int i = 0; i < ChildCount(item); ++i) items += AllItems(Child(item, i));
    return items;
}

inline QStringList ChildTexts(const QModelIndex& item) {
    QStringList texts;
    for (int i = 0; i < ChildCount(item); ++i) texts << ItemText(Child(item, i));
    return texts;
}

// The child with `text`, or invalid.
inline QModelIndex ChildNamed(const QModelIndex& item, const QString& text) {
    for (int i = 0; i < ChildCount(item); ++i)
        if (ItemText(Child(item, i)) == text) return Child(item, i);
    return {};
}

// The key item whose first line is 1-based `line`, or invalid.
inline QModelIndex KeyItemAt(const CGSDTreeView* tree, int line) {
    const QString suffix = QStringLiteral(" (%1)").arg(line);
    for (const QModelIndex& item : AllItems(tree->RootItem()))
        if (ItemText(item).endsWith(suffix)) return item;
    return {};
}
