#include "views/slave_config_window.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSaveFile>
#include <QShortcut>
#include <QShowEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <new>
#include <sstream>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "app/taluna_doc.h"
#include "base/text_util.h"
#include "configcli/config_report.h"
#include "model/taluna_context.h"

namespace {

constexpr int ROLE_LINE = Qt::UserRole + 1;   // the 0-based line a cell leads to
constexpr int ROLE_INDEX = Qt::UserRole + 2;  // a module's index in the file

QString Q(const std::string& cp1252) {
    return DecodeCp1252(cp1252);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

QString Hex(std::uint8_t byte) {
    return QString::asprintf("%02X", byte);
}

QString HexText(const std::vector<std::uint8_t>& bytes) {
    return bytes.empty() ? QStringLiteral("-") : QString::fromStdString(HexBytes(bytes));
}

QString Bytes(long long count) {
    return count == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(count);
}

// The backgrounds of the parts: the device part, the modules by turns, the
// module selected in the plugged list.
QColor PartColour(int part, bool selected) {
    if (selected) return QColor(255, 236, 170);
    if (part == 0) return QColor(232, 232, 232);
    return part % 2 == 1 ? QColor(218, 234, 250) : QColor(222, 244, 222);
}

}  // namespace

// Bytes as a grid of hex cells, COLUMNS a row: each byte's part gives its
// background, its source the tooltip.
class CByteGridModel : public QAbstractTableModel {
public:
    static constexpr int COLUMNS = 16;

    explicit CByteGridModel(QObject* parent) : QAbstractTableModel(parent) {}

    // `parts`: the part of each byte (0 the device part, 1 + slot a module's).
    void Set(const std::vector<std::uint8_t>& bytes, const std::vector<CByteSource>& sources, std::vector<int> parts,
             int selectedPart) {
        beginResetModel();
        m_Bytes = bytes;
        m_Sources = sources;
        m_Parts = std::move(parts);
        m_nSelectedPart = selectedPart;
        endResetModel();
    }
    int ByteCount() const { return static_cast<int>(m_Bytes.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : (ByteCount() + COLUMNS - 1) / COLUMNS;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : COLUMNS; }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return ByteAt(index) < 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const int at = ByteAt(index);
        if (at < 0) return {};
        const auto byte = m_Bytes[static_cast<size_t>(at)];
        switch (role) {
            case Qt::DisplayRole: return Hex(byte);
            case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
            case Qt::BackgroundRole: {
                const int part = at < static_cast<int>(m_Parts.size()) ? m_Parts[static_cast<size_t>(at)] : 0;
                return PartColour(part, part == m_nSelectedPart);
            }
            case Qt::ToolTipRole: {
                QString text = QStringLiteral("Byte %1: 0x%2 = %3").arg(at).arg(Hex(byte)).arg(byte);
                if (at < static_cast<int>(m_Sources.size()))
                    text += "\n" + Q(m_Sources[static_cast<size_t>(at)].Text());
                return text;
            }
            case ROLE_LINE: {
                if (at >= static_cast<int>(m_Sources.size())) return -1;
                const std::vector<CByteWriter>& writers = m_Sources[static_cast<size_t>(at)].m_Writers;
                return writers.empty() ? -1 : writers.back().m_nLine;
            }
            default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        return orientation == Qt::Horizontal ? QString::number(section) : QString::number(section * COLUMNS);
    }

private:
    int ByteAt(const QModelIndex& index) const {
        if (!index.isValid()) return -1;
        const int at = index.row() * COLUMNS + index.column();
        return at < ByteCount() ? at : -1;
    }

    std::vector<std::uint8_t> m_Bytes;
    std::vector<CByteSource> m_Sources;
    std::vector<int> m_Parts;
    int m_nSelectedPart = -1;
};

// The parameters of the device part and of the selected module: name, value
// (its PrmText text, else the number) and default. The value is edited.
class CParameterTableModel : public QAbstractTableModel {
public:
    enum { PART, NAME, VALUE, DEFAULT, COLUMNS };
    struct SRow {
        int m_nSlot = -1;  // -1: the device part
        QString m_Part;
        CParameterValue m_Value;
    };

    explicit CParameterTableModel(QObject* parent) : QAbstractTableModel(parent) {}

    // Asked to set a parameter; false when the value is no text and no number.
    std::function<bool(int slot, const std::string& name, const QString& value)> m_fnSet;

