#include "views/gsd_tree_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>
#include <vector>

#include "base/string_table.h"
#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/keyword_catalogue.h"
#include "check/process_key.h"
#include "views/memory_headroom.h"
#include "views/user_key_dialog.h"
#include "views/view_text.h"

// The progress window over a refill of many entries: one step per percent of
// the work, so that the event loop runs while a large tree is emptied and
// built. Small trees show no window (they take a few milliseconds).
class CFillProgress {
public:
    CFillProgress(IProgressSink* sink, long long entries, long long work)
        : m_pSink(entries >= CGSDTreeView::FILL_PROGRESS_ENTRIES && work > 0 ? sink : nullptr), m_nWork(work) {
        if (m_pSink == nullptr) return;
        m_pSink->Begin(LoadString(57));
        m_pSink->SetStatus(QtToGsd(CGSDTreeView::FillStatusText()));
    }
    ~CFillProgress() {
        if (m_pSink != nullptr) m_pSink->End();
    }
    CFillProgress(const CFillProgress&) = delete;
    CFillProgress& operator=(const CFillProgress&) = delete;

    // Counts `units` of work done; steps the bar when a percent is complete.
    void Advance(long long units = 1) {
        m_nDone += units;
        if (m_pSink == nullptr || m_nDone < m_nNextStep) return;
        const long long percent = std::min<long long>(m_nDone * 100 / m_nWork, 100);
        while (m_nShown < percent) {
            m_pSink->StepIt();
            ++m_nShown;
        }
        m_nNextStep = (m_nShown + 1) * m_nWork / 100 + ((m_nShown + 1) * m_nWork % 100 != 0 ? 1 : 0);
    }

private:
    IProgressSink* m_pSink;
    long long m_nWork;
    long long m_nDone = 0;
    long long m_nShown = 0;
    long long m_nNextStep = 0;
};

namespace {

// Shows the wait cursor for the life of the object.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// As ParseItemLine, and the keyword: the text before the "(", trimmed.
bool ParseItemText(const QString& text, QString& keyword, int& line) {
    if (!ParseItemLine(text, line)) return false;
    keyword = text.left(text.indexOf(QLatin1Char('('))).trimmed();
    return true;
}

// A glyph on a coloured rounded square.
QPixmap Badge(const QColor& colour, const QString& glyph, const QColor& ink = Qt::white) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(140));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font = QApplication::font();
    font.setPixelSize(glyph.size() > 1 ? 8 : 11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, glyph);
    return pixmap;
}

QPixmap DrawImage(int role) {
    switch (role) {
        case IMAGE_STRING: return Badge(QColor(0x2f, 0x6f, 0xc4), QStringLiteral("ab"));
        case IMAGE_UINT: return Badge(QColor(0x2e, 0x8b, 0x57), QStringLiteral("12"));
        case IMAGE_BOOL: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
            painter.setBrush(Qt::white);
            painter.drawRect(QRectF(1.5, 1.5, 13, 13));
            painter.setPen(QPen(QColor(0x1a, 0x9a, 0x1a), 2));
            painter.drawPolyline(QPolygonF({QPointF(4, 8), QPointF(7, 11), QPointF(12, 4)}));
            return pixmap;
        }
        case IMAGE_MASTER: return Badge(QColor(0x7b, 0x3f, 0xa0), QStringLiteral("M"));
        case IMAGE_SLAVE: return Badge(QColor(0xd9, 0x7a, 0x1c), QStringLiteral("S"));
        case IMAGE_ROOT: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            QPainterPath page;
            page.moveTo(3, 1);
            page.lineTo(10, 1);
            page.lineTo(13, 4);
            page.lineTo(13, 15);
            page.lineTo(3, 15);
            page.closeSubpath();
            painter.setPen(QColor(0x44, 0x44, 0x44));
            painter.setBrush(QColor(0xfa, 0xfa, 0xf0));
            painter.drawPath(page);
            painter.setPen(QColor(0x2f, 0x6f, 0xc4));
            for (int y = 5; y <= 12; y += 3) painter.drawLine(5, y, 11, y);
            return pixmap;
        }
        case IMAGE_USER: return Badge(QColor(0x8a, 0x8a, 0x8a), QStringLiteral("U"));
        case IMAGE_MODULE: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QColor(0x6b, 0x4a, 0x1e));
            painter.setBrush(QColor(0xc8, 0x9b, 0x5a));
            painter.drawRect(QRectF(1.5, 4.5, 13, 9));
            painter.setBrush(QColor(0xe8, 0xc0, 0x84));
            painter.drawRect(QRectF(4.5, 1.5, 3, 3));
            painter.drawRect(QRectF(9.5, 1.5, 3, 3));
            return pixmap;
        }
        case IMAGE_NO_DATABASE: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2.5));
            painter.drawLine(3, 3, 13, 13);
            painter.drawLine(13, 3, 3, 13);
            return pixmap;
        }
        case IMAGE_OTHER: return Badge(QColor(0xb0, 0xb0, 0xb0), QStringLiteral("?"), Qt::black);
        case IMAGE_GENERAL: return Badge(QColor(0x1f, 0x8f, 0x9f), QStringLiteral("G"));
        case IMAGE_OCTET: return Badge(QColor(0x9f, 0x3f, 0x3f), QStringLiteral("0x"));
        default: return QPixmap(16, 16);
    }
}

}  // namespace

