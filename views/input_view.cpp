#include "views/input_view.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>

#include "base/string_table.h"
#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/key_syntax_check.h"
#include "check/keyword_catalogue.h"
#include "check/process_key.h"
#include "views/gsd_tree_view.h"
#include "views/identifier_dialog.h"
#include "views/view_text.h"

namespace {

// The data types of a parameter definition, in the list's order.
const char* const kDataTypes[] = {"Unsigned32", "Unsigned16", "Unsigned8", "Signed32",
                                  "Signed16",   "Signed8",    "BitArea",   "Bit"};

bool IsNumberDataType(const std::string& name) {
    for (int i = 0; i < 6; ++i)
        if (EqualsNoCase(name, kDataTypes[i])) return true;
    return false;
}

// The boxes a data type starts with when it is chosen for a parameter whose
// values do not fit it: the type's whole range (for Bit and BitArea the bit or
// bit area, the default and the allowed values; for the others the default
// and the allowed values).
struct SDataTypeStart {
    const char* m_pszType;
    std::array<const char*, 3> m_Values;
};
const SDataTypeStart kDataTypeStarts[] = {
    {"Unsigned32", {"0", "0-4294967295", ""}}, {"Unsigned16", {"0", "0-65535", ""}},
    {"Unsigned8", {"0", "0-255", ""}},         {"Signed32", {"0", "-2147483648-2147483647", ""}},
    {"Signed16", {"0", "-32768-32767", ""}},   {"Signed8", {"0", "-128-127", ""}},
    {"BitArea", {"0-7", "0", "0-255"}},        {"Bit", {"0", "0", "0-1"}},
};

using CTypeValues = std::array<std::string, 3>;

CTypeValues StartValues(const std::string& type) {
    for (const SDataTypeStart& start : kDataTypeStarts)
        if (EqualsNoCase(type, start.m_pszType)) return {start.m_Values[0], start.m_Values[1], start.m_Values[2]};
    return {};
}

// Whether a line of data type `type` with these items passes the key check:
// the check itself judges them, on an entry of its own that no database holds.
bool PassesTypeCheck(const std::string& type, const CTypeValues& values) {
    const SCatalogueRow* row = KeywordCatalogue::Find(type);
    if (row == nullptr) return false;
    CTalunaContext probe;
    CKeyEntry entry(type, std::string(), 0);
    for (size_t i = 0; i < values.size(); ++i) entry.SetItem(i, values[i]);
    CheckCatalogueRule(probe, entry, *row);
    return entry.m_bSyntaxOk == 1;
}

class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// A multi-line edit's text with the line breaks the core writes ("\r\n").
std::string MultiLineText(const QPlainTextEdit* edit) {
    QString text = edit->toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return QtToGsd(text);
}

}  // namespace

