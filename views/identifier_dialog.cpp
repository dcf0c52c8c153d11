#include "views/identifier_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "base/string_table.h"
#include "views/view_text.h"

namespace {

QGroupBox* Radios(QWidget* parent, const char* title, const QStringList& texts, QButtonGroup* group) {
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    auto* layout = new QHBoxLayout(box);
    for (int i = 0; i < texts.size(); ++i) {
        auto* button = new QRadioButton(texts[i], box);
        group->addButton(button, i);
        layout->addWidget(button);
    }
    return box;
}

void Check(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    // No button of the group: clear the exclusive group's checked button.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

// Button ids of the I/O group: IN 0, OUT 1, IN/OUT 2.
int IoButton(EIdentIo io) {
    switch (io) {
        case EIdentIo::In: return 0;
        case EIdentIo::Out: return 1;
        case EIdentIo::InOut: return 2;
        case EIdentIo::None: break;
    }
    return -1;
}

EIdentIo IoOfButton(int id) {
    switch (id) {
        case 0: return EIdentIo::In;
        case 1: return EIdentIo::Out;
        case 2: return EIdentIo::InOut;
        default: return EIdentIo::None;
    }
}

}  // namespace

CIdentifierDialog::CIdentifierDialog(const QString& title, QWidget* parent)
    : QDialog(parent),
      m_pFormat(new QButtonGroup(this)),
      m_pIo(new QButtonGroup(this)),
      m_pUnit(new QButtonGroup(this)) {
    setWindowTitle(title.isEmpty() ? GsdToQt(LoadString(65103)) : title);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Radios(this, "Ident Format:", {QStringLiteral("Short"), QStringLiteral("Extent")}, m_pFormat), 0,
                      0);
    layout->addWidget(
        Radios(this, "I/O Select:", {QStringLiteral("IN"), QStringLiteral("OUT"), QStringLiteral("IN/OUT")}, m_pIo), 0,
        1);
    QGroupBox* consistence = Radios(this, "Consistence:", {QStringLiteral("Byte"), QStringLiteral("Word")}, m_pUnit);
    m_pWhole = new QCheckBox(QStringLiteral("Whole length"), consistence);
    consistence->layout()->addWidget(m_pWhole);
    layout->addWidget(consistence, 1, 0);

    auto* lengths = new QGroupBox(this);
    auto* form = new QFormLayout(lengths);
    m_pInput = new QLineEdit(lengths);
    m_pOutput = new QLineEdit(lengths);
    form->addRow(QStringLiteral("Input Length:"), m_pInput);
    form->addRow(QStringLiteral("Output Length:"), m_pOutput);
    layout->addWidget(lengths, 1, 1);

    auto* vendorBox = new QGroupBox(QStringLiteral("Vendor specific:"), this);
    auto* vendorLayout = new QHBoxLayout(vendorBox);
    m_pVendor = new QLineEdit(vendorBox);
    m_pVendor->setPlaceholderText(QStringLiteral("0x00,0x01"));
    vendorLayout->addWidget(m_pVendor);
    layout->addWidget(vendorBox, 2, 0, 1, 2);

    m_pError = new QLabel(this);
    m_pError->setStyleSheet(QStringLiteral("color: #b00000"));
    m_pError->setWordWrap(true);
    layout->addWidget(m_pError, 3, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CIdentifierDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 4, 0, 1, 2);

    connect(m_pFormat, &QButtonGroup::idClicked, this, [this](int) { UpdateEnabled(); });
    connect(m_pIo, &QButtonGroup::idClicked, this, [this](int) { UpdateEnabled(); });
    connect(m_pUnit, &QButtonGroup::idClicked, this, [this](int) { m_bUnitTouched = true; });
    connect(m_pWhole, &QCheckBox::clicked, this, [this](bool) { m_bUnitTouched = true; });
    SetIdentifier(CIdentifier{});
}

