#pragma once
// The settings dialog: seven check boxes in three groups; the fail-safe group and
// the syntax box are shown disabled. The editor group also holds the check
// rules and the font of the text panes.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QSpinBox;
class QFont;
struct CSettings;

class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // `titleId` 0 means 65135 "Settings...".
    explicit CSettingsDlg(QWidget* parent = nullptr, int titleId = 0);

    void SetFrom(const CSettings& settings);
    // Copies all seven boxes into `settings`.
    void CopyTo(CSettings& settings) const;

    QCheckBox* m_pNoSemanticCheck;
    QCheckBox* m_pNoWinPosSave;
    QCheckBox* m_pShowSplash;
    QCheckBox* m_pCoolMenu;
    QCheckBox* m_pNoBackup;
    QCheckBox* m_pSyntax;
    QCheckBox* m_pWarnings;
    // The check profile: classic, revision 5, or by the file's GSD_Revision.
    QComboBox* m_pProfile;
    // The font of the text panes: family (fixed-pitch fonts) and point size.
    QFontComboBox* m_pFont;
    QSpinBox* m_pFontSize;

    void SetEditorFont(const QFont& font);
    QFont EditorFont() const;
};

// The Settings command: runs the dialog over `settings` and, when given, the
// editor font; OK copies the boxes back.
bool RunSettingsDialog(QWidget* parent, CSettings& settings, QFont* editorFont = nullptr);