CInputView::CInputView(IGsdViewHost& host, QWidget* parent) : QWidget(parent), m_Host(host) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    m_pFrame = new QFrame(this);
    m_pFrame->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(m_pFrame);
    auto* layout = new QVBoxLayout(m_pFrame);

    auto* top = new QHBoxLayout;
    m_pIcon = new QLabel(m_pFrame);
    m_pIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    m_pIcon->setAlignment(Qt::AlignTop);
    top->addWidget(m_pIcon);
    m_pHelp = new QPlainTextEdit(m_pFrame);
    m_pHelp->setReadOnly(true);
    m_pHelp->setMaximumHeight(90);
    top->addWidget(m_pHelp, 1);
    layout->addLayout(top);
    m_pSeparator = new QFrame(m_pFrame);
    m_pSeparator->setFrameShape(QFrame::HLine);
    m_pSeparator->setFrameShadow(QFrame::Sunken);
    layout->addWidget(m_pSeparator);

    auto* grid = new QGridLayout;
    auto label = [&](const char* text) { return new QLabel(QString::fromLatin1(text), m_pFrame); };
    m_pStringLabel = label("String:");
    m_pString = new QPlainTextEdit(m_pFrame);
    m_pString->setMaximumHeight(48);
    m_pUintLabel = label("UINT:");
    m_pUint = new QLineEdit(m_pFrame);
    m_pChoiceLabel = label("Choice:");
    m_pChoiceGroup = new QButtonGroup(this);
    auto* choices = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_pChoices[i] = new QRadioButton(QStringLiteral("Choice %1").arg(i + 1), m_pFrame);
        m_pChoiceGroup->addButton(m_pChoices[i], i);
        choices->addWidget(m_pChoices[i]);
    }
    choices->addStretch();
    m_pBoolLabel = label("Bool:");
    m_pBool = new QCheckBox(QStringLiteral("BOOL"), m_pFrame);
    m_pFirstLabel = label("Area");
    m_pFirst = new QLineEdit(m_pFrame);
    m_pSecondLabel = label("Default-Value");
    m_pSecond = new QLineEdit(m_pFrame);
    m_pThirdLabel = label("Min-Max");
    m_pThird = new QLineEdit(m_pFrame);
    m_pDataTypeLabel = label("Data Type:");
    m_pDataType = new QComboBox(m_pFrame);
    for (const char* type : kDataTypes) m_pDataType->addItem(QString::fromLatin1(type));

    int row = 0;
    grid->addWidget(m_pStringLabel, row, 0);
    grid->addWidget(m_pString, row++, 1);
    grid->addWidget(m_pUintLabel, row, 0);
    grid->addWidget(m_pUint, row++, 1);
    grid->addWidget(m_pChoiceLabel, row, 0);
    grid->addLayout(choices, row++, 1);
    grid->addWidget(m_pBoolLabel, row, 0);
    grid->addWidget(m_pBool, row++, 1);
    grid->addWidget(m_pFirstLabel, row, 0);
    grid->addWidget(m_pFirst, row++, 1);
    grid->addWidget(m_pSecondLabel, row, 0);
    grid->addWidget(m_pSecond, row++, 1);
    grid->addWidget(m_pThirdLabel, row, 0);
    grid->addWidget(m_pThird, row++, 1);
    grid->addWidget(m_pDataTypeLabel, row, 0);
    grid->addWidget(m_pDataType, row++, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    m_pValueList = new QTreeWidget(m_pFrame);
    m_pValueList->setRootIsDecorated(false);
    m_pValueList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pValueList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pValueList->setIconSize(QSize(16, 16));
    QStringList headers;
    for (int id = 46; id <= 51; ++id) headers << GsdToQt(LoadString(id));
    m_pValueList->setHeaderLabels(headers);
    for (int column = 0; column < 6; ++column) m_pValueList->header()->resizeSection(column, 100);
    m_pValueList->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_pValueList, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_pApply = new QPushButton(QStringLiteral("Apply"), m_pFrame);
    buttons->addWidget(m_pApply);
    layout->addLayout(buttons);
    layout->addStretch();

    m_Controls = {
        {IDC_STRING_EDIT, m_pString},
        {IDC_UINT_EDIT, m_pUint},
        {IDC_CHOICE_1, m_pChoices[0]},
        {IDC_CHOICE_2, m_pChoices[1]},
        {IDC_CHOICE_3, m_pChoices[2]},
        {IDC_STRING_LABEL, m_pStringLabel},
        {IDC_UINT_LABEL, m_pUintLabel},
        {IDC_CHOICE_LABEL, m_pChoiceLabel},
        {IDC_FRAME, m_pFrame},
        {IDC_HELP, m_pHelp},
        {IDC_ICON, m_pIcon},
        {IDC_SEPARATOR, m_pSeparator},
        {IDC_BOOL_LABEL, m_pBoolLabel},
        {IDC_BOOL_CHECK, m_pBool},
        {IDC_VALUE_LIST, m_pValueList},
        {IDC_THIRD_LABEL, m_pThirdLabel},
        {IDC_SECOND_LABEL, m_pSecondLabel},
        {IDC_FIRST_LABEL, m_pFirstLabel},
        {IDC_THIRD_EDIT, m_pThird},
        {IDC_SECOND_EDIT, m_pSecond},
        {IDC_FIRST_EDIT, m_pFirst},
        {IDC_DATA_TYPE, m_pDataType},
        {IDC_DATA_TYPE_LABEL, m_pDataTypeLabel},
        {IDC_APPLY, m_pApply},
    };
    for (auto& [id, widget] : m_Controls) {
        widget->setObjectName(QStringLiteral("idc%1").arg(id));
        widget->setVisible(false);
    }

    connect(m_pApply, &QPushButton::clicked, this, &CInputView::ApplyKeyForm);
    connect(m_pDataType, &QComboBox::activated, this, [this](int) { DataTypeChanged(); });
    connect(m_pThird, &QLineEdit::textChanged, this, [this](const QString&) {
        if (m_Host.Context().m_Form.m_nFormMode == static_cast<int>(EFormMode::Module)) FillValueList();
    });
    connect(m_pValueList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { EditIdentifier(m_pValueList->indexOfTopLevelItem(item)); });
    connect(m_pValueList, &QWidget::customContextMenuRequested, this, &CInputView::OnValueListContextMenu);
}