    void SetRows(std::vector<SRow> rows) {
        // The same parameters with new values: the view keeps its place and selection.
        const bool sameShape =
            rows.size() == m_Rows.size() &&
            std::equal(rows.begin(), rows.end(), m_Rows.begin(), [](const SRow& a, const SRow& b) {
                return a.m_nSlot == b.m_nSlot && a.m_Value.m_nLine == b.m_Value.m_nLine && a.m_Part == b.m_Part;
            });
        if (!sameShape) beginResetModel();
        m_Rows = std::move(rows);
        if (!sameShape)
            endResetModel();
        else if (!m_Rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, COLUMNS - 1));
    }
    const SRow* Row(int row) const {
        return row >= 0 && row < rowCount() ? &m_Rows[static_cast<size_t>(row)] : nullptr;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : COLUMNS; }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return index.column() == VALUE ? flags | Qt::ItemIsEditable : flags;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const char* const kHeaders[] = {"Part", "Parameter", "Value", "Default"};
        return section >= 0 && section < COLUMNS ? QString::fromLatin1(kHeaders[section]) : QVariant();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const SRow* row = Row(index.row());
        if (row == nullptr) return {};
        const CParameterValue& value = row->m_Value;
        const CPrmDefinition& definition = value.m_Definition;
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                switch (index.column()) {
                    case PART: return row->m_Part;
                    case NAME: return Q(definition.m_Name);
                    case VALUE: return Q(value.TextOf(value.m_nValue));
                    case DEFAULT: return Q(value.TextOf(definition.m_nDefault));
                    default: return {};
                }
            case Qt::FontRole:
                if (index.column() == VALUE && value.m_nValue != definition.m_nDefault) {
                    QFont bold;
                    bold.setBold(true);
                    return bold;
                }
                return {};
            case Qt::ForegroundRole:
                if (index.column() == VALUE && definition.m_bAllowedOk && !definition.Allows(value.m_nValue))
                    return QColor(200, 0, 0);
                return {};
            case Qt::ToolTipRole: return ToolTip(*row);
            case ROLE_LINE: return index.column() == PART ? value.m_nLine : definition.m_nLine;
            default: return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& variant, int role) override {
        const SRow* row = Row(index.row());
        if (row == nullptr || index.column() != VALUE || role != Qt::EditRole || !m_fnSet) return false;
        return m_fnSet(row->m_nSlot, row->m_Value.m_Definition.m_Name, variant.toString());
    }

private:
    static QString ToolTip(const SRow& row) {
        const CParameterValue& value = row.m_Value;
        const CPrmDefinition& definition = value.m_Definition;
        QString text = QStringLiteral("ExtUserPrmData %1 \"%2\", line %3\n%4 at offset %5 of %6 (line %7)\nValue: %8")
                           .arg(definition.m_nReference)
                           .arg(Q(definition.m_Name))
                           .arg(definition.m_nLine + 1)
                           .arg(Q(definition.TypeText()))
                           .arg(value.m_nOffset)
                           .arg(row.m_Part)
                           .arg(value.m_nLine + 1)
                           .arg(value.m_nValue);
        text += QStringLiteral(", default %1").arg(definition.m_nDefault);
        if (definition.m_bAllowedOk) text += QStringLiteral(", allowed %1").arg(Q(definition.AllowedText()));
        for (const auto& [number, name] : value.m_Texts) text += QStringLiteral("\n  %1: %2").arg(number).arg(Q(name));
        return text;
    }

    std::vector<SRow> m_Rows;
};

namespace {

// The editor of a parameter's value: its PrmText texts (or its list of values)
// to choose from, else a number within its range.
class CParameterDelegate : public QStyledItemDelegate {
public:
    CParameterDelegate(CParameterTableModel* model, QObject* parent) : QStyledItemDelegate(parent), m_pModel(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const CParameterTableModel::SRow* row = m_pModel->Row(index.row());
        if (row == nullptr) return nullptr;
        const CParameterValue& value = row->m_Value;
        const CPrmDefinition& definition = value.m_Definition;
        if (!value.m_Texts.empty() || (definition.m_bAllowedOk && !definition.m_bRange)) {
            auto* combo = new QComboBox(parent);
            combo->setObjectName("ParameterChoice");
            if (!value.m_Texts.empty()) {
                for (const auto& [number, text] : value.m_Texts)
                    combo->addItem(Q(text), QVariant(static_cast<qint64>(number)));
            } else {
                for (std::int64_t number : definition.m_List)
                    combo->addItem(QString::number(number), QVariant(static_cast<qint64>(number)));
            }
            return combo;
        }
        const std::int64_t low = definition.m_bAllowedOk ? definition.m_nMin : std::numeric_limits<int>::min();
        const std::int64_t high = definition.m_bAllowedOk ? definition.m_nMax : std::numeric_limits<int>::max();
        if (low >= std::numeric_limits<int>::min() && high <= std::numeric_limits<int>::max() && low <= high) {
            auto* spin = new QSpinBox(parent);
            spin->setObjectName("ParameterNumber");
            spin->setRange(static_cast<int>(low), static_cast<int>(high));
            return spin;
        }
        // Ranges beyond int (Unsigned32): a number as written, decimal or 0x hexadecimal.
        auto* edit = new QLineEdit(parent);
        edit->setObjectName("ParameterText");
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[+-]?(0[xX][0-9A-Fa-f]{1,10}|[0-9]{1,13})")), edit));
        return edit;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const CParameterTableModel::SRow* row = m_pModel->Row(index.row());
        if (row == nullptr) return;
        const std::int64_t value = row->m_Value.m_nValue;
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const int at = combo->findData(QVariant(static_cast<qint64>(value)));
            if (at >= 0) combo->setCurrentIndex(at);
        } else if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
            spin->setValue(static_cast<int>(value));
        } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            edit->setText(QString::number(value));
        }
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        const CParameterTableModel::SRow* row = m_pModel->Row(index.row());
        if (row == nullptr) return;
        QString value;
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() < 0) return;
            // A text that stands for one value only is set as the text, as taluna-config takes it.
            const std::int64_t number = combo->currentData().toLongLong();
            value = combo->currentText();
            if (row->m_Value.m_Texts.empty() || Q(row->m_Value.TextOf(number)) != value ||
                combo->findText(value) != combo->currentIndex())
                value = QString::number(number);
        } else if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
            value = QString::number(spin->value());
        } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            value = edit->text();
        }
        model->setData(index, value, Qt::EditRole);
    }