bool IsKeyLineStale(const ILineSource& lines, std::string_view keyword, int line) {
    const std::string text = Trim(lines.GetLine(line).substr(0, 255));
    const bool moved = text.find(keyword) == std::string::npos && !EqualsNoCase(keyword, "Module_Reference");
    return moved || (!text.empty() && text[0] == ';');
}

CGSDTreeView::CGSDTreeView(IGsdViewHost& host, QWidget* parent)
    : QTreeView(parent), m_Host(host), m_pModel(new CKeyTreeModel(this)) {
    setModel(m_pModel);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    // Item texts are shown whole; a tree wider than its pane scrolls.
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setStatusTip(QString());
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { OnSelectionChanged(current); });
    // Which keys are open, for the next refill to open them again.
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& item) {
        const qint64 node = m_pModel->NodeOf(item);
        if (node >= CKeyTreeModel::NODE_ENTRY) m_ExpandedKeys[node] = PathOf(node);
    });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& item) { m_ExpandedKeys.erase(m_pModel->NodeOf(item)); });
}

QString CGSDTreeView::FillStatusText() {
    return tr("Filling the key tree...");
}

QIcon CGSDTreeView::ImageIcon(int role) {
    static QIcon icons[IMAGE_COUNT];
    if (role < 0 || role >= IMAGE_COUNT) return {};
    if (icons[role].isNull()) icons[role] = QIcon(DrawImage(role));
    return icons[role];
}

void CGSDTreeView::OnInitialUpdate() {
    m_bFilling = true;
    Refill();
}

void CGSDTreeView::OnUpdate() {
    if (m_bStale) return;
    const STreeState state = SaveState();
    // Neither the refill nor the return to the former key moves the text.
    m_bSyncText = 0;
    m_bFilling = true;
    Refill();
    m_Host.SetTreeRefresh(false);
    RestoreState(state);
    m_bSyncText = 1;
}

QStringList CGSDTreeView::PathOf(qint64 node) const {
    QStringList path;
    for (; node >= 0; node = m_pModel->ParentNode(node)) {
        QString text = m_pModel->NodeText(node);
        if (text.isEmpty()) return {};
        path.prepend(std::move(text));
    }
    return path;
}

qint64 CGSDTreeView::NodeOfPath(const QStringList& path) const {
    if (path.isEmpty()) return -1;
    qint64 node = -1;
    if (path.size() <= 2) {
        // The root or a group.
        for (qint64 fixed = CKeyTreeModel::NODE_ROOT; fixed < CKeyTreeModel::NODE_ENTRY && node < 0; ++fixed)
            if (m_pModel->IndexOfNode(fixed).isValid() && m_pModel->NodeText(fixed) == path.last()) node = fixed;
    } else {
        node = m_pModel->FindKeyItem(path.last());
    }
    return node >= 0 && PathOf(node) == path ? node : -1;
}