QWidget* CInputView::Control(int id) const {
    const auto it = m_Controls.find(id);
    return it == m_Controls.end() ? nullptr : it->second;
}

bool CInputView::IsShown(int id) const {
    const QWidget* widget = Control(id);
    return widget != nullptr && !widget->isHidden();
}

void CInputView::Show(std::initializer_list<int> ids) {
    for (int id : ids)
        if (QWidget* widget = Control(id)) widget->setVisible(true);
}

const CInputView::SModeRow* CInputView::ModeRow(int mode) {
    using M = EFormMode;
    static const SModeRow kRows[] = {
        {M::Information, {IDC_ICON}, false, nullptr, nullptr},
        {M::Text, {IDC_STRING_LABEL, IDC_STRING_EDIT}, true, &CInputView::RenderText, &CInputView::ReadText},
        {M::Number, {IDC_UINT_LABEL, IDC_UINT_EDIT}, true, &CInputView::RenderNumber, &CInputView::ReadNumber},
        {M::ThreeChoices,
         {IDC_CHOICE_LABEL, IDC_CHOICE_1, IDC_CHOICE_2, IDC_CHOICE_3},
         true,
         &CInputView::RenderThreeChoices,
         &CInputView::ReadThreeChoices},
        {M::TwoChoices,
         {IDC_CHOICE_LABEL, IDC_CHOICE_1, IDC_CHOICE_2},
         true,
         &CInputView::RenderTwoChoices,
         &CInputView::ReadTwoChoices},
        {M::Flag, {IDC_BOOL_LABEL, IDC_BOOL_CHECK}, true, &CInputView::RenderFlag, &CInputView::ReadFlag},
        {M::Module,
         {IDC_STRING_LABEL, IDC_STRING_EDIT, IDC_THIRD_LABEL, IDC_THIRD_EDIT, IDC_VALUE_LIST},
         true,
         &CInputView::RenderModule,
         &CInputView::ReadModule},
        {M::BlockEnd, {}, false, nullptr, nullptr},
        {M::BitParameter,
         {IDC_FIRST_LABEL, IDC_FIRST_EDIT, IDC_SECOND_LABEL, IDC_SECOND_EDIT, IDC_THIRD_LABEL, IDC_THIRD_EDIT,
          IDC_DATA_TYPE_LABEL, IDC_DATA_TYPE},
         true,
         &CInputView::RenderParameter,
         &CInputView::ReadBitParameter},
        {M::NumberParameter,
         {IDC_FIRST_LABEL, IDC_FIRST_EDIT, IDC_SECOND_LABEL, IDC_SECOND_EDIT, IDC_DATA_TYPE_LABEL, IDC_DATA_TYPE},
         true,
         &CInputView::RenderParameter,
         &CInputView::ReadNumberParameter},
        {M::Area,
         {IDC_FIRST_LABEL, IDC_FIRST_EDIT, IDC_SECOND_LABEL, IDC_SECOND_EDIT},
         true,
         &CInputView::RenderArea,
         &CInputView::ReadArea},
        {M::Reference,
         {IDC_STRING_LABEL, IDC_STRING_EDIT, IDC_THIRD_LABEL, IDC_THIRD_EDIT},
         true,
         &CInputView::RenderReference,
         &CInputView::ReadReference},
    };
    for (const SModeRow& row : kRows)
        if (static_cast<int>(row.m_Mode) == mode) return &row;
    return nullptr;
}

void CInputView::OnUpdate() {
    CWaitCursor wait;
    const CKeyFormRecord& form = m_Host.Context().m_Form;
    m_pHelp->setPlainText(GsdToQtLines(form.m_HelpText));
    for (auto& [id, widget] : m_Controls) widget->setVisible(false);
    Show({IDC_SEPARATOR, IDC_HELP, IDC_FRAME});
    const SModeRow* row = ModeRow(form.m_nFormMode);
    if (row == nullptr) return;
    Show(row->m_Controls);
    if (row->m_pRender != nullptr) (this->*row->m_pRender)(form);
    if (row->m_bApply) Show({IDC_APPLY});
}