private:
    CParameterTableModel* m_pModel;
};

QTableView* MakeByteView(QWidget* parent, QAbstractItemModel* model, const char* name) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setDefaultSectionSize(view->fontMetrics().horizontalAdvance("WWW"));
    view->horizontalHeader()->setMinimumSectionSize(10);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->setMouseTracking(true);
    return view;
}

QGroupBox* Group(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    return box;
}

}  // namespace

CSlaveConfigWindow::CSlaveConfigWindow(CTalunaDoc* document, QWidget* parent) : QDialog(parent), m_pDoc(document) {
    setObjectName("SlaveConfigWindow");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    BuildWidgets();
    UpdateTitle();
    connect(document, &CTalunaDoc::titleChanged, this, &CSlaveConfigWindow::UpdateTitle);
    Reread(false);
    resize(1100, 740);
}

CSlaveConfigWindow::~CSlaveConfigWindow() = default;

void CSlaveConfigWindow::BuildWidgets() {
    auto* layout = new QVBoxLayout(this);
    auto* vertical = new QSplitter(Qt::Vertical, this);
    vertical->setObjectName("SlaveConfigSplitter");
    vertical->setChildrenCollapsible(false);

    // The modules: the file's on the left, the plugged ones on the right, the commands between.
    auto* modules = new QWidget(vertical);
    auto* modulesLayout = new QHBoxLayout(modules);
    modulesLayout->setContentsMargins(0, 0, 0, 0);
    auto* fileBox = Group(tr("Modules of the file"), modules);
    auto* fileLayout = new QVBoxLayout(fileBox);
    m_pFileModules = new QListView(fileBox);
    m_pFileModules->setObjectName("FileModules");
    m_pFileModel = new QStandardItemModel(this);
    m_pFileModules->setModel(m_pFileModel);
    m_pFileModules->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pFileModules->setSelectionMode(QAbstractItemView::SingleSelection);
    fileLayout->addWidget(m_pFileModules);
    modulesLayout->addWidget(fileBox, 1);

    auto* commands = new QVBoxLayout;
    m_pAdd = new QPushButton(tr("&Add >"), modules);
    m_pRemove = new QPushButton(tr("&Remove"), modules);
    m_pUp = new QPushButton(tr("Move &Up"), modules);
    m_pDown = new QPushButton(tr("Move &Down"), modules);
    m_pDefaults = new QPushButton(tr("De&faults"), modules);
    m_pDefaults->setToolTip(tr("Plug the file's default modules again, without settings"));
    commands->addStretch();
    for (QPushButton* button : {m_pAdd, m_pRemove, m_pUp, m_pDown, m_pDefaults}) {
        button->setAutoDefault(false);
        commands->addWidget(button);
    }
    commands->addStretch();
    modulesLayout->addLayout(commands);

    auto* pluggedBox = Group(tr("Plugged modules"), modules);
    auto* pluggedLayout = new QVBoxLayout(pluggedBox);
    m_pPlugged = new QListView(pluggedBox);
    m_pPlugged->setObjectName("PluggedModules");
    m_pPluggedModel = new QStandardItemModel(this);
    m_pPlugged->setModel(m_pPluggedModel);
    m_pPlugged->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pPlugged->setSelectionMode(QAbstractItemView::SingleSelection);
    pluggedLayout->addWidget(m_pPlugged);
    modulesLayout->addWidget(pluggedBox, 1);

    // The parameters of the device and of the selected module.
    auto* parameterBox = Group(tr("Parameters of the device and of the selected module"), vertical);
    auto* parameterLayout = new QVBoxLayout(parameterBox);
    m_pParameters = new QTableView(parameterBox);
    m_pParameters->setObjectName("Parameters");
    m_pParameterModel = new CParameterTableModel(this);
    m_pParameterModel->m_fnSet = [this](int slot, const std::string& name, const QString& value) {
        return SetParameter(slot, name, value);
    };
    m_pParameters->setModel(m_pParameterModel);
    m_pParameters->setItemDelegateForColumn(CParameterTableModel::VALUE,
                                            new CParameterDelegate(m_pParameterModel, m_pParameters));
    m_pParameters->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pParameters->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pParameters->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                   QAbstractItemView::EditKeyPressed);
    m_pParameters->verticalHeader()->hide();
    m_pParameters->verticalHeader()->setDefaultSectionSize(m_pParameters->fontMetrics().height() + 8);
    m_pParameters->horizontalHeader()->setStretchLastSection(true);
    m_pParameters->setColumnWidth(CParameterTableModel::PART, 200);
    m_pParameters->setColumnWidth(CParameterTableModel::NAME, 260);
    m_pParameters->setColumnWidth(CParameterTableModel::VALUE, 220);
    parameterLayout->addWidget(m_pParameters);

    // The bytes and the limits.
    auto* bottom = new QSplitter(Qt::Horizontal, vertical);
    auto* bytes = new QWidget(bottom);
    auto* bytesLayout = new QVBoxLayout(bytes);
    bytesLayout->setContentsMargins(0, 0, 0, 0);
    m_pCfgLabel = new QLabel(bytes);
    m_pCfgModel = new CByteGridModel(this);
    m_pCfgView = MakeByteView(bytes, m_pCfgModel, "CfgBytes");
    m_pPrmLabel = new QLabel(bytes);
    m_pPrmModel = new CByteGridModel(this);
    m_pPrmView = MakeByteView(bytes, m_pPrmModel, "PrmBytes");
    bytesLayout->addWidget(m_pCfgLabel);
    bytesLayout->addWidget(m_pCfgView, 1);
    bytesLayout->addWidget(m_pPrmLabel);
    bytesLayout->addWidget(m_pPrmView, 3);
    auto* limitBox = Group(tr("Limits"), bottom);
    auto* limitLayout = new QVBoxLayout(limitBox);
    m_pLimits = new QTableView(limitBox);
    m_pLimits->setObjectName("Limits");
    m_pLimitModel = new QStandardItemModel(this);
    m_pLimits->setModel(m_pLimitModel);
    m_pLimits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pLimits->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pLimits->verticalHeader()->hide();
    m_pLimits->verticalHeader()->setDefaultSectionSize(m_pLimits->fontMetrics().height() + 8);
    m_pLimits->horizontalHeader()->setStretchLastSection(true);
    limitLayout->addWidget(m_pLimits);
    m_pSummary = new QLabel(limitBox);
    m_pSummary->setObjectName("Summary");
    m_pSummary->setWordWrap(true);
    limitLayout->addWidget(m_pSummary);
    bottom->addWidget(bytes);
    bottom->addWidget(limitBox);
    bottom->setStretchFactor(0, 3);
    bottom->setStretchFactor(1, 2);

    vertical->addWidget(modules);
    vertical->addWidget(parameterBox);
    vertical->addWidget(bottom);
    vertical->setStretchFactor(0, 3);
    vertical->setStretchFactor(1, 3);
    vertical->setStretchFactor(2, 3);
    vertical->setSizes({240, 240, 260});
    layout->addWidget(vertical, 1);

    auto* buttons = new QHBoxLayout;
    auto* hint = new QLabel(tr("F5 rebuilds the document and reads its modules and parameters again."), this);
    hint->setEnabled(false);
    buttons->addWidget(hint, 1);
    m_pExport = new QPushButton(tr("&Export..."), this);
    m_pExport->setToolTip(tr("Save the configuration as the JSON of taluna-config"));
    auto* close = new QPushButton(tr("Close"), this);
    for (QPushButton* button : {m_pExport, close}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    connect(m_pAdd, &QPushButton::clicked, this, [this] {
        const QModelIndex current = m_pFileModules->currentIndex();
        if (current.isValid()) Plug(current.data(ROLE_INDEX).toInt());
    });
    connect(m_pFileModules, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Plug(index.data(ROLE_INDEX).toInt()); });
    connect(m_pRemove, &QPushButton::clicked, this, [this] { Unplug(SelectedSlot()); });
    connect(m_pUp, &QPushButton::clicked, this, [this] { Move(SelectedSlot(), -1); });
    connect(m_pDown, &QPushButton::clicked, this, [this] { Move(SelectedSlot(), +1); });
    connect(m_pDefaults, &QPushButton::clicked, this, &CSlaveConfigWindow::PlugDefaults);
    connect(m_pExport, &QPushButton::clicked, this, &CSlaveConfigWindow::Export);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_pFileModules->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CSlaveConfigWindow::UpdateButtons);
    connect(m_pPlugged->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (m_bFilling) return;
        Recompute(false);
    });
    for (QTableView* view : {m_pCfgView, m_pPrmView, m_pLimits, m_pParameters})
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.column() == CParameterTableModel::VALUE && index.model() == m_pParameterModel) return;
            const int line = index.data(ROLE_LINE).isValid() ? index.data(ROLE_LINE).toInt() : -1;
            if (line >= 0) emit lineRequested(line);
        });
    auto* rebuild = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(rebuild, &QShortcut::activated, this, &CSlaveConfigWindow::rebuildRequested);
}

