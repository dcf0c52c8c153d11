#include "views/find_replace_dlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>

#include "app/cp1252.h"
#include "app/text_buffer.h"
#include "views/gsd_text_view.h"

namespace {

QTextDocument::FindFlags FlagsOf(const QCheckBox* matchCase, const QCheckBox* wholeWord) {
    QTextDocument::FindFlags flags;
    if (matchCase->isChecked()) flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord->isChecked()) flags |= QTextDocument::FindWholeWords;
    return flags;
}

}  // namespace

CFindReplaceDlg::CFindReplaceDlg(CGSDTextView* editor, bool replace, QWidget* parent)
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
    // Goes on from the other end of the text, as Find Next (F3) does.
    return m_pEditor->FindAgain(m_pFind->text(), Flags());
}

bool CFindReplaceDlg::ReplaceOne() {
    if (!m_pEditor || m_pEditor->IsReadOnly()) return false;
    const Qt::CaseSensitivity cs = m_pMatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (m_pEditor->HasSelection() && m_pEditor->SelectedText().compare(m_pFind->text(), cs) == 0)
        m_pEditor->InsertText(m_pReplace->text());
    return FindNext();
}

int CFindReplaceDlg::ReplaceAll() {
    if (!m_pEditor || m_pEditor->IsReadOnly() || m_pFind->text().isEmpty()) return 0;
    CTextBuffer* text = m_pEditor->Text();
    const QString find = m_pFind->text();
    const QString replace = m_pReplace->text();
    const int findLength = static_cast<int>(EncodeCp1252(find).size());
    text->BeginGroup();
    int count = 0;
    int at = text->Find(find, 0, Flags());
    while (at >= 0) {
        const int before = text->Length();
        text->Replace(at, at + findLength, replace);
        ++count;
        at = text->Find(find, at + findLength + text->Length() - before, Flags());
    }
    text->EndGroup();
    return count;
}