void CInputView::SetChoice(int index) {
    m_pChoiceGroup->setExclusive(false);
    for (int i = 0; i < 3; ++i) m_pChoices[i]->setChecked(i == index);
    m_pChoiceGroup->setExclusive(true);
}

void CInputView::RenderText(const CKeyFormRecord& form) {
    m_pString->setPlainText(GsdToQtLines(form.m_Values[0]));
}

void CInputView::RenderNumber(const CKeyFormRecord& form) {
    m_pUint->setText(GsdToQt(form.m_Values[0]));
}

void CInputView::RenderThreeChoices(const CKeyFormRecord& form) {
    for (int i = 0; i < 3; ++i) m_pChoices[i]->setText(GsdToQt(form.m_Labels[static_cast<size_t>(i)]));
    const int number = Atoi32(form.m_Values[0]);
    SetChoice(number == 1 ? 1 : number == 2 ? 2 : 0);
}

void CInputView::RenderTwoChoices(const CKeyFormRecord& form) {
    for (int i = 0; i < 2; ++i) m_pChoices[i]->setText(GsdToQt(form.m_Labels[static_cast<size_t>(i)]));
    const int number = Atoi32(form.m_Values[0]);
    SetChoice(number == 0 ? 0 : number == 1 ? 1 : -1);
}

void CInputView::RenderFlag(const CKeyFormRecord& form) {
    m_pBool->setText(GsdToQt(form.m_Labels[0]));
    m_pBool->setChecked(Atoi32(form.m_Values[0]) == 1);
}

void CInputView::RenderModule(const CKeyFormRecord& form) {
    const auto& v = form.m_Values;
    m_pString->setPlainText(GsdToQtLines(v[0]));
    // Information mode puts the caption of the configuration field into
    // value part 2; the labels may still hold the previous key's.
    m_pThirdLabel->setText(GsdToQt(!v[2].empty() ? v[2] : form.m_Labels[2]));
    m_pThird->setText(GsdToQt(v[1]));
    FillValueList();
}

void CInputView::RenderParameter(const CKeyFormRecord& form) {
    const auto& v = form.m_Values;
    const auto& l = form.m_Labels;
    m_pFirstLabel->setText(GsdToQt(l[0]));
    m_pSecondLabel->setText(GsdToQt(l[1]));
    m_pFirst->setText(GsdToQt(v[0]));
    m_pSecond->setText(GsdToQt(v[1]));
    if (form.m_nFormMode == static_cast<int>(EFormMode::BitParameter)) {
        m_pThirdLabel->setText(GsdToQt(l[2]));
        m_pThird->setText(GsdToQt(v[2]));
    }
    m_pDataTypeLabel->setText(GsdToQt(l[3]));
    int selected = -1;
    for (int i = 0; i < m_pDataType->count(); ++i)
        if (EqualsNoCase(QtToGsd(m_pDataType->itemText(i)), v[3])) selected = i;
    m_pDataType->setCurrentIndex(selected);
}

void CInputView::RenderArea(const CKeyFormRecord& form) {
    m_pFirstLabel->setText(GsdToQt(form.m_Labels[0]));
    m_pSecondLabel->setText(GsdToQt(form.m_Labels[1]));
    m_pFirst->setText(GsdToQt(form.m_Values[0]));
    m_pSecond->setText(GsdToQt(form.m_Values[1]));
}

void CInputView::RenderReference(const CKeyFormRecord& form) {
    m_pString->setPlainText(GsdToQtLines(form.m_Values[1]));
    m_pThird->setText(GsdToQt(form.m_Values[0]));
    m_pThirdLabel->setText(GsdToQt(form.m_Labels[0]));
}