void CSlaveConfigWindow::UpdateTitle() {
    setWindowTitle(tr("Slave Configuration - %1").arg(m_pDoc->Title()));
}

void CSlaveConfigWindow::Note(const std::string& text) {
    m_Notes.push_back(text);
}

void CSlaveConfigWindow::Reread(bool listFindings) {
    std::unique_ptr<CSlaveDescription> description;
    CModuleList modules;
    try {
        CKeyDatabase database;
        BuildConfigDatabase(m_pDoc->TextBytes(), database);
        description = std::make_unique<CSlaveDescription>(database);
        modules = description->ListModules();
    } catch (const std::bad_alloc&) {
        ShowMessage(tr("Not enough memory to read the modules and parameters of \"%1\"; the Slave Configuration "
                       "shows them as they were.")
                        .arg(m_pDoc->Title()));
        return;
    }
    m_Notes.clear();
    const bool first = m_pDescription == nullptr;
    if (first) {
        for (int module : description->DefaultModules())
            m_Plugs.push_back({module, description->ModuleName(module), {}});
    } else {
        // The plugged modules found again by their names, the settings by their parameters.
        std::vector<SPlug> kept;
        for (size_t slot = 0; slot < m_Plugs.size(); ++slot) {
            SPlug plug = m_Plugs[slot];
            int index =
                plug.m_nModule < description->ModuleCount() && description->ModuleName(plug.m_nModule) == plug.m_Name
                    ? plug.m_nModule
                    : description->FindModule(plug.m_Name);
            if (index < 0) {
                Note("Module " + Quoted(plug.m_Name) + " is no longer in the file; it was taken out of slot #" +
                     std::to_string(slot) + ".");
                continue;
            }
            plug.m_nModule = index;
            plug.m_Name = description->ModuleName(index);
            const std::vector<std::string> names = description->ParameterNames(index);
            for (auto it = plug.m_Settings.begin(); it != plug.m_Settings.end();) {
                if (std::find(names.begin(), names.end(), it->first) != names.end()) {
                    ++it;
                    continue;
                }
                Note("Module " + Quoted(plug.m_Name) + " has no parameter " + Quoted(it->first) +
                     " any more; its setting " + Quoted(it->second) + " was dropped.");
                it = plug.m_Settings.erase(it);
            }
            kept.push_back(std::move(plug));
        }
        m_Plugs = std::move(kept);
        const std::vector<std::string> names = description->ParameterNames(-1);
        for (auto it = m_DeviceSettings.begin(); it != m_DeviceSettings.end();) {
            if (std::find(names.begin(), names.end(), it->first) != names.end()) {
                ++it;
                continue;
            }
            Note("The device part has no parameter " + Quoted(it->first) + " any more; its setting " +
                 Quoted(it->second) + " was dropped.");
            it = m_DeviceSettings.erase(it);
        }
    }
    m_pDescription = std::move(description);
    m_Modules = std::move(modules);
    FillFileModules();
    Recompute(listFindings);
}