CGSDTreeView::STreeState CGSDTreeView::SaveState() const {
    STreeState state;
    if (!RootItem().isValid()) return state;
    state.m_bValid = true;
    // The root and the groups are kept open or closed; of the keys only the
    // open ones, since a fill leaves every key closed.
    for (qint64 node = CKeyTreeModel::NODE_ROOT; node < CKeyTreeModel::NODE_NO_DATABASE; ++node) {
        const QModelIndex item = m_pModel->IndexOfNode(node);
        if (item.isValid()) state.m_Expanded.emplace_back(PathOf(node), isExpanded(item));
    }
    for (const auto& [node, path] : m_ExpandedKeys)
        if (!path.isEmpty()) state.m_Expanded.emplace_back(path, true);
    state.m_Current = currentIndex().isValid() ? m_CurrentPath : QStringList();
    state.m_nScrollX = horizontalScrollBar()->value();
    state.m_nScrollY = verticalScrollBar()->value();
    return state;
}

void CGSDTreeView::RestoreState(const STreeState& state) {
    if (!state.m_bValid || !RootItem().isValid()) return;
    // Groups and keys that are still there open and close as they were; new
    // ones keep the fill's choice.
    for (const auto& [path, open] : state.m_Expanded) {
        const qint64 node = NodeOfPath(path);
        if (node >= 0) setExpanded(m_pModel->IndexOfNode(node), open);
    }
    // The former item by its path; a key whose group changed by its keyword
    // and first line.
    qint64 node = NodeOfPath(state.m_Current);
    if (node < 0 && state.m_Current.size() > 2) node = m_pModel->FindKeyItem(state.m_Current.last());
    const QModelIndex item = m_pModel->IndexOfNode(node);
    if (item.isValid() && item != currentIndex()) setCurrentIndex(item);
    executeDelayedItemsLayout();
    horizontalScrollBar()->setValue(state.m_nScrollX);
    verticalScrollBar()->setValue(state.m_nScrollY);
}

void CGSDTreeView::Refill() {
    CWaitCursor wait;
    const CKeyDatabase& database = m_Host.Database();
    const long long entries = database.GetCount();
    CFillProgress progress(m_Host.Context().m_pProgress, entries, 2 * entries);
    m_bFilling = true;
    m_Selected = QPersistentModelIndex();
    m_ExpandedKeys.clear();
    try {
        m_pModel->Fill(database, [&progress](long long units) { progress.Advance(units); });
    } catch (const std::bad_alloc&) {
        // The rows go and the memory with them; the database stays, and the
        // tree shows its root until the next refill.
        m_ExpandedKeys.clear();
        m_bFilling = false;
        setCurrentIndex(RootItem());
        m_Host.Context().Notify(QtToGsd(tr("Not enough memory to show the %1 keys in the tree.\nThe text and the "
                                           "check are not affected.")
                                            .arg(entries)),
                                ENotifyIcon::Exclamation);
        return;
    }
    const QModelIndex root = RootItem();
    expand(root);
    if (!database.IsEmpty()) {
        for (qint64 group = CKeyTreeModel::NODE_GENERAL; group <= CKeyTreeModel::NODE_USER; ++group)
            expand(m_pModel->IndexOfNode(group));
        scrollTo(m_pModel->IndexOfNode(CKeyTreeModel::NODE_USER));
    }
    m_bFilling = false;
    // The model was reset, so selecting the root always runs the selection change.
    setCurrentIndex(root);
    scrollToTop();
}

CKeyEntry* CGSDTreeView::EntryOfItem(const QModelIndex& item) const {
    return m_pModel->EntryOf(item);
}

QModelIndex CGSDTreeView::ItemOfEntry(const CKeyEntry& entry) const {
    return m_pModel->IndexOfEntry(entry);
}