void CInputView::DataTypeChanged() {
    CTalunaContext& context = m_Host.Context();
    CKeyFormRecord& form = context.m_Form;
    const auto oldMode = static_cast<EFormMode>(form.m_nFormMode);
    if (oldMode != EFormMode::BitParameter && oldMode != EFormMode::NumberParameter) return;
    const std::string type = QtToGsd(m_pDataType->currentText());
    if (type.empty()) return;
    // The type shown already: the boxes stay as the user left them.
    if (EqualsNoCase(type, form.m_Values[3])) return;
    const bool number = IsNumberDataType(type);
    const EFormMode mode = number ? EFormMode::NumberParameter : EFormMode::BitParameter;

    // The boxes as they stand, by meaning: bit or bit area, default, allowed values.
    CTypeValues shown = {QtToGsd(m_pFirst->text()), QtToGsd(m_pSecond->text()), QtToGsd(m_pThird->text())};
    if (oldMode == EFormMode::NumberParameter) shown = {std::string(), shown[0], shown[1]};
    CTypeValues values;
    const CKeyEntry* entry = context.m_pCurEntry;
    if (entry != nullptr && EqualsNoCase(entry->m_Keyword, type)) {
        // Back to the key's own type: its own values.
        for (size_t i = 0; i < values.size(); ++i) values[i] = entry->m_Ready[i];
    } else {
        // Values that fit the new type stay, so that Apply never writes a
        // line that mixes two types; others give way to the type's own.
        values = number ? CTypeValues{shown[1], shown[2], std::string()}
                        : CTypeValues{shown[0].empty() ? StartValues(type)[0] : shown[0], shown[1], shown[2]};
        if (!PassesTypeCheck(type, values)) values = StartValues(type);
    }

    // Apply reads the boxes of the new type and composes its line.
    form.m_nFormMode = static_cast<int>(mode);
    form.m_Values = {};
    for (size_t i = 0; i < values.size(); ++i) form.m_Values[i] = values[i];
    form.m_Values[3] = type;
    form.m_Labels = {};
    if (number) {
        form.m_Labels[0] = LoadString(65091);
        form.m_Labels[1] = LoadString(65092);
    } else {
        form.m_Labels[0] = LoadString(65090);
        form.m_Labels[1] = LoadString(65091);
        form.m_Labels[2] = LoadString(65092);
    }
    form.m_Labels[3] = LoadString(65096);
    OnUpdate();
}

void CInputView::ApplyKeyForm() {
    CTalunaContext& context = m_Host.Context();
    if (m_Host.IsWriteProtected()) {
        context.Notify(LoadString(65123), ENotifyIcon::Exclamation);
        return;
    }
    CKeyFormRecord& form = context.m_Form;
    if (const SModeRow* row = ModeRow(form.m_nFormMode); row != nullptr && row->m_pRead != nullptr)
        (this->*row->m_pRead)(form);
    CKeyEntry* entry = context.m_pCurEntry;
    if (entry == nullptr) {
        context.Notify("No database exists.", ENotifyIcon::Exclamation);
        return;
    }
    // The entry's lines are about to be replaced: when the text no longer holds
    // the key there, writing would overwrite other lines, so the database is
    // reported stale instead.
    const ILineSource& lines = m_Host.Lines();
    if (entry->m_Line >= lines.GetLineCount() || IsKeyLineStale(lines, entry->m_Keyword, entry->m_LongLine)) {
        m_Host.ReportStaleDatabase();
        return;
    }
    // A parameter whose data type was changed in the form is composed as a
    // line of the new type.
    const bool typeChosen = (form.m_nFormMode == static_cast<int>(EFormMode::BitParameter) ||
                             form.m_nFormMode == static_cast<int>(EFormMode::NumberParameter)) &&
                            !form.m_Values[3].empty();
    ProcessKey(context, typeChosen ? std::string_view(form.m_Values[3]) : entry->m_Keyword, MODE_COMPOSE, "");
    m_Host.WriteBackEntry(*entry);
    m_Host.EntryChanged(*entry);
    context.ClearMessages();
    context.m_CheckedDoc = {m_Host.Document(), &m_Host.Lines()};
    CWaitCursor wait;
    context.AddNote("Start Syntax-Check...");
    ProcessKey(context, entry->m_Keyword, MODE_CHECK, "");
    context.AddNote("Stop Syntax-Check...");
}

void CInputView::ReadText(CKeyFormRecord& form) {
    form.m_Values[0] = MultiLineText(m_pString);
}

void CInputView::ReadNumber(CKeyFormRecord& form) {
    form.m_Values[0] = QtToGsd(m_pUint->text());
}

void CInputView::ReadThreeChoices(CKeyFormRecord& form) {
    const int checked = m_pChoiceGroup->checkedId();
    if (checked >= 0) form.m_Values[0] = std::to_string(checked);
}

void CInputView::ReadTwoChoices(CKeyFormRecord& form) {
    const int checked = m_pChoiceGroup->checkedId();
    if (checked == 0 || checked == 1) form.m_Values[0] = std::to_string(checked);
}

void CInputView::ReadFlag(CKeyFormRecord& form) {
    form.m_Values[0].assign(1, m_pBool->isChecked() ? '1' : '0');
}