void CSlaveConfigWindow::FillFileModules() {
    const int current = m_pFileModules->currentIndex().row();
    m_pFileModel->clear();
    for (const CModuleListing& module : m_Modules.m_Modules) {
        auto* item = new QStandardItem(QStringLiteral("#%1  %2").arg(module.m_nIndex).arg(Q(module.m_Name)));
        item->setData(module.m_nIndex, ROLE_INDEX);
        item->setData(module.m_nLine, ROLE_LINE);
        QString tip = QStringLiteral("Module \"%1\", line %2").arg(Q(module.m_Name)).arg(module.m_nLine + 1);
        if (!module.m_Reference.empty()) tip += QStringLiteral("\nReference %1").arg(Q(module.m_Reference));
        tip +=
            QStringLiteral("\nConfiguration data: %1\nParameter data of its defaults: %2\nInputs: %3, outputs: %4")
                .arg(HexText(module.m_Cfg), HexText(module.m_Prm), Bytes(module.m_nInputs), Bytes(module.m_nOutputs));
        item->setToolTip(tip);
        m_pFileModel->appendRow(item);
    }
    if (m_pFileModel->rowCount() > 0)
        m_pFileModules->setCurrentIndex(m_pFileModel->index(std::clamp(current, 0, m_pFileModel->rowCount() - 1), 0));
}

