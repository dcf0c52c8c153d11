#pragma once
// One GSD file open in the editor: owns its text (a CTextBuffer, with the
// highlighter that colours it), its key database and its flags; loads and saves the file and
// writes the backup copy the database is built from. Views observe it.

#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "model/key_database.h"
#include "model/seams.h"
#include "model/text_lines.h"

class QFileSystemWatcher;
class CGSDHighlighter;
class CTextBuffer;
class CKeyEntry;
class CTalunaContext;

// The lines of a document's text as the core reads them (Windows-1252 bytes, at
// most 1024 characters a line).
class CDocLineSource : public ILineSource {
public:
    explicit CDocLineSource(const CTextBuffer* text) : m_pText(text) {}
    int GetLineCount() const override;
    std::string GetLine(int line) const override;
    int GetLineLength(int line) const override;
    std::string_view GetLineView(int line, std::string& buffer) const override;

private:
    const CTextBuffer* m_pText;
};

// The lines of a document's text as they were at one moment: for Check GSD and
// Rebuild, whose database views the text while the user goes on editing.
class CTextSnapshot : public ILineSource {
public:
    explicit CTextSnapshot(const CTextBuffer* text);
    int GetLineCount() const override { return static_cast<int>(m_Starts.size()); }
    std::string GetLine(int line) const override;
    int GetLineLength(int line) const override;
    std::string_view GetLineView(int line, std::string& buffer) const override;
    std::shared_ptr<const std::string> SharedText() const override { return m_pBytes; }

private:
    // Shared with the database built from the snapshot, whose entries view it.
    std::shared_ptr<const std::string> m_pBytes;  // the lines joined by '\n'
    std::vector<uint32_t> m_Starts;               // where every line starts
};

// What a file on disk was when the document last read or wrote it: enough to
// notice that another program changed, replaced or removed it.
struct CDiskStamp {
    bool m_bExists = false;
    quint64 m_nDevice = 0;
    quint64 m_nInode = 0;
    qint64 m_nSize = 0;
    qint64 m_nModifiedNs = 0;
    bool operator==(const CDiskStamp&) const = default;

    static CDiskStamp Of(const QString& path);
};

class CTalunaDoc : public QObject {
    Q_OBJECT
public:
    // Files larger than this are refused with a message.
    static constexpr qint64 MAX_FILE_SIZE = 64LL * 1024 * 1024;

    explicit CTalunaDoc(CTalunaContext& context, QObject* parent = nullptr);
    ~CTalunaDoc() override;

    CTextBuffer* Text() const { return m_pText; }
    CGSDHighlighter* Highlighter() const { return m_pHighlighter; }
    CKeyDatabase& Database() { return m_Database; }
    const ILineSource& Lines() const { return m_Lines; }
    // The text as it is now, for Check GSD and Rebuild (see CTextSnapshot). It
    // lives until the next one is taken, so that the database and the checks
    // may refer to it.
    const ILineSource& TakeSnapshot();
    CTalunaContext& Context() { return m_Context; }

    // Reads `path` into the document (the load path: backup file,
    // database). `readOnly` makes the text view read-only. False when the file
    // could not be read at all; the message has been shown.
    bool OpenDocument(const QString& path, bool readOnly = false);
    // Reads a template into this untitled document.
    bool OpenTemplate(const QString& path);
    // Writes the text to the document's file (Save) or to `path` (Save As).
    // When the file was changed on disk since it was read or written, asks
    // before overwriting it.
    bool SaveDocument(const QString& path);
    // Reads the document's file again, replacing the text (the load path).
    bool Reload();
    // Sets the context's check profile for this document's text, as the setting
    // asks (classic, revision 5, or by the file's GSD_Revision).
    void ApplyCheckProfile();
    // The same, reading the file's GSD_Revision from `lines` (a snapshot).
    void ApplyCheckProfile(const ILineSource& lines);
    // Whether the file on disk differs from what the document last read or wrote.
    bool ChangedOnDisk() const;
    // Announces, once per change, a file changed or removed by another program
    // and offers to reload a changed one. Called when the file or its directory
    // changes and when the document's window is activated.
    void CheckDiskState();
    // Clears the output window; the frame then closes the document's window.
    void OnCloseDocument();

    // The file's full path; empty while untitled.
    QString PathName() const { return m_PathName; }
    // The file name, or "GSD<n>" while untitled.
    QString Title() const;
    void SetUntitledNumber(int number) { m_nUntitled = number; }
    bool IsModified() const;
    void SetModified(bool modified);
    bool IsReadOnlyView() const { return m_bReadOnlyView; }
    // Whether the document cannot be saved (write-protected) or its text not
    // be changed (read-only view); its window says so.
    bool IsReadOnly() const { return m_bWriteProtected != 0 || m_bReadOnlyView; }
    // Sets `m_bWriteProtected` and tells the views (the title changes).
    void SetWriteProtected();

    void SetCaret(int line, int column);
    int CaretLine() const { return m_nCaretLine; }
    int CaretColumn() const { return m_nCaretColumn; }

    // The bytes the document would write now.
    std::string TextBytes() const;

    // The key form's Apply: replaces the entry's lines by its keyword and
    // value as one undo step and updates its last line; the views see it as
    // any edit of the text (entryWrittenBack tells where it ends). False when
    // an old line is too long (message shown); the text is then unchanged.
    bool WriteBackEntry(CKeyEntry& entry);

    int m_bWriteProtected = 0;
    int m_bTreeRefresh = 0;

signals:
    // Around a reload: the database is rebuilt and the text replaced.
    void aboutToReload();
    void reloaded();
    void caretChanged();
    void titleChanged();
    void modifiedChanged(bool modified);
    // An entry was written back; `position` is the end of its new text.
    void entryWrittenBack(int position);

private:
    bool ReadFileBytes(const QString& path, std::string& bytes);
    bool LoadFile(const QString& path);
    void LoadBytes(const std::string& bytes, const QString& source);
    // LoadBytes; running out of memory gives back what it built and says so.
    bool TryLoadBytes(const std::string& bytes, const QString& source);
    void WatchFile();
    // After a load ran out of memory: what it built is given back.
    void GiveBackLoad();
    void SetText(std::string_view bytes);
    void WriteBackupAndBuild(const QString& source, const QString& title, std::string_view text);
    void BuildFromText(std::string text);

    CTalunaContext& m_Context;
    CTextBuffer* m_pText;
    CGSDHighlighter* m_pHighlighter;
    CKeyDatabase m_Database;
    CDocLineSource m_Lines;
    std::unique_ptr<CTextSnapshot> m_pSnapshot;
    CTextLayout m_Layout;
    QString m_PathName;
    CDiskStamp m_DiskStamp;  // the file as last read or written
    CDiskStamp m_Announced;  // the last change announced to the user
    bool m_bAnnouncing = false;
    QFileSystemWatcher* m_pWatcher;
    int m_nUntitled = 1;
    bool m_bReadOnlyView = false;
    int m_nCaretLine = 0;
    int m_nCaretColumn = 0;
};
