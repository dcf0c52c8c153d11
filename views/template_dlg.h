#pragma once
// The template chooser of File New: lists the templates (*.tpl with the
// "Taluna:" marker in their first line) of the template directory, and lets the
// user open one, start an empty document, browse for another directory or cancel.

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class IProfileStore;

class CTemplateDlg : public QDialog {
    Q_OBJECT
public:
    // `titleId` 0 means 65095 "Choose a template for the new file...".
    CTemplateDlg(IProfileStore* profile, QWidget* parent = nullptr, int titleId = 0);

    // The template directory (ends with a separator): Tpl_Path, else Templates/
    // under the current directory, else the bundled templates when that is missing.
    static QString DefaultTemplateDir(const IProfileStore* profile);
    // The bundled templates installed with the program; empty when none is found.
    static QString BundledTemplateDir();
    // The description of a template's first line, or empty when it has no marker.
    static QString DescriptionOf(const QByteArray& firstLine);

    QString TemplateDir() const { return m_TemplateDir; }
    QString SelectedPath() const { return m_SelectedPath; }
    bool IsEmptyDoc() const { return m_bEmptyDoc; }
    QTreeWidget* List() const { return m_pList; }
    QPushButton* OpenButton() const { return m_pOpen; }
    QLabel* PathLabel() const { return m_pPathLabel; }

    // Refills the list; `browse` first asks for a directory (the Browse button).
    void FillList(bool browse);
    // Tests replace the Browse file dialog: returns the chosen file or empty.
    std::function<QString()> m_BrowseHook;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SelectRow(int row);
    void AddErrorRow(const QString& description);

    IProfileStore* m_pProfile;
    QString m_TemplateDir;
    QString m_SelectedPath;
    bool m_bEmptyDoc = false;
    bool m_bFilling = false;
    QTreeWidget* m_pList;
    QLabel* m_pPathLabel;
    QPushButton* m_pOpen;
};