void CSlaveConfigWindow::FillPlugged() {
    m_bFilling = true;
    const int selected = SelectedSlot();
    m_pPluggedModel->clear();
    for (const CPluggedModule& module : m_Config.m_Plugged) {
        QString text = QStringLiteral("#%1  %2").arg(module.m_nSlot).arg(Q(module.m_Name));
        QString tip = QStringLiteral(
                          "Slot #%1: module #%2 \"%3\"\nConfiguration data: %4\nParameter data: %5\n"
                          "Inputs: %6, outputs: %7")
                          .arg(module.m_nSlot)
                          .arg(module.m_nModule)
                          .arg(Q(module.m_Name), HexText(module.m_Cfg), HexText(module.m_Prm), Bytes(module.m_nInputs),
                               Bytes(module.m_nOutputs));
        auto* item = new QStandardItem;
        if (const CSlotDefinition* slot = m_pDescription->SlotOfPosition(module.m_nSlot)) {
            text += QStringLiteral("   [Slot(%1) \"%2\"]").arg(slot->m_nNumber).arg(Q(slot->m_Name));
            tip += QStringLiteral("\nSlot(%1) \"%2\" takes the modules %3 (line %4)")
                       .arg(slot->m_nNumber)
                       .arg(Q(slot->m_Name), Q(slot->m_Allowed))
                       .arg(slot->m_nLine + 1);
            std::int64_t reference = 0;
            const std::string& written = m_Modules.m_Modules[static_cast<size_t>(module.m_nModule)].m_Reference;
            if (!ReadPrmNumber(written, reference) || !slot->Allows(reference)) {
                item->setForeground(QColor(200, 0, 0));
                tip += tr("\nThe slot does not take this module.");
            }
        }
        item->setText(text);
        item->setToolTip(tip);
        m_pPluggedModel->appendRow(item);
    }
    const int count = m_pPluggedModel->rowCount();
    if (count > 0) m_pPlugged->setCurrentIndex(m_pPluggedModel->index(std::clamp(selected, 0, count - 1), 0));
    m_bFilling = false;
}

void CSlaveConfigWindow::FillLimits() {
    m_pLimitModel->clear();
    m_pLimitModel->setHorizontalHeaderLabels({tr("Limit"), tr("Used / allowed"), QString()});
    for (const CConfigLimit& limit : m_Config.m_Limits) {
        QList<QStandardItem*> row;
        row << new QStandardItem(Q(limit.m_Key));
        row << new QStandardItem(QStringLiteral("%1 / %2").arg(limit.m_nUsed).arg(limit.m_nLimit));
        row << new QStandardItem(limit.Exceeded() ? tr("exceeded") : QString());
        for (QStandardItem* item : row) {
            item->setData(limit.m_nLine, ROLE_LINE);
            item->setToolTip(
                QStringLiteral("%1 = %2, line %3").arg(Q(limit.m_Key)).arg(limit.m_nLimit).arg(limit.m_nLine + 1));
            if (limit.Exceeded()) {
                item->setForeground(QColor(200, 0, 0));
                QFont bold;
                bold.setBold(true);
                item->setFont(bold);
            }
        }
        m_pLimitModel->appendRow(row);
    }
    if (m_Config.m_Limits.empty()) {
        auto* none = new QStandardItem(tr("The file declares no limits."));
        none->setEnabled(false);
        m_pLimitModel->appendRow(none);
    }
    m_pLimits->resizeColumnToContents(0);
    m_pLimits->resizeColumnToContents(1);
}

