#include "views/find_replace_dlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QTextDocument::FindFlags FlagsOf(const QCheckBox* matchCase, const QCheckBox* wholeWord) {
    QTextDocument::FindFlags flags;
    if (matchCase->isChecked()) flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord->isChecked()) flags |= QTextDocument::FindWholeWords;
    return flags;
}

}  // namespace

CFindReplaceDlg::CFindReplaceDlg(QPlainTextEdit* editor, bool replace, QWidget* parent)
    : QDialog(parent), m_pEditor(editor) {
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    auto* form = new QFormLayout;
    m_pFind = new QLineEdit(this);
    m_pReplace = new QLineEdit(this);
    m_pMatchCase = new QCheckBox(tr("Match &case"), this);
    m_pWholeWord = new QCheckBox(tr("Match &whole word only"), this);
    form->addRow(tr("Fi&nd what:"), m_pFind);
    if (replace)
        form->addRow(tr("Re&place with:"), m_pReplace);
    else
        m_pReplace->hide();
    form->addRow(m_pMatchCase);
    form->addRow(m_pWholeWord);
    auto* buttons = new QVBoxLayout;
    auto* next = new QPushButton(tr("&Find Next"), this);
    next->setDefault(true);
    buttons->addWidget(next);
    connect(next, &QPushButton::clicked, this, &CFindReplaceDlg::FindNext);
    if (replace) {
        auto* one = new QPushButton(tr("&Replace"), this);
        auto* all = new QPushButton(tr("Replace &All"), this);
        buttons->addWidget(one);
        buttons->addWidget(all);
        connect(one, &QPushButton::clicked, this, &CFindReplaceDlg::ReplaceOne);
        connect(all, &QPushButton::clicked, this, &CFindReplaceDlg::ReplaceAll);
    }
    auto* close = new QPushButton(tr("Cancel"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

QTextDocument::FindFlags CFindReplaceDlg::Flags() const {
    return FlagsOf(m_pMatchCase, m_pWholeWord);
}

bool CFindReplaceDlg::FindNext() {
    if (!m_pEditor || m_pFind->text().isEmpty()) return false;
    emit searched(m_pFind->text(), Flags());
    return m_pEditor->find(m_pFind->text(), Flags());
}

bool CFindReplaceDlg::ReplaceOne() {
    if (!m_pEditor || m_pEditor->isReadOnly()) return false;
    QTextCursor cursor = m_pEditor->textCursor();
    const Qt::CaseSensitivity cs = m_pMatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (cursor.hasSelection() && cursor.selectedText().compare(m_pFind->text(), cs) == 0)
        cursor.insertText(m_pReplace->text());
    return FindNext();
}

int CFindReplaceDlg::ReplaceAll() {
    if (!m_pEditor || m_pEditor->isReadOnly() || m_pFind->text().isEmpty()) return 0;
    QTextDocument* document = m_pEditor->document();
    QTextCursor edit(document);
    edit.beginEditBlock();
    int count = 0;
    QTextCursor found = document->find(m_pFind->text(), 0, Flags());
    while (!found.isNull()) {
        found.insertText(m_pReplace->text());
        ++count;
        found = document->find(m_pFind->text(), found, Flags());
    }
    edit.endEditBlock();
    return count;
}
