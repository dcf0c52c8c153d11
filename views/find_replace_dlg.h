#pragma once
// The Edit menu's Find and Replace dialog over a document's text pane.

#include <QDialog>
#include <QPointer>
#include <QTextDocument>

class QCheckBox;
class QLineEdit;
class CGSDTextView;
class QPushButton;

class CFindReplaceDlg : public QDialog {
    Q_OBJECT
public:
    CFindReplaceDlg(CGSDTextView* editor, bool replace, QWidget* parent = nullptr);
    void SetEditor(CGSDTextView* editor) { m_pEditor = editor; }

    // Finds the next occurrence after the caret; false when there is none.
    // Every search is announced (Find Next and Find Previous repeat it).
    bool FindNext();
    // The search the boxes describe.
    QTextDocument::FindFlags Flags() const;
    // Replaces the current match (if the selection is one) and finds the next.
    bool ReplaceOne();
    // Replaces every occurrence in one undo step; returns how many.
    int ReplaceAll();

    QLineEdit* m_pFind;
    QLineEdit* m_pReplace;
    QCheckBox* m_pMatchCase;
    QCheckBox* m_pWholeWord;

signals:
    void searched(const QString& text, QTextDocument::FindFlags flags);

private:
    QPointer<CGSDTextView> m_pEditor;
};
