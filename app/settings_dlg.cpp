#include "app/settings_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/cp1252.h"
#include "base/string_table.h"
#include "model/taluna_context.h"

namespace {

QString Text(int id) {
    return DecodeCp1252(LoadString(id));
}

QCheckBox* AddBox(QGroupBox* group, int textId, const char* name) {
    auto* box = new QCheckBox(Text(textId), group);
    box->setObjectName(name);
    group->layout()->addWidget(box);
    return box;
}

QGroupBox* AddGroup(QWidget* parent, QLayout* layout, int textId) {
    auto* group = new QGroupBox(Text(textId), parent);
    group->setLayout(new QVBoxLayout);
    layout->addWidget(group);
    return group;
}

}  // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent, int titleId) : QDialog(parent) {
    setWindowTitle(Text(titleId == 0 ? 65135 : titleId));
    auto* layout = new QVBoxLayout(this);
    QGroupBox* failSafe = AddGroup(this, layout, 65136);
    m_pNoSemanticCheck = AddBox(failSafe, 65137, "NoSemanticCheck");
    m_pNoWinPosSave = AddBox(failSafe, 65138, "NoWinPosSave");
    failSafe->setEnabled(false);
    QGroupBox* program = AddGroup(this, layout, 65142);
    m_pShowSplash = AddBox(program, 65144, "ShowSplash");
    m_pCoolMenu = AddBox(program, 65145, "CoolMenu");
    m_pNoBackup = AddBox(program, 65147, "NoBackup");
    QGroupBox* editor = AddGroup(this, layout, 65143);
    m_pSyntax = AddBox(editor, 65148, "Syntax");
    m_pSyntax->setEnabled(false);
    m_pWarnings = AddBox(editor, 65150, "Warnings");
    auto* profileLabel = new QLabel(tr("Check GSD &rules:"), editor);
    m_pProfile = new QComboBox(editor);
    m_pProfile->setObjectName("CheckProfile");
    m_pProfile->addItems({tr("Classic (GSD revision 2, as written)"), tr("Revision 5 (keywords of revisions 3 to 5)"),
                          tr("By the file's GSD_Revision (revision 5 from 3 on)")});
    profileLabel->setBuddy(m_pProfile);
    editor->layout()->addWidget(profileLabel);
    editor->layout()->addWidget(m_pProfile);
    auto* fontLabel = new QLabel(tr("&Font of the text:"), editor);
    m_pFont = new QFontComboBox(editor);
    m_pFont->setObjectName("EditorFont");
    m_pFont->setFontFilters(QFontComboBox::MonospacedFonts);
    m_pFontSize = new QSpinBox(editor);
    m_pFontSize->setObjectName("EditorFontSize");
    m_pFontSize->setRange(4, 72);
    m_pFontSize->setSuffix(tr(" pt"));
    fontLabel->setBuddy(m_pFont);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(m_pFont, 1);
    fontRow->addWidget(m_pFontSize);
    editor->layout()->addWidget(fontLabel);
    static_cast<QVBoxLayout*>(editor->layout())->addLayout(fontRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CSettingsDlg::SetFrom(const CSettings& settings) {
    m_pNoSemanticCheck->setChecked(settings.m_bNoSemanticCheck != 0);
    m_pNoWinPosSave->setChecked(settings.m_bNoWinPosSave != 0);
    m_pShowSplash->setChecked(settings.m_bShowSplash != 0);
    m_pCoolMenu->setChecked(settings.m_bCoolMenu != 0);
    m_pNoBackup->setChecked(settings.m_nNoBackup != 0);
    // Warnings are suppressed only by exactly 1, and both values are stored
    // back as 1 only when they are 1: the boxes show that state, so OK on an
    // untouched dialog changes nothing.
    m_pSyntax->setChecked(settings.m_nSyntax == 1);
    m_pWarnings->setChecked(settings.m_nWarnings == 1);
    m_pProfile->setCurrentIndex(
        settings.m_nCheckProfile >= 0 && settings.m_nCheckProfile <= 2 ? settings.m_nCheckProfile : 0);
}

void CSettingsDlg::CopyTo(CSettings& settings) const {
    settings.m_bNoSemanticCheck = m_pNoSemanticCheck->isChecked() ? 1 : 0;
    settings.m_bNoWinPosSave = m_pNoWinPosSave->isChecked() ? 1 : 0;
    settings.m_bShowSplash = m_pShowSplash->isChecked() ? 1 : 0;
    settings.m_bCoolMenu = m_pCoolMenu->isChecked() ? 1 : 0;
    settings.m_nNoBackup = m_pNoBackup->isChecked() ? 1 : 0;
    settings.m_nSyntax = m_pSyntax->isChecked() ? 1 : 0;
    settings.m_nWarnings = m_pWarnings->isChecked() ? 1 : 0;
    settings.m_nCheckProfile = m_pProfile->currentIndex();
}

void CSettingsDlg::SetEditorFont(const QFont& font) {
    m_pFont->setCurrentFont(font);
    m_pFontSize->setValue(font.pointSize() > 0 ? font.pointSize() : 10);
}

QFont CSettingsDlg::EditorFont() const {
    QFont font = m_pFont->currentFont();
    font.setPointSize(m_pFontSize->value());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

bool RunSettingsDialog(QWidget* parent, CSettings& settings, QFont* editorFont) {
    CSettingsDlg dialog(parent);
    dialog.SetFrom(settings);
    if (editorFont != nullptr) dialog.SetEditorFont(*editorFont);
    // A family the system lacks shows as another in the list: it stays
    // unless the user picks a family.
    const QString shownFamily = dialog.m_pFont->currentFont().family();
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.CopyTo(settings);
    if (editorFont != nullptr) {
        QFont chosen = dialog.EditorFont();
        if (chosen.family() == shownFamily) chosen.setFamily(editorFont->family());
        *editorFont = chosen;
    }
    return true;
}
