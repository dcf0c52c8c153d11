#include "views/list_box_bar.h"

#include <QAbstractTableModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/command_ids.h"
#include "app/cp1252.h"
#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "base/string_table.h"
#include "base/value_scanners.h"
#include "views/memory_headroom.h"
#include "views/text_table.h"

namespace {

constexpr int ROLE_ICON_INDEX = Qt::UserRole + 1;

struct SKindIcon {
    QColor m_Colour;
    const char* m_pszGlyph;
};

// Info, Error, Fatal Error, Warning.
const SKindIcon kIcons[] = {
    {QColor(30, 100, 200), "i"}, {QColor(200, 30, 30), "x"}, {QColor(120, 0, 0), "!!"}, {QColor(230, 170, 0), "!"}};

QIcon PaintIcon(const SKindIcon& icon) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(icon.m_Colour);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, icon.m_pszGlyph);
    return QIcon(pixmap);
}

int IconIndex(int kind) {
    return kind >= 0 && kind <= 3 ? kind : 0;
}

// The filter group of a kind: errors, warnings, or infos (notes and unknown kinds too).
EOutputFilter GroupOf(int kind) {
    switch (kind) {
        case CheckMessageKind::Error:
        case CheckMessageKind::FatalError: return FILTER_ERRORS;
        case CheckMessageKind::Warning: return FILTER_WARNINGS;
        default: return FILTER_INFOS;
    }
}

int GroupIndex(EOutputFilter group) {
    return group == FILTER_ERRORS ? 0 : group == FILTER_WARNINGS ? 1 : 2;
}

// The list of the output window: reports the keys that move through the rows
// after the list has handled them, with the row that was selected before.
// With no row selected (the list just filled, or entered by the keyboard), the
// first arrow key selects a row as well.
// A table rather than a tree: a tree view keeps a record of some 40 bytes for
// every row, a table's rows cost its row header 8.
class COutputList : public QTableView {
public:
    explicit COutputList(QWidget* parent) : QTableView(parent) {}
    std::function<void(int key, int selectedBefore)> m_fnKey;
    // Whether the selected row has a help page; with `open`, asks for it too.
    std::function<bool(bool open)> m_fnRowHelp;

protected:
    // F1 on a row whose message has a help page opens that page; on any other
    // row it stays the window's context help.
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
            m_fnRowHelp && m_fnRowHelp(false)) {
            event->accept();
            return true;
        }
        return QTableView::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_F1 && m_fnRowHelp && m_fnRowHelp(true)) return;
        const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
        const int before = rows.isEmpty() ? -1 : rows.first().row();
        QTableView::keyPressEvent(event);
        if (m_fnKey) m_fnKey(event->key(), before);
    }
};

// The content of the bar: the switches above the list. It asks for the room
// the list alone would, so that the bar docks as high as before the switches
// came; the list gives up the switches' height.
class COutputPane : public QWidget {
public:
    explicit COutputPane(QWidget* parent) : QWidget(parent) {}
    QWidget* m_pList = nullptr;
    QSize sizeHint() const override { return m_pList != nullptr ? m_pList->sizeHint() : QWidget::sizeHint(); }
};

}  // namespace

