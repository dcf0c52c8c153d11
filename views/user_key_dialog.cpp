#include "views/user_key_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "userkeys/user_key_registry.h"
#include "views/view_text.h"

namespace {

QGroupBox* RadioGroup(QWidget* parent, const QString& title, const QStringList& texts, QButtonGroup* group) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < texts.size(); ++i) {
        auto* button = new QRadioButton(texts[i], box);
        group->addButton(button, i);
        layout->addWidget(button);
    }
    return box;
}

}  // namespace

CUserKeyDialog::CUserKeyDialog(const IProfileStore* profile, int titleId, int dataType, const QString& range, int group,
                               QWidget* parent)
    : QDialog(parent), m_pTypes(new QButtonGroup(this)), m_pGroups(new QButtonGroup(this)) {
    setWindowTitle(GsdToQt(LoadViewString(titleId != 0 ? titleId : 65104)));
    auto* layout = new QGridLayout(this);

    layout->addWidget(
        RadioGroup(this, GsdToQt(LoadViewString(65105)),
                   {QStringLiteral("String (\"Sample String\")"), QStringLiteral("Integer (-1, 0, 1, 0x00, 0xAb)"),
                    QStringLiteral("Bool (0=FALSE, 1=TRUE)"), QStringLiteral("Octet String (0x00,0x01,0x02,..)")},
                   m_pTypes),
        0, 0);
    layout->addWidget(RadioGroup(this, GsdToQt(LoadViewString(65107)),
                                 {QStringLiteral("General GSD"), QStringLiteral("Slave"), QStringLiteral("Master"),
                                  QStringLiteral("Module")},
                                 m_pGroups),
                      0, 1);
    m_pRangeLabel = new QLabel(GsdToQt(LoadViewString(65106)), this);
    m_pRange = new QLineEdit(this);
    m_pRangeLabel->setBuddy(m_pRange);
    layout->addWidget(m_pRangeLabel, 1, 0, 1, 2);
    layout->addWidget(m_pRange, 2, 0, 1, 2);

    layout->addWidget(new QLabel(GsdToQt(LoadViewString(65151)), this), 3, 0, 1, 2);
    m_pRegistered = new QPlainTextEdit(this);
    m_pRegistered->setReadOnly(true);
    const std::string keys = profile != nullptr ? RegisteredKeysText(*profile) : std::string("..no keys defined..");
    m_pRegistered->setPlainText(GsdToQtLines(keys));
    layout->addWidget(m_pRegistered, 4, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 5, 0, 1, 2);

    SetDataType(dataType);
    SetGroup(group);
    SetRange(range);
    connect(m_pTypes, &QButtonGroup::idClicked, this, [this](int) { UpdateRangeEnabled(); });
}

int CUserKeyDialog::DataType() const {
    return m_pTypes->checkedId();
}
int CUserKeyDialog::Group() const {
    return m_pGroups->checkedId();
}
QString CUserKeyDialog::Range() const {
    return m_pRange->text();
}

void CUserKeyDialog::SetDataType(int dataType) {
    if (QAbstractButton* button = m_pTypes->button(dataType)) button->setChecked(true);
    UpdateRangeEnabled();
}

void CUserKeyDialog::SetGroup(int group) {
    if (QAbstractButton* button = m_pGroups->button(group)) button->setChecked(true);
}

void CUserKeyDialog::SetRange(const QString& range) {
    m_pRange->setText(range);
}

void CUserKeyDialog::UpdateRangeEnabled() {
    // Bool and Octet String have no range; the text stays and is stored as typed.
    const int type = DataType();
    const bool enabled = type != 2 && type != 3;
    m_pRangeLabel->setEnabled(enabled);
    m_pRange->setEnabled(enabled);
}

bool EditUserKey(CTalunaContext& context, CKeyEntry* entry, QWidget* parent) {
    if (entry == nullptr) {
        context.Notify("No database exists.", ENotifyIcon::Exclamation);
        return false;
    }
    const CUserKeyRegistration preset = CUserKeyRegistration::FromEntry(*entry);
    CUserKeyDialog dialog(context.m_pProfile, 0, preset.m_nDataType, GsdToQt(preset.m_Range), preset.m_nGroup, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    CUserKeyRegistration registration;
    registration.m_nDataType = dialog.DataType() < 0 ? 0 : dialog.DataType();
    registration.m_nGroup = dialog.Group() < 0 ? 0 : dialog.Group();
    registration.m_Range = QtToGsd(dialog.Range());
    if (context.m_pProfile == nullptr) {
        // Without a profile nothing can be stored; the entry still takes the description.
        entry->m_TypeFlag = registration.TypeFlag();
        entry->m_TreeGroup = registration.TreeGroup();
        entry->SetRangeLen(registration.m_Range);
        return false;
    }
    RegisterUserKey(*context.m_pProfile, entry->m_Keyword, registration, entry);
    return true;
}