void CSlaveConfigWindow::Recompute(bool listFindings) {
    CSlaveConfigRequest request;
    request.m_bDefaults = false;
    for (const auto& [name, value] : m_DeviceSettings) request.m_Settings.push_back({-1, name, value});
    for (size_t slot = 0; slot < m_Plugs.size(); ++slot) {
        request.m_Modules.push_back(m_Plugs[slot].m_nModule);
        for (const auto& [name, value] : m_Plugs[slot].m_Settings)
            request.m_Settings.push_back({static_cast<int>(slot), name, value});
    }
    try {
        m_Config = m_pDescription->Build(request);
    } catch (const std::bad_alloc&) {
        m_Config = CSlaveConfig();
        m_Config.m_RequestErrors.push_back("Not enough memory to build the configuration.");
    }
    FillPlugged();
    const int selected = SelectedSlot();

    std::vector<CParameterTableModel::SRow> rows;
    for (const CParameterValue& value : m_Config.m_DeviceParameters) rows.push_back({-1, tr("Device"), value});
    if (selected >= 0 && selected < static_cast<int>(m_Config.m_Plugged.size())) {
        const CPluggedModule& module = m_Config.m_Plugged[static_cast<size_t>(selected)];
        const QString part = QStringLiteral("#%1 %2").arg(selected).arg(Q(module.m_Name));
        for (const CParameterValue& value : module.m_Parameters) rows.push_back({selected, part, value});
    }
    m_pParameterModel->SetRows(std::move(rows));

    std::vector<int> cfgParts, prmParts(m_Config.m_DevicePrm.size(), 0);
    for (const CPluggedModule& module : m_Config.m_Plugged) {
        cfgParts.insert(cfgParts.end(), module.m_Cfg.size(), module.m_nSlot + 1);
        prmParts.insert(prmParts.end(), module.m_Prm.size(), module.m_nSlot + 1);
    }
    const int selectedPart = selected >= 0 ? selected + 1 : -1;
    m_pCfgModel->Set(m_Config.m_Cfg, m_Config.m_CfgSources, std::move(cfgParts), selectedPart);
    m_pPrmModel->Set(m_Config.m_Prm, m_Config.m_PrmSources, std::move(prmParts), selectedPart);
    m_pCfgLabel->setText(tr("Configuration data: %1").arg(Bytes(static_cast<long long>(m_Config.m_Cfg.size()))));
    m_pPrmLabel->setText(tr("User parameter data: %1 (device part %2)")
                             .arg(Bytes(static_cast<long long>(m_Config.m_Prm.size())))
                             .arg(Bytes(static_cast<long long>(m_Config.m_DevicePrm.size()))));
    FillLimits();

    int errors = static_cast<int>(m_Config.m_RequestErrors.size()), warnings = 0;
    for (const CCheckMessage& row : m_Config.m_Findings) {
        if (row.m_nKind == CheckMessageKind::Warning) ++warnings;
        if (row.m_nKind == CheckMessageKind::Error || row.m_nKind == CheckMessageKind::FatalError) ++errors;
    }
    QString summary = tr("Inputs: %1, outputs: %2.").arg(Bytes(m_Config.m_nInputs), Bytes(m_Config.m_nOutputs));
    if (errors + warnings == 0)
        summary += tr(" No findings.");
    else
        summary += tr(" Findings: %1 %2, %3 %4 (in the output window).")
                       .arg(errors)
                       .arg(errors == 1 ? tr("error") : tr("errors"))
                       .arg(warnings)
                       .arg(warnings == 1 ? tr("warning") : tr("warnings"));
    m_pSummary->setText(summary);
    m_pSummary->setStyleSheet(errors > 0 ? QStringLiteral("color: #c80000;") : QString());
    UpdateButtons();
    if (listFindings && isVisible()) ListFindings();
}

void CSlaveConfigWindow::ListFindings() {
    CTalunaContext& context = m_pDoc->Context();
    context.ClearMessages();
    context.AddNote(EncodeCp1252(
        tr("Slave Configuration of %1: %2 plugged, configuration data %3, user parameter "
           "data %4.")
            .arg(m_pDoc->Title())
            .arg(m_Config.m_Plugged.size() == 1 ? tr("1 module") : tr("%1 modules").arg(m_Config.m_Plugged.size()))
            .arg(Bytes(static_cast<long long>(m_Config.m_Cfg.size())))
            .arg(Bytes(static_cast<long long>(m_Config.m_Prm.size())))));
    for (const std::string& note : m_Notes) context.AddCheckMessage(CheckMessageKind::Info, -1, note, m_pDoc);
    m_Notes.clear();
    for (const std::string& error : m_Config.m_RequestErrors)
        context.AddCheckMessage(CheckMessageKind::Error, -1, error, m_pDoc);
    for (const CCheckMessage& row : m_Config.m_Findings)
        context.AddCheckMessage(row.m_nKind, row.m_nLine, row.m_Text, m_pDoc);
    if (m_Config.m_Findings.empty() && m_Config.m_RequestErrors.empty()) context.AddNote("No findings.");
}

void CSlaveConfigWindow::UpdateButtons() {
    const int slot = SelectedSlot();
    const int count = static_cast<int>(m_Plugs.size());
    const long long max = m_pDescription ? m_pDescription->MaxModules() : -1;
    const bool room = max < 0 || count < max;
    m_pAdd->setEnabled(m_pFileModules->currentIndex().isValid() && room);
    m_pAdd->setToolTip(
        room ? tr("Plug the selected module into the next slot")
             : tr("The station takes %1 (%2)")
                   .arg(max == 1 ? tr("1 module") : tr("%1 modules").arg(max))
                   .arg(m_pDescription && m_pDescription->IsModular() ? tr("Max_Module") : tr("a compact station")));
    m_pRemove->setEnabled(slot >= 0);
    m_pUp->setEnabled(slot > 0);
    m_pDown->setEnabled(slot >= 0 && slot + 1 < count);
    m_pDefaults->setEnabled(m_pDescription && m_pDescription->ModuleCount() > 0);
    m_pExport->setEnabled(m_pDescription != nullptr);
}

std::vector<int> CSlaveConfigWindow::PluggedModules() const {
    std::vector<int> modules;
    for (const SPlug& plug : m_Plugs) modules.push_back(plug.m_nModule);
    return modules;
}

std::map<std::string, std::string> CSlaveConfigWindow::Settings(int slot) const {
    if (slot < 0) return m_DeviceSettings;
    return slot < static_cast<int>(m_Plugs.size()) ? m_Plugs[static_cast<size_t>(slot)].m_Settings
                                                   : std::map<std::string, std::string>();
}