// The rows as the checks gave them, each column made when it is shown: a row
// costs 24 bytes and its message text is held once however many rows repeat
// it, and a row that cannot be stored fails in the standard library
// (std::bad_alloc) before any of Qt's structures grow.
class COutputModel : public QAbstractTableModel {
public:
    COutputModel(QStringList headers, QObject* parent) : QAbstractTableModel(parent), m_Headers(std::move(headers)) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const SRow& compact = m_Rows[static_cast<size_t>(index.row())];
        if (role == Qt::DisplayRole && index.column() == 2) return DecodeCp1252(m_Texts.At(compact.m_nText));
        // The other columns and roles need no text.
        const CCheckMessage row{compact.m_nKind, compact.m_nLine, {}, compact.m_pDoc, compact.m_nId};
        if (role == Qt::DisplayRole) return Text(row, index.column());
        if (role == Qt::DecorationRole && index.column() == 0) return CMyListBoxBar::KindIcon(row.m_nKind);
        if (role == ROLE_ICON_INDEX) return IconIndex(row.m_nKind);
        if (role == ROLE_OUTPUT_KIND) return row.m_nKind;
        if (role == ROLE_OUTPUT_LINE) return row.HasLine() ? row.m_nLine : -1;
        if (role == ROLE_OUTPUT_DOCUMENT) return QVariant::fromValue(reinterpret_cast<quintptr>(row.m_pDoc));
        if (role == ROLE_OUTPUT_MESSAGE_ID) return row.m_nId;
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_Headers.size())
            return m_Headers[section];
        return {};
    }

    void Append(const CCheckMessage& message) {
        // Room first, so that a failure leaves the model as it was.
        if (m_Rows.size() == m_Rows.capacity()) m_Rows.reserve(m_Rows.size() * 2 + 64);
        if ((m_Rows.size() & 4095) == 4095) EnsureMemoryHeadroom();
        const SRow compact{message.m_pDoc, message.m_nKind, message.m_nLine, message.m_nId,
                           m_Texts.Intern(message.m_Text)};
        const int row = rowCount();
        beginInsertRows(QModelIndex(), row, row);
        m_Rows.push_back(compact);
        ++m_nCounts[GroupIndex(GroupOf(message.m_nKind))];
        endInsertRows();
    }
    void Clear() {
        beginResetModel();
        std::vector<SRow>().swap(m_Rows);
        m_Texts.Clear();
        m_nCounts = {};
        endResetModel();
    }
    int CountOf(EOutputFilter group) const { return m_nCounts[static_cast<size_t>(GroupIndex(group))]; }
    static QString Text(const CCheckMessage& row, int column) {
        switch (column) {
            case 0: return DecodeCp1252(row.KindText());
            case 1: return DecodeCp1252(row.LineText());
            default: return DecodeCp1252(row.m_Text);
        }
    }
    std::optional<CCheckMessage> Row(int row) const {
        if (row < 0 || row >= rowCount()) return std::nullopt;
        const SRow& compact = m_Rows[static_cast<size_t>(row)];
        return CCheckMessage{compact.m_nKind, compact.m_nLine, m_Texts.At(compact.m_nText), compact.m_pDoc,
                             compact.m_nId};
    }

private:
    struct SRow {
        const void* m_pDoc;
        int m_nKind;
        int m_nLine;
        int m_nId;
        uint32_t m_nText;  // in m_Texts
    };
    QStringList m_Headers;
    std::vector<SRow> m_Rows;
    CTextTable m_Texts;
    std::array<int, 3> m_nCounts = {};
};

// The rows of the groups of kinds that are switched on.
class COutputFilter : public QSortFilterProxyModel {
public:
    explicit COutputFilter(QObject* parent) : QSortFilterProxyModel(parent) {}
    int Groups() const { return m_nGroups; }
    void SetGroups(int groups) {
        if (groups == m_nGroups) return;
        m_nGroups = groups;
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (m_nGroups == FILTER_ALL) return true;
        const int kind = sourceModel()->index(row, 0, parent).data(ROLE_OUTPUT_KIND).toInt();
        return (m_nGroups & GroupOf(kind)) != 0;
    }

private:
    int m_nGroups = FILTER_ALL;
};

QIcon CMyListBoxBar::KindIcon(int kind) {
    static const std::array<QIcon, 4> icons = {PaintIcon(kIcons[0]), PaintIcon(kIcons[1]), PaintIcon(kIcons[2]),
                                               PaintIcon(kIcons[3])};
    return icons[static_cast<size_t>(IconIndex(kind))];
}