void CGSDTreeView::RenameEntryItem(const CKeyEntry& entry) {
    m_pModel->EntryChanged(entry);
}

void CGSDTreeView::SetStale(bool stale) {
    // Unchanged, the tree is not painted again (Check GSD and Rebuild set it
    // before their progress steps).
    if (stale == m_bStale && isEnabled() == !stale) return;
    m_bStale = stale;
    setEnabled(!stale);
    update();
}

void CGSDTreeView::ReportStale() {
    SetStale(true);
    m_Host.SetKeyFormEnabled(false);
    m_Host.Context().Notify(LoadString(IDS_STALE_DATABASE), ENotifyIcon::Information);
}

void CGSDTreeView::OnSelectionChanged(const QModelIndex& current) {
    m_CurrentPath = PathOf(m_pModel->NodeOf(current));
    if (m_bFilling || !current.isValid()) return;
    CTalunaContext& context = m_Host.Context();
    const bool refresh = m_Host.IsTreeRefresh();
    if (m_pModel->IsKeyItem(current)) {
        if (refresh) return;
        // An item the database does not hold any more counts as stale.
        CKeyEntry* entry = EntryOfItem(current);
        QString keyword;
        int line = 0;
        if (entry == nullptr || !ParseItemText(KeyItemText(*entry), keyword, line)) {
            ReportStale();
            return;
        }
        const std::string key = QtToGsd(keyword);
        if (IsKeyLineStale(m_Host.Lines(), key, line)) {
            ReportStale();
            return;
        }
        {
            CWaitCursor wait;
            context.m_pCurEntry = entry;
            context.m_nCurItem = entry->Index();
            m_Selected = current;
            if (m_bSyncText == 1) m_Host.SelectLine(line);
        }
        ProcessKey(context, key, MODE_INFORMATION, std::string(EntryBytes(entry->m_Value)));
        m_Host.UpdateAllViews(this);
        return;
    }
    if (refresh) return;
    m_Selected = current;
    ProcessKey(context, QtToGsd(current.data().toString()), MODE_INFORMATION, "");
    m_Host.UpdateAllViews(this);
    if (m_bSyncText == 1) m_Host.SelectLine(0);
}

void CGSDTreeView::SelectKeyAtLine(int line) {
    const QModelIndex root = RootItem();
    if (m_bStale || !root.isValid()) return;
    m_bSyncText = 0;
    setCurrentIndex(root);
    scrollToTop();
    {
        CWaitCursor wait;
        bool cancelled = false;
        const QModelIndex item = m_pModel->KeyAtLine(line, cancelled);
        if (item.isValid()) {
            setCurrentIndex(item);
            scrollTo(item, QAbstractItemView::PositionAtTop);
        } else if (cancelled) {
            m_Host.Context().Notify("No Tree-Entry found.\nSearch cancelled!", ENotifyIcon::Exclamation);
        } else {
            m_Host.Context().Notify("No Tree-Entry found!", ENotifyIcon::Information);
        }
    }
    m_bSyncText = 1;
}

QMenu* CGSDTreeView::ContextMenu() {
    if (m_pMenu != nullptr) return m_pMenu;
    m_pMenu = new QMenu(this);
    struct SItem {
        int id;
        const char* text;
        const char* status;
        void (CGSDTreeView::*handler)();
    };
    const SItem items[] = {
        {ID_KEY_INFO, "&Key Info", "Shows extended informations about the selected key.", &CGSDTreeView::OnKeyInfo},
        {ID_CHECK_SYNTAX, "&Check Syntax", "Checks the data type and range of the selected key.",
         &CGSDTreeView::OnCheckSyntax},
        {ID_USER_KEY, "&User Key...", "Parametrizes the selected user-defined key.", &CGSDTreeView::OnUserKey},
        {ID_SHOW_DETAILS, "&Show Details...", "Shows object details (for information only).",
         &CGSDTreeView::OnShowDetails},
    };
    for (const SItem& item : items) {
        if (item.id == ID_SHOW_DETAILS) m_pMenu->addSeparator();
        QAction* action = m_pMenu->addAction(QString::fromLatin1(item.text));
        action->setData(item.id);
        action->setStatusTip(QString::fromLatin1(item.status));
        connect(action, &QAction::triggered, this, item.handler);
    }
    return m_pMenu;
}