void CInputView::ReadModule(CKeyFormRecord& form) {
    // The module name is taken over as well as the configuration data.
    form.m_Values[0] = MultiLineText(m_pString);
    form.m_Values[1] = QtToGsd(m_pThird->text());
}

void CInputView::ReadBitParameter(CKeyFormRecord& form) {
    form.m_Values[0] = QtToGsd(m_pFirst->text());
    form.m_Values[1] = QtToGsd(m_pSecond->text());
    form.m_Values[2] = QtToGsd(m_pThird->text());
    form.m_Values[3] = QtToGsd(m_pDataType->currentText());
}

void CInputView::ReadNumberParameter(CKeyFormRecord& form) {
    form.m_Values[0] = QtToGsd(m_pFirst->text());
    form.m_Values[1] = QtToGsd(m_pSecond->text());
    form.m_Values[3] = QtToGsd(m_pDataType->currentText());
}

void CInputView::ReadArea(CKeyFormRecord& form) {
    form.m_Values[0] = QtToGsd(m_pFirst->text());
    form.m_Values[1] = QtToGsd(m_pSecond->text());
}

void CInputView::ReadReference(CKeyFormRecord& form) {
    form.m_Values[1] = MultiLineText(m_pString);
    form.m_Values[0] = QtToGsd(m_pThird->text());
}

void CInputView::FillValueList() {
    m_pValueList->clear();
    const CConfigDecode decode = DecodeConfig(QtToGsd(m_pThird->text().trimmed()));
    m_Identifiers = decode.m_Identifiers;
    m_bConfigValid = decode.m_bBytesOk;
    const QIcon icon = CGSDTreeView::ImageIcon(IMAGE_OCTET);
    for (const CIdentifier& id : m_Identifiers) {
        auto* item = new QTreeWidgetItem(QStringList{GsdToQt(IdentFormatText(id)), GsdToQt(IoSelectText(id)),
                                                     GsdToQt(InputLengthText(id)), GsdToQt(OutputLengthText(id)),
                                                     GsdToQt(ConsistenceText(id)), GsdToQt(VendorText(id))});
        item->setIcon(0, icon);
        m_pValueList->addTopLevelItem(item);
    }
}

void CInputView::EditIdentifier(int row) {
    if (row < 0 || row >= static_cast<int>(m_Identifiers.size())) return;
    if (!m_bConfigValid) {
        m_Host.Context().Notify(FormatString(IDS_CONFIG_INVALID, {"Module"}), ENotifyIcon::Exclamation);
        return;
    }
    const QString title = GsdToQt(FormatString(65102, {row}));
    CIdentifier identifier = m_Identifiers[static_cast<size_t>(row)];
    bool ok = false;
    if (m_fnEdit) {
        ok = m_fnEdit(title, identifier);
    } else {
        CIdentifierDialog dialog(title, this);
        dialog.SetIdentifier(identifier);
        ok = dialog.exec() == QDialog::Accepted;
        if (ok) identifier = dialog.Identifier();
    }
    if (!ok || !ValidateIdentifier(identifier).empty()) return;
    std::string config = QtToGsd(m_pThird->text().trimmed());
    if (ReplaceIdentifierInConfig(config, row, identifier)) m_pThird->setText(GsdToQt(config));
}

void CInputView::InsertIdentifier(int row) {
    if (!m_bConfigValid) {
        m_Host.Context().Notify(FormatString(IDS_CONFIG_INVALID, {"Module"}), ENotifyIcon::Exclamation);
        return;
    }
    const QString question = QStringLiteral("Insert a new value?");
    const bool yes = m_fnAsk ? m_fnAsk(question)
                             : QMessageBox::question(this, QApplication::applicationName(), question,
                                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    if (!yes) return;
    std::string config = QtToGsd(m_pThird->text().trimmed());
    const int count = static_cast<int>(m_Identifiers.size());
    if (InsertIdentifierInConfig(config, row < 0 || row > count ? count : row, CIdentifier{}))
        m_pThird->setText(GsdToQt(config));
}

void CInputView::OnValueListContextMenu(const QPoint& pos) {
    QTreeWidgetItem* item = m_pValueList->itemAt(pos);
    InsertIdentifier(item != nullptr ? m_pValueList->indexOfTopLevelItem(item)
                                     : static_cast<int>(m_Identifiers.size()));
}
