#pragma once
// What the tree of keys and the key editor form need from the document window
// that embeds them: the document's text, database and flags, the shared
// context, and the requests they make of the text view and of the document.
// The document window implements it once and hands it to both views.

#include "model/key_database.h"
#include "model/seams.h"
#include "model/taluna_context.h"

class QWidget;

class IGsdViewHost {
public:
    virtual ~IGsdViewHost() = default;

    virtual CTalunaContext& Context() = 0;
    virtual CKeyDatabase& Database() = 0;
    // The editor's lines as it holds them now (at most 1024 characters a line).
    virtual const ILineSource& Lines() const = 0;
    // The document's identity for output rows and the document under check.
    virtual const void* Document() const = 0;

    // The document's write-protected flag (`m_bWriteProtected`).
    virtual bool IsWriteProtected() const = 0;
    // The document's `m_bTreeRefresh`: set by Rebuild, cleared by the tree when
    // its refill ends.
    virtual bool IsTreeRefresh() const = 0;
    virtual void SetTreeRefresh(bool refresh) = 0;

    // Text view: make line `line` (0-based) the first visible line and select it.
    virtual void SelectLine(int line) = 0;
    // The document: replace the entry's lines by its keyword and value text as
    // one undo step and update its `m_Line`. False when the document refused
    // (a line longer than 1024 characters); the text is then unchanged.
    virtual bool WriteBackEntry(CKeyEntry& entry) = 0;

    // Tell every view of the document except `sender` to update: the tree
    // refills (`CGSDTreeView::OnUpdate`), the form renders (`CInputView::OnUpdate`).
    virtual void UpdateAllViews(QWidget* sender) = 0;
    // The stale-database state: disables the key editor form (`false`);
    // Rebuild enables it and the tree again.
    virtual void SetKeyFormEnabled(bool enabled) = 0;
    // The document's Check Syntax of the current entry: rebuild, check the key
    // (RunCheckSyntax), refill the views.
    virtual void CheckSyntax() = 0;
    // The text no longer holds the key where the database has it: the tree
    // and the form stop acting on the database and the user is told, until
    // Rebuild.
    virtual void ReportStaleDatabase() = 0;
    // An entry's lines were written back: the views that show the entry
    // (the tree's item text) follow.
    virtual void EntryChanged(const CKeyEntry& entry) = 0;
};