QAction* CGSDTreeView::MenuAction(int id) const {
    if (m_pMenu == nullptr) return nullptr;
    for (QAction* action : m_pMenu->actions())
        if (action->data().toInt() == id) return action;
    return nullptr;
}

void CGSDTreeView::ShowContextMenu(const QPoint& globalPos) {
    QMenu* menu = ContextMenu();
    menu->popup(globalPos);
}

QPoint CGSDTreeView::KeyboardMenuPos() const {
    // Below the start of the current item's text, as far as it is in sight.
    const QModelIndex item = currentIndex();
    const QRect visible = viewport()->rect();
    QPoint pos = visible.topLeft();
    if (item.isValid()) {
        const QRect rect = visualRect(item);
        if (rect.isValid() && rect.intersects(visible))
            pos = QPoint(std::clamp(rect.left() + iconSize().width(), visible.left(), visible.right()),
                         std::clamp(rect.bottom() + 1, visible.top(), visible.bottom()));
    }
    return viewport()->mapToGlobal(pos);
}

void CGSDTreeView::contextMenuEvent(QContextMenuEvent* event) {
    ShowContextMenu(event->reason() == QContextMenuEvent::Keyboard ? KeyboardMenuPos() : event->globalPos());
    event->accept();
}

void CGSDTreeView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) || event->key() == Qt::Key_Menu) {
        ShowContextMenu(KeyboardMenuPos());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

bool CGSDTreeView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // An item text cut at the pane's edge is shown whole.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex item = indexAt(help->pos());
        if (item.isValid() && IsItemTextCut(item)) {
            QToolTip::showText(help->globalPos(), item.data().toString(), viewport(), visualRect(item));
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QTreeView::viewportEvent(event);
}

bool CGSDTreeView::IsItemTextCut(const QModelIndex& index) const {
    if (!index.isValid()) return false;
    const QRect rect = visualRect(index);
    // The width the item's icon and text need, from where they start.
    const int needed = sizeHintForIndex(index).width();
    return rect.left() < 0 || rect.left() + needed > viewport()->width();
}

void CGSDTreeView::mousePressEvent(QMouseEvent* event) {
    // The right button first selects the item under the pointer.
    if (event->button() == Qt::RightButton) {
        if (const QModelIndex item = indexAt(event->position().toPoint()); item.isValid()) setCurrentIndex(item);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void CGSDTreeView::OnKeyInfo() {
    CTalunaContext& context = m_Host.Context();
    if (context.m_pCurEntry == nullptr) {
        context.Notify("No database exists.", ENotifyIcon::Exclamation);
        return;
    }
    ProcessKey(context, std::string(EntryBytes(context.m_pCurEntry->m_Keyword)), MODE_HELP, "");
}

void CGSDTreeView::OnCheckSyntax() {
    m_Host.CheckSyntax();
}

void CGSDTreeView::OnUserKey() {
    EditUserKey(m_Host.Context(), m_Host.Context().m_pCurEntry, this);
}

void CGSDTreeView::OnShowDetails() {
    const CTalunaContext& context = m_Host.Context();
    if (context.m_pCurEntry == nullptr) {
        m_Host.Context().Notify("No database exists.", ENotifyIcon::Exclamation);
        return;
    }
    // The item's handle stands for it in the dialog.
    CObjectDetailsDialog dialog(context, m_Host.Database(), ItemOfEntry(*context.m_pCurEntry).internalPointer(), this);
    dialog.exec();
}

namespace {

QString Pointer(const void* pointer) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", pointer);
    return QString::fromLatin1(buffer);
}

QString TypeText(int type) {
    switch (type) {
        case TYPE_SIMPLE_STRING: return QStringLiteral("Type: TYPE_SIMPLE_STRING");
        case TYPE_SIMPLE_UINT: return QStringLiteral("Type: TYPE_SIMPLE_UINT");
        case TYPE_SIMPLE_BOOL: return QStringLiteral("Type: TYPE_SIMPLE_BOOL");
        case TYPE_OCTET_STRING: return QStringLiteral("Type: TYPE_OCTET_STRING");
        case TYPE_USER_KEY: return QStringLiteral("Type: TYPE_USER_KEY");
        default: return QStringLiteral("Type: ?TYPE_UNKNOWN?");
    }
}

QString GroupText(int group) {
    switch (group) {
        case PARENT_GENERAL: return QStringLiteral("TreeGroup: PARENT_GENERAL");
        case PARENT_SLAVE: return QStringLiteral("TreeGroup: PARENT_SLAVE");
        case PARENT_MASTER: return QStringLiteral("TreeGroup: PARENT_MASTER");
        case PARENT_MODULE: return QStringLiteral("TreeGroup: PARENT_MODULE");
        default: return QStringLiteral("TreeGroup: ?PARENT_UNKNOWN?");
    }
}

const char* const kDetailLabels[] = {"Item-Nr.",  "Keyword",    "Value",      "LongLine",  "Line",
                                     "TypeFlag",  "ModuleFlag", "TreeHandle", "TreeGroup", "TreeParent",
                                     "Range/Len", "Ready0",     "Ready1",     "Ready2"};

}  // namespace

QStringList CObjectDetailsDialog::DetailLines(const CKeyEntry& entry, const void* treeItem, int curItem,
                                              int entryCount) {
    auto ready = [&](size_t i) { return i < entry.m_Ready.size() ? EntryText(entry.m_Ready[i]) : QString(); };
    return {
        QStringLiteral("Item-Index: %1 (#elements: %2, starts with 0)").arg(curItem).arg(entryCount),
        QStringLiteral("Key: \"%1\"").arg(EntryText(entry.m_Keyword)),
        QStringLiteral("Value: \"%1\"").arg(EntryText(entry.m_Value)),
        QStringLiteral("LongLine: %1").arg(entry.m_LongLine),
        QStringLiteral("Line: %1").arg(entry.m_Line),
        TypeText(entry.m_TypeFlag),
        entry.m_ModuleFlag == TYPE_MODULE_BEGIN ? QStringLiteral("ModuleFlag: TYPE_MODULE_BEGIN")
                                                : QStringLiteral("ModuleFlag: -"),
        QStringLiteral("hTree: ") + Pointer(treeItem),
        GroupText(entry.m_TreeGroup),
        QStringLiteral("hParent: ") + Pointer(entry.m_hParent),
        QStringLiteral("Range/Len: %1").arg(GsdToQt(entry.m_RangeLen)),
        QStringLiteral("m_Ready[0]: %1").arg(ready(0)),
        QStringLiteral("m_Ready[1]: %1").arg(ready(1)),
        QStringLiteral("m_Ready[2]: %1").arg(ready(2)),
    };
}

CObjectDetailsDialog::CObjectDetailsDialog(const CTalunaContext& context, const CKeyDatabase& database,
                                           const void* treeItem, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Object Details..."));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("The information below is for debugging only. Use the text editor window "
                                           "or the dialogues to change these entries."),
                            this);
    note->setWordWrap(true);
    note->setObjectName(QStringLiteral("note"));
    layout->addWidget(note);
    if (context.m_pCurEntry != nullptr)
        m_Lines = DetailLines(*context.m_pCurEntry, treeItem, context.m_nCurItem, database.GetCount());
    auto* grid = new QGridLayout;
    for (int i = 0; i < m_Lines.size(); ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(kDetailLabels[i]), this), i, 0);
        auto* text = new QLabel(m_Lines[i], this);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setObjectName(QStringLiteral("detail%1").arg(i));
        grid->addWidget(text, i, 1);
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