int CSlaveConfigWindow::SelectedSlot() const {
    const QModelIndex current = m_pPlugged->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CSlaveConfigWindow::SelectSlot(int slot) {
    if (slot < 0 || slot >= m_pPluggedModel->rowCount()) return;
    m_pPlugged->setCurrentIndex(m_pPluggedModel->index(slot, 0));
}

bool CSlaveConfigWindow::Plug(int module) {
    const long long max = m_pDescription->MaxModules();
    if (module < 0 || module >= m_pDescription->ModuleCount() ||
        (max >= 0 && static_cast<long long>(m_Plugs.size()) >= max))
        return false;
    m_Plugs.push_back({module, m_pDescription->ModuleName(module), {}});
    Recompute();
    SelectSlot(static_cast<int>(m_Plugs.size()) - 1);
    return true;
}

void CSlaveConfigWindow::Unplug(int slot) {
    if (slot < 0 || slot >= static_cast<int>(m_Plugs.size())) return;
    m_Plugs.erase(m_Plugs.begin() + slot);
    Recompute();
}

void CSlaveConfigWindow::Move(int slot, int delta) {
    const int target = slot + delta;
    if (slot < 0 || target < 0 || slot >= static_cast<int>(m_Plugs.size()) ||
        target >= static_cast<int>(m_Plugs.size()))
        return;
    std::swap(m_Plugs[static_cast<size_t>(slot)], m_Plugs[static_cast<size_t>(target)]);
    Recompute();
    SelectSlot(target);
}

void CSlaveConfigWindow::PlugDefaults() {
    m_Plugs.clear();
    m_DeviceSettings.clear();
    for (int module : m_pDescription->DefaultModules())
        m_Plugs.push_back({module, m_pDescription->ModuleName(module), {}});
    Recompute();
}

bool CSlaveConfigWindow::SetParameter(int slot, const std::string& parameter, const QString& value) {
    if (slot >= static_cast<int>(m_Plugs.size()) || slot >= static_cast<int>(m_Config.m_Plugged.size())) return false;
    const std::vector<std::string> names =
        m_pDescription->ParameterNames(slot < 0 ? -1 : m_Plugs[static_cast<size_t>(slot)].m_nModule);
    if (std::find(names.begin(), names.end(), parameter) == names.end()) return false;
    const std::string text = EncodeCp1252(value.trimmed());
    std::int64_t number = 0;
    bool isText = false;
    const std::vector<CParameterValue>& values =
        slot < 0 ? m_Config.m_DeviceParameters : m_Config.m_Plugged[static_cast<size_t>(slot)].m_Parameters;
    for (const CParameterValue& shown : values)
        if (shown.m_Definition.m_Name == parameter)
            for (const auto& [n, name] : shown.m_Texts) isText = isText || EqualsNoCase(Trim(name), text);
    if (!isText && !ReadPrmNumber(text, number)) return false;
    (slot < 0 ? m_DeviceSettings : m_Plugs[static_cast<size_t>(slot)].m_Settings)[parameter] = text;
    Recompute();
    return true;
}

bool CSlaveConfigWindow::ExportTo(const QString& path) {
    const QFileInfo target(path);
    const QString gsd = m_pDoc->PathName();
    if (!gsd.isEmpty() && (target.absoluteFilePath() == QFileInfo(gsd).absoluteFilePath() ||
                           (target.exists() && target.canonicalFilePath() == QFileInfo(gsd).canonicalFilePath()))) {
        ShowMessage(tr("The export would replace the GSD file \"%1\" itself; choose another file name.")
                        .arg(QDir::toNativeSeparators(gsd)));
        return false;
    }
    // The file as taluna-config names it: the path given, or the title of an untitled document.
    const std::string file = gsd.isEmpty() ? EncodeCp1252(m_pDoc->Title()) : QFile::encodeName(gsd).toStdString();
    std::ostringstream json;
    WriteConfigJson(json, file, m_pDescription->IsModular(), m_Config);
    const std::string text = json.str();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !out.commit()) {
        ShowMessage(tr("Could not write \"%1\": %2").arg(QDir::toNativeSeparators(path), out.errorString()));
        return false;
    }
    return true;
}

void CSlaveConfigWindow::Export() {
    QString path;
    if (m_ExportPathHook) {
        path = m_ExportPathHook();
    } else {
        const QString gsd = m_pDoc->PathName();
        const QString start =
            gsd.isEmpty() ? m_pDoc->Title() + ".json"
                          : QFileInfo(gsd).absolutePath() + "/" + QFileInfo(gsd).completeBaseName() + ".config.json";
        path = QFileDialog::getSaveFileName(this, tr("Export Slave Configuration"), start,
                                            tr("JSON Files (*.json);;All Files (*)"));
    }
    if (!path.isEmpty()) ExportTo(path);
}

void CSlaveConfigWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown by the program (not given back by the window system after a minimize): the findings.
    if (!event->spontaneous()) ListFindings();
}