void CIdentifierDialog::SetIdentifier(const CIdentifier& identifier) {
    m_Original = identifier;
    m_bUnitTouched = false;
    Check(m_pFormat, identifier.m_bSpecial ? 1 : 0);
    Check(m_pIo, IoButton(identifier.m_Io));
    const CIdentLength& shown =
        identifier.HasOutput() && !identifier.HasInput() ? identifier.m_Output : identifier.m_Input;
    Check(m_pUnit, shown.m_bWords ? 1 : 0);
    m_pWhole->setChecked(shown.m_bWholeLength);
    m_pInput->setText(identifier.HasInput() ? QString::number(identifier.m_Input.m_nLength) : QString());
    m_pOutput->setText(identifier.HasOutput() ? QString::number(identifier.m_Output.m_nLength) : QString());
    m_pVendor->setText(identifier.m_Vendor.empty() ? QString() : GsdToQt(FormatConfigBytes(identifier.m_Vendor)));
    m_pError->clear();
    UpdateEnabled();
}

void CIdentifierDialog::UpdateEnabled() {
    const bool special = m_pFormat->checkedId() == 1;
    const EIdentIo io = IoOfButton(m_pIo->checkedId());
    const bool input = io == EIdentIo::In || io == EIdentIo::InOut;
    const bool output = io == EIdentIo::Out || io == EIdentIo::InOut;
    m_pInput->setEnabled(input);
    // The short format has one length for both directions: the input field's.
    m_pOutput->setEnabled(output && (special || !input));
    m_pVendor->setEnabled(special);
}

CIdentifier CIdentifierDialog::Identifier(QString* error) const {
    CIdentifier id = m_Original;
    QString problem;
    id.m_bSpecial = m_pFormat->checkedId() == 1;
    id.m_Io = IoOfButton(m_pIo->checkedId());
    id.m_nMissing = 0;
    auto readLength = [&](QLineEdit* edit, CIdentLength& length, const char* name) {
        bool ok = false;
        const int value = edit->text().trimmed().toInt(&ok, 0);
        if (!ok && problem.isEmpty()) problem = QStringLiteral("The %1 length is no number.").arg(QLatin1String(name));
        length.m_nLength = value;
    };
    if (id.HasInput()) readLength(m_pInput, id.m_Input, "input");
    if (id.HasOutput()) {
        if (!id.m_bSpecial && id.HasInput())
            id.m_Output.m_nLength = id.m_Input.m_nLength;
        else
            readLength(m_pOutput, id.m_Output, "output");
    }
    if (m_bUnitTouched || !m_Original.m_bSpecial || !id.m_bSpecial) {
        for (CIdentLength* length : {&id.m_Input, &id.m_Output}) {
            length->m_bWords = m_pUnit->checkedId() == 1;
            length->m_bWholeLength = m_pWhole->isChecked();
        }
    }
    if (!id.m_bSpecial) {
        // One byte holds both directions of the short format.
        if (id.m_Io == EIdentIo::Out)
            id.m_Input = id.m_Output;
        else
            id.m_Output = id.m_Input;
        id.m_Vendor.clear();
        id.m_bNoVendorMark = false;
    } else {
        id.m_Vendor.clear();
        const std::string vendor = QtToGsd(m_pVendor->text().trimmed());
        for (const CConfigToken& token : TokenizeConfig(vendor)) {
            if (!token.m_bByte) {
                if (problem.isEmpty()) problem = QStringLiteral("The vendor specific bytes must be values 0x00-0xff.");
                break;
            }
            id.m_Vendor.push_back(token.m_Byte);
        }
        if (!id.m_Vendor.empty()) id.m_bNoVendorMark = false;
    }
    if (problem.isEmpty()) problem = GsdToQt(ValidateIdentifier(id));
    if (error != nullptr) *error = problem;
    return id;
}

void CIdentifierDialog::accept() {
    QString error;
    Identifier(&error);
    m_pError->setText(error);
    if (!error.isEmpty()) return;
    QDialog::accept();
}