CMyListBoxBar::CMyListBoxBar(QWidget* parent) : QDockWidget(DecodeCp1252(LoadString(65108)), parent) {
    setObjectName("OutputBar");
    setAllowedAreas(Qt::AllDockWidgetAreas);
    m_pModel = new COutputModel(
        {DecodeCp1252(LoadString(65099)), DecodeCp1252(LoadString(65100)), DecodeCp1252(LoadString(65101))}, this);
    m_pProxy = new COutputFilter(this);
    m_pProxy->setSourceModel(m_pModel);
    auto* content = new COutputPane(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* filters = new QToolBar(content);
    filters->setObjectName("OutputFilter");
    filters->setIconSize(QSize(16, 16));
    filters->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct {
        EOutputFilter m_Group;
        int m_nKind;
        const char* m_pszName;
        QString m_Tip;
    } groups[] = {
        {FILTER_ERRORS, CheckMessageKind::Error, "ShowErrors", tr("Show or hide the errors")},
        {FILTER_WARNINGS, CheckMessageKind::Warning, "ShowWarnings", tr("Show or hide the warnings")},
        {FILTER_INFOS, CheckMessageKind::Info, "ShowInfos", tr("Show or hide the infos and notes")},
    };
    for (const auto& group : groups) {
        auto* button = new QToolButton(filters);
        button->setObjectName(group.m_pszName);
        button->setCheckable(true);
        button->setChecked(true);
        button->setAutoRaise(true);
        button->setIcon(KindIcon(group.m_nKind));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setToolTip(group.m_Tip);
        const EOutputFilter flag = group.m_Group;
        connect(button, &QToolButton::toggled, this,
                [this, flag](bool on) { SetFilter(on ? (Filter() | flag) : (Filter() & ~flag)); });
        filters->addWidget(button);
        m_pFilterButtons[GroupIndex(group.m_Group)] = button;
    }
    layout->addWidget(filters);
    auto* list = new COutputList(content);
    list->m_fnKey = [this](int key, int selectedBefore) { OnListKey(key, selectedBefore); };
    list->m_fnRowHelp = [this](bool open) {
        const std::string page = HelpPageOfRow(SelectedRow());
        if (open && !page.empty()) emit helpRequested(QString::fromStdString(page));
        return !page.empty();
    };
    m_pList = list;
    content->m_pList = list;
    m_pList->setObjectName("OutputList");
    m_pList->setProperty("helpContext", HID_BASE_CONTROL + IDC_OUTPUT_LIST);
    m_pList->setModel(m_pProxy);
    m_pList->setShowGrid(false);
    m_pList->setWordWrap(false);
    m_pList->setCornerButtonEnabled(false);
    m_pList->setTabKeyNavigation(false);
    m_pList->verticalHeader()->hide();
    m_pList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pList->verticalHeader()->setDefaultSectionSize(m_pList->fontMetrics().height() + 4);
    m_pList->horizontalHeader()->setHighlightSections(false);
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->setSortingEnabled(false);
    m_pList->horizontalHeader()->setSectionsClickable(false);
    m_pList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
    m_pList->setColumnWidth(0, 100);
    m_pList->setColumnWidth(1, 80);
    m_pList->setColumnWidth(2, 500);
    m_pList->setFrameShadow(QFrame::Sunken);
    layout->addWidget(m_pList);
    setWidget(content);
    UpdateFilterButtons();
    connect(m_pList, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { NavigateFromRow(m_pProxy->mapToSource(index).row()); });
}

bool CMyListBoxBar::event(QEvent* event) {
    const bool result = QDockWidget::event(event);
    // After the dock widget has set the flags of a floating window (it does
    // so whenever it floats, and again when a drag ends).
    if ((event->type() == QEvent::Show || event->type() == QEvent::ParentChange) && isFloating() && !m_bFitPending) {
        m_bFitPending = true;
        QTimer::singleShot(0, this, &CMyListBoxBar::FitFloatingWindow);
    }
    return result;
}

void CMyListBoxBar::FitFloatingWindow() {
    m_bFitPending = false;
    if (!isFloating() || isHidden()) return;
    const Qt::WindowFlags flags = windowFlags();
    // While the window is dragged it stays as the dock widget made it.
    if (flags.testFlag(Qt::X11BypassWindowManagerHint)) return;
    if (flags.testFlag(Qt::FramelessWindowHint) || !flags.testFlag(Qt::WindowTitleHint)) {
        setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        show();
    }
    KeepOnScreen();
}

void CMyListBoxBar::KeepOnScreen() {
    QScreen* screen = QGuiApplication::screenAt(frameGeometry().center());
    if (screen == nullptr && parentWidget() != nullptr) screen = parentWidget()->screen();
    if (screen == nullptr) screen = this->screen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    const QRect frame = frameGeometry();
    if (available.contains(frame)) return;
    const QRect inner = geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    const QSize size = frame.size().boundedTo(available.size());
    resize(size.shrunkBy(margins).expandedTo(minimumSizeHint()));
    // A window's position is that of its frame.
    move(std::clamp(frame.left(), available.left(), available.right() + 1 - size.width()),
         std::clamp(frame.top(), available.top(), available.bottom() + 1 - size.height()));
}

void CMyListBoxBar::AddRow(const CCheckMessage& message) {
    if (isHidden()) show();
    m_pModel->Append(message);
    if (message.m_pDoc != nullptr) m_pNavDoc = message.m_pDoc;
    // The counts on the switches follow once the rows of a check are in.
    if (!m_bCountsPending) {
        m_bCountsPending = true;
        QTimer::singleShot(0, this, &CMyListBoxBar::UpdateFilterButtons);
    }
}

void CMyListBoxBar::Clear() {
    m_pModel->Clear();
    m_pNavDoc = nullptr;
    UpdateFilterButtons();
}

void CMyListBoxBar::UpdateFilterButtons() {
    m_bCountsPending = false;
    const QString texts[] = {tr("Errors (%1)"), tr("Warnings (%1)"), tr("Infos (%1)")};
    for (EOutputFilter group : {FILTER_ERRORS, FILTER_WARNINGS, FILTER_INFOS})
        m_pFilterButtons[GroupIndex(group)]->setText(texts[GroupIndex(group)].arg(CountOf(group)));
}

int CMyListBoxBar::Filter() const {
    return m_pProxy->Groups();
}

void CMyListBoxBar::SetFilter(int groups) {
    groups &= FILTER_ALL;
    // The selected row stays selected when it is still shown.
    const int selected = SelectedRow();
    m_pProxy->SetGroups(groups);
    for (EOutputFilter group : {FILTER_ERRORS, FILTER_WARNINGS, FILTER_INFOS}) {
        QToolButton* button = m_pFilterButtons[GroupIndex(group)];
        const QSignalBlocker block(button);
        button->setChecked((groups & group) != 0);
    }
    if (selected >= 0) SelectRow(selected);
}

QToolButton* CMyListBoxBar::FilterButton(EOutputFilter group) const {
    return m_pFilterButtons[GroupIndex(group)];
}

int CMyListBoxBar::CountOf(EOutputFilter group) const {
    return m_pModel->CountOf(group);
}

int CMyListBoxBar::VisibleRowCount() const {
    return m_pProxy->rowCount();
}

int CMyListBoxBar::RowCount() const {
    return m_pModel->rowCount();
}

QString CMyListBoxBar::RowText(int row, int column) const {
    const std::optional<CCheckMessage> message = m_pModel->Row(row);
    return message ? COutputModel::Text(*message, column) : QString();
}

int CMyListBoxBar::RowIconIndex(int row) const {
    const std::optional<CCheckMessage> message = m_pModel->Row(row);
    return message ? IconIndex(message->m_nKind) : -1;
}

std::string CMyListBoxBar::HelpPageOfRow(int row) const {
    const std::optional<CCheckMessage> message = m_pModel->Row(row);
    return message.has_value() && FindMessage(message->m_nId) != nullptr ? HelpPageName(message->m_nId) : std::string();
}

int CMyListBoxBar::LineOfLineText(const QString& text) {
    const std::int32_t number = Atoi32(EncodeCp1252(text.mid(4)));
    // A number that cannot name a line (0 or less) names none.
    return number > 0 ? number - 1 : -1;
}

int CMyListBoxBar::SelectedRow() const {
    const QModelIndexList rows = m_pList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_pProxy->mapToSource(rows.first()).row();
}

void CMyListBoxBar::SelectRow(int row) {
    const QModelIndex index = m_pProxy->mapFromSource(m_pModel->index(row, 0));
    if (!index.isValid()) return;
    m_pList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_pList->scrollTo(index);
}

void CMyListBoxBar::NavigateFromRow(int row) {
    const std::optional<CCheckMessage> message = m_pModel->Row(row);
    if (!message || !message->HasLine() || message->m_nLine < 0) return;
    const void* document = message->m_pDoc != nullptr ? message->m_pDoc : m_pNavDoc;
    if (document != nullptr) emit navigateRequested(document, message->m_nLine);
}

void CMyListBoxBar::OnListKey(int key, int selectedBefore) {
    switch (key) {
        case Qt::Key_Down:
        case Qt::Key_Up: {
            // The row the key selected; nothing when the selection stayed (an end of the list).
            const int target = SelectedRow();
            if (target < 0 || target == selectedBefore) return;
            NavigateFromRow(target);
            return;
        }
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space: NavigateFromRow(SelectedRow()); return;
        default: return;
    }
}
