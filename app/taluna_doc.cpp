#include "app/taluna_doc.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <new>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "base/string_table.h"
#include "check/check_gsd.h"
#include "check/process_key.h"
#include "model/database_builder.h"
#include "model/file_rules.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"
#include "model/write_back.h"
#include "views/gsd_highlighter.h"
#include "views/memory_headroom.h"

namespace {

// The line end of a block whose end differs from the file's first line end.
class CLineEndData : public QTextBlockUserData {
public:
    explicit CLineEndData(ELineEnd end) : m_End(end) {}
    ELineEnd m_End;
};

// Raises the loading flag for the length of a load or save.
class CLoadingFlag {
public:
    explicit CLoadingFlag(CTalunaContext& context) : m_Context(context) { m_Context.m_bLoading = 1; }
    ~CLoadingFlag() { m_Context.m_bLoading = 0; }

private:
    CTalunaContext& m_Context;
};

// A text is loaded in this many parts of at least LOAD_PART_LINES lines.
constexpr size_t LOAD_PARTS = 20;
constexpr size_t LOAD_PART_LINES = 4096;
// What Qt's text document takes for a line while it is loaded, with a margin
// of two: its block and fragment, and the layout that the highlighter fills,
// about 500 bytes together. The block and fragment tables double as they grow,
// so the whole text needs room for the next doubling.
constexpr size_t QT_BYTES_PER_LINE = 1024;
constexpr size_t QT_TABLE_BYTES_PER_LINE = 128;
constexpr size_t HEADROOM_BYTES = size_t{64} << 20;

}  // namespace

int CDocLineSource::GetLineCount() const {
    return m_pDocument->blockCount();
}

std::string CDocLineSource::GetLine(int line) const {
    const QTextBlock block = m_pDocument->findBlockByNumber(line);
    if (!block.isValid()) return {};
    return EncodeCp1252(block.text().left(MAX_LINE_LENGTH));
}

int CDocLineSource::GetLineLength(int line) const {
    const QTextBlock block = m_pDocument->findBlockByNumber(line);
    return block.isValid() ? block.length() - 1 : 0;
}

CTextSnapshot::CTextSnapshot(const QTextDocument* document) {
    // The raw text holds the blocks with a paragraph separator between them;
    // every character is one byte of the code page.
    const QString raw = document->toRawText();
    m_pBytes = std::make_shared<const std::string>(EncodeCp1252(raw));
    m_Lines.reserve(static_cast<size_t>(document->blockCount()));
    size_t start = 0;
    const QChar* chars = raw.constData();
    const auto size = static_cast<size_t>(raw.size());
    for (size_t i = 0; i < size; ++i) {
        if (chars[i] != QChar::ParagraphSeparator) continue;
        m_Lines.emplace_back(start, i - start);
        start = i + 1;
    }
    m_Lines.emplace_back(start, size - start);
}

std::string CTextSnapshot::GetLine(int line) const {
    std::string buffer;
    return std::string(GetLineView(line, buffer));
}

int CTextSnapshot::GetLineLength(int line) const {
    if (line < 0 || line >= GetLineCount()) return 0;
    return static_cast<int>(m_Lines[static_cast<size_t>(line)].second);
}

std::string_view CTextSnapshot::GetLineView(int line, std::string&) const {
    if (line < 0 || line >= GetLineCount()) return {};
    const auto [start, length] = m_Lines[static_cast<size_t>(line)];
    return std::string_view(*m_pBytes).substr(start, std::min<size_t>(length, MAX_LINE_LENGTH));
}

CDiskStamp CDiskStamp::Of(const QString& path) {
    CDiskStamp stamp;
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) return stamp;
    stamp.m_bExists = true;
    stamp.m_nDevice = static_cast<quint64>(info.st_dev);
    stamp.m_nInode = static_cast<quint64>(info.st_ino);
    stamp.m_nSize = static_cast<qint64>(info.st_size);
    stamp.m_nModifiedNs = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

CTalunaDoc::CTalunaDoc(CTalunaContext& context, QObject* parent)
    : QObject(parent),
      m_Context(context),
      m_pText(new QTextDocument(this)),
      m_Lines(m_pText),
      m_pWatcher(new QFileSystemWatcher(this)) {
    connect(m_pWatcher, &QFileSystemWatcher::fileChanged, this, &CTalunaDoc::CheckDiskState);
    connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, this, &CTalunaDoc::CheckDiskState);
    m_pText->setDocumentLayout(new QPlainTextDocumentLayout(m_pText));
    QFont font("Courier New", 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    m_pText->setDefaultFont(font);
    m_pHighlighter = new CGSDHighlighter(m_pText);
    connect(m_pText, &QTextDocument::modificationChanged, this, &CTalunaDoc::modifiedChanged);
}

CTalunaDoc::~CTalunaDoc() = default;

QString CTalunaDoc::Title() const {
    if (m_PathName.isEmpty()) return QString("GSD%1").arg(m_nUntitled);
    return QFileInfo(m_PathName).fileName();
}

bool CTalunaDoc::IsModified() const {
    return m_pText->isModified();
}

void CTalunaDoc::SetModified(bool modified) {
    m_pText->setModified(modified);
}

void CTalunaDoc::SetWriteProtected() {
    m_bWriteProtected = 1;
    emit titleChanged();
}

void CTalunaDoc::SetCaret(int line, int column) {
    if (line == m_nCaretLine && column == m_nCaretColumn) return;
    m_nCaretLine = line;
    m_nCaretColumn = column;
    emit caretChanged();
}

bool CTalunaDoc::ReadFileBytes(const QString& path, std::string& bytes) {
    const QFileInfo info(path);
    const QString native = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.exists()) {
        ShowMessage(tr("The file \"%1\" does not exist.").arg(native));
        return false;
    }
    if (info.isDir()) {
        ShowMessage(DecodeCp1252(FormatString(65125, {EncodeCp1252(native)})));
        return false;
    }
    // A FIFO or device would block the read or never end; only regular files are read.
    if (!info.isFile()) {
        ShowMessage(tr("The file \"%1\" is no regular file.\nEditing is only available for ASCII-files!").arg(native));
        return false;
    }
    if (info.size() > MAX_FILE_SIZE) {
        ShowMessage(
            tr("The file \"%1\" is too large (%2 MB) to be edited.").arg(native).arg(info.size() / (1024 * 1024)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(tr("Could not open the file \"%1\":\n%2").arg(native, file.errorString()));
        return false;
    }
    try {
        const QByteArray data = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            ShowMessage(tr("Error while loading file!"));
            return false;
        }
        bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    } catch (const std::bad_alloc&) {
        ShowMessage(tr("Error while loading file!"));
        return false;
    }
    return true;
}

bool CTalunaDoc::OpenDocument(const QString& path, bool readOnly) {
    m_bReadOnlyView = readOnly;
    if (!LoadFile(path)) return false;
    emit titleChanged();
    return true;
}

bool CTalunaDoc::LoadFile(const QString& path) {
    // The stamp is taken before the read: a change while reading shows as a change.
    const CDiskStamp stamp = CDiskStamp::Of(path);
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (bytes.find('\0') != std::string::npos) {
        // The text ends at the first NUL byte; saving it would cut the file, so the
        // document is write-protected.
        ShowMessage(tr("The file \"%1\" holds NUL bytes and is no GSD text.\nOnly the text up to the first NUL "
                       "byte is shown, and the file is write-protected.")
                        .arg(QDir::toNativeSeparators(absolute)));
        m_bWriteProtected = 1;
    }
    if (!TryLoadBytes(bytes, path)) return false;
    m_PathName = absolute;
    m_DiskStamp = stamp;
    m_Announced = CDiskStamp();
    WatchFile();
    return true;
}

void CTalunaDoc::GiveBackLoad() {
    m_Context.m_pCurEntry = nullptr;
    m_Database.Clear();
    m_pText->clear();
    m_pHighlighter->SetLoadProgress(nullptr, 0);
    if (m_Context.m_pProgress) m_Context.m_pProgress->Reset();
    m_pText->setUndoRedoEnabled(true);
}

bool CTalunaDoc::Reload() {
    if (m_PathName.isEmpty()) return false;
    emit aboutToReload();
    const std::string previous = TextBytes();
    const bool modified = IsModified();
    const bool ok = LoadFile(m_PathName);
    if (!ok && m_pText->isEmpty() && !previous.empty()) {
        // The failed load emptied the text: the text as it was comes back.
        try {
            LoadBytes(previous, m_PathName);
            SetModified(modified);
        } catch (const std::bad_alloc&) {
            m_Database.Clear();
        }
    }
    emit reloaded();
    return ok;
}

bool CTalunaDoc::ChangedOnDisk() const {
    return !m_PathName.isEmpty() && CDiskStamp::Of(m_PathName) != m_DiskStamp;
}

void CTalunaDoc::WatchFile() {
    const QStringList watched = m_pWatcher->files() + m_pWatcher->directories();
    if (!watched.isEmpty()) m_pWatcher->removePaths(watched);
    if (m_PathName.isEmpty()) return;
    // The directory too: a file replaced by rename or removed leaves the file's
    // watch behind, and a file that comes back shows only in its directory.
    m_pWatcher->addPath(QFileInfo(m_PathName).absolutePath());
    if (QFileInfo::exists(m_PathName)) m_pWatcher->addPath(m_PathName);
}

void CTalunaDoc::CheckDiskState() {
    if (m_PathName.isEmpty() || m_bAnnouncing) return;
    const CDiskStamp now = CDiskStamp::Of(m_PathName);
    if (now.m_bExists && !m_pWatcher->files().contains(m_PathName)) m_pWatcher->addPath(m_PathName);
    if (now == m_DiskStamp || now == m_Announced) return;
    m_Announced = now;
    m_bAnnouncing = true;
    const QString native = QDir::toNativeSeparators(m_PathName);
    if (!now.m_bExists) {
        ShowMessage(tr("The file \"%1\" was deleted on disk by another program.\nSave the document to write it "
                       "again.")
                        .arg(native),
                    ENotifyIcon::Information);
    } else {
        QString question =
            tr("The file \"%1\" was changed on disk by another program.\nDo you want to reload it?").arg(native);
        if (IsModified()) question += tr("\nThe changes made in the editor will be lost.");
        if (AskQuestion(question)) Reload();
    }
    m_bAnnouncing = false;
}

bool CTalunaDoc::OpenTemplate(const QString& path) {
    std::string bytes;
    return ReadFileBytes(path, bytes) && TryLoadBytes(bytes, path);
}

bool CTalunaDoc::TryLoadBytes(const std::string& bytes, const QString& source) {
    try {
        LoadBytes(bytes, source);
        return true;
    } catch (const std::bad_alloc&) {
        // What was built so far is given back; the caller keeps or drops the document.
        GiveBackLoad();
        ShowMessage(tr("Error while loading file!"));
        return false;
    }
}

void CTalunaDoc::LoadBytes(const std::string& bytes, const QString& source) {
    CLoadingFlag loading(m_Context);
    // The rules are known before the text is coloured, so that it is coloured once.
    const int setting = m_Context.m_Settings.m_nCheckProfile;
    m_pHighlighter->SetProfile(setting == 2 ? ProfileOfSetting(setting, CTextLineSource(std::string(CutAtNul(bytes))))
                                            : ProfileOfSetting(setting, CVectorLineSource()));
    const std::string_view text = CutAtNul(bytes);
    SetText(text);
    m_Context.m_nLoadedLines = m_pText->blockCount();
    // The document holds these bytes exactly (a character for each byte, every
    // line with its own end), so the backup is written from them.
    WriteBackupAndBuild(source, QFileInfo(source).fileName(), text);
    m_pText->setModified(false);
}

void CTalunaDoc::SetText(std::string_view bytes) {
    m_Layout = DetectLayout(bytes);
    size_t count = 0;
    ForEachLine(bytes, [&count](size_t, size_t) { ++count; });
    m_pText->setUndoRedoEnabled(false);
    m_pHighlighter->SetLoadProgress(m_Context.m_pProgress, static_cast<int>(std::max<size_t>(count, 1)));
    // A large text goes in by parts of a twentieth of its lines, each coloured
    // as it arrives, so that the highlighter's progress steps (and with them the
    // event loop) run all through the load; inserting 20 MB at once keeps the
    // loop waiting for about three seconds. More parts would cost more time:
    // each insertion into a long text has a cost that grows with the text.
    const size_t part = std::max<size_t>(count / LOAD_PARTS, LOAD_PART_LINES);
    // The lines are decoded straight from the bytes: a list of all lines would
    // cost more than the text itself for a file of short lines.
    QString text;  // keeps its capacity from part to part
    bool inserted = false;
    const auto insert = [&] {
        if (!inserted) {
            m_pText->setPlainText(text);
        } else {
            QTextCursor end(m_pText);
            end.movePosition(QTextCursor::End);
            end.insertText(text);
        }
        inserted = true;
        text.resize(0);
    };
    // Lines whose end differs from the first line end, by line number.
    std::vector<std::pair<int, ELineEnd>> otherEnds;
    size_t index = 0;
    // Before each part: room for its lines, and for the document's tables to
    // grow to the lines after it. Qt's containers do not all survive a failed
    // allocation, so the load stops before it would run out.
    const auto ensureRoomForPart = [&] {
        const size_t after = std::min(count, index + part);
        EnsureMemoryHeadroom(HEADROOM_BYTES + (after - index) * QT_BYTES_PER_LINE + after * QT_TABLE_BYTES_PER_LINE);
    };
    ensureRoomForPart();
    ForEachLine(bytes, [&](size_t start, size_t length) {
        if (index > 0 && index % part == 0) {
            insert();
            ensureRoomForPart();
        }
        if (index > 0) text += QChar('\n');
        text += DecodeCp1252(bytes.substr(start, length));
        const size_t after = start + length;
        if (after < bytes.size() && LineEndAt(bytes, after) != m_Layout.m_LineEnd)
            otherEnds.emplace_back(static_cast<int>(index), LineEndAt(bytes, after));
        ++index;
    });
    insert();
    m_pHighlighter->SetLoadProgress(nullptr, 0);
    m_pText->setUndoRedoEnabled(true);
    for (const auto& [line, end] : otherEnds) m_pText->findBlockByNumber(line).setUserData(new CLineEndData(end));
}

void CTalunaDoc::ApplyCheckProfile() {
    ApplyCheckProfile(m_Lines);
}

void CTalunaDoc::ApplyCheckProfile(const ILineSource& lines) {
    m_Context.m_Profile = ProfileOfSetting(m_Context.m_Settings.m_nCheckProfile, lines);
    m_pHighlighter->SetProfile(m_Context.m_Profile);
}

void CTalunaDoc::BuildFromText(std::string text) {
    const CTextLineSource lines(std::move(text));
    m_Context.m_Profile = ProfileOfSetting(m_Context.m_Settings.m_nCheckProfile, lines);
    m_Context.m_pCurEntry = nullptr;
    m_Database.Clear();
    BuildDatabase(m_Context, KeyClassifier(), lines, m_Database);
}

void CTalunaDoc::WriteBackupAndBuild(const QString& source, const QString& title, std::string_view text) {
    const QString backupName = QString::fromStdString(BackupFileName(EncodeCp1252(title)));
    const QString backupPath = QDir::current().filePath(backupName);
    // The backup is written only into a regular file of its own: never through a
    // symbolic link, into a FIFO or device, or into a file with other names
    // (hard links), whose other names would lose their text.
    const int fd =
        ::open(QFile::encodeName(backupPath).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0) ::close(fd);
        ShowMessage(tr("Could not create Backup File!"));
        return;
    }
    struct stat sourceInfo {};
    if (::stat(QFile::encodeName(source).constData(), &sourceInfo) == 0 && sourceInfo.st_dev == info.st_dev &&
        sourceInfo.st_ino == info.st_ino) {
        // Opening "x.bak" from the current directory: its backup would be the file
        // itself, and truncating it would lose the user's text.
        ::close(fd);
        BuildFromText(std::string(text));
        return;
    }
    if (!S_ISREG(info.st_mode) || info.st_nlink > 1 || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        ShowMessage(tr("Could not create Backup File!"));
        return;
    }
    QFile backup;
    if (!backup.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ShowMessage(tr("Could not create Backup File!"));
        return;
    }
    if (backup.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !backup.flush())
        ShowMessage(tr("An Error occours while writing to Backup File!"));
    backup.seek(0);
    QByteArray written = backup.readAll();
    backup.close();
    if (backup.error() != QFileDevice::NoError) {
        ShowMessage(tr("Could not close Backup File!"));
        return;
    }
    std::string bytes(written.constData(), static_cast<size_t>(written.size()));
    written = QByteArray();
    BuildFromText(std::move(bytes));
    if (m_Context.m_Settings.m_nNoBackup != 0) {
        // Only the file this load wrote is removed, not one put in its place since.
        struct stat now {};
        if (::lstat(QFile::encodeName(backupPath).constData(), &now) == 0 && S_ISREG(now.st_mode) &&
            now.st_dev == info.st_dev && now.st_ino == info.st_ino)
            QFile::remove(backupPath);
    }
}

const ILineSource& CTalunaDoc::TakeSnapshot() {
    // The old one goes first: a large text is not held three times.
    m_pSnapshot.reset();
    m_pSnapshot = std::make_unique<CTextSnapshot>(m_pText);
    return *m_pSnapshot;
}

std::string CTalunaDoc::TextBytes() const {
    std::string text;
    text.reserve(static_cast<size_t>(m_pText->characterCount()) + static_cast<size_t>(m_pText->blockCount()));
    for (QTextBlock block = m_pText->firstBlock(); block.isValid(); block = block.next()) {
        text += EncodeCp1252(block.text());
        // A text without lines is held as one empty block: it has no line end.
        if (block.next().isValid() || m_Layout.m_bFinalLineEnd) {
            const auto* data = static_cast<const CLineEndData*>(block.userData());
            text += LineEndChars(data ? data->m_End : m_Layout.m_LineEnd);
        }
    }
    return text;
}

bool CTalunaDoc::SaveDocument(const QString& path) {
    CLoadingFlag saving(m_Context);
    if (m_bWriteProtected) {
        ShowMessage(DecodeCp1252(LoadString(65123)));
        return false;
    }
    const QString target = QFileInfo(path).absoluteFilePath();
    if (target == m_PathName) {
        const CDiskStamp now = CDiskStamp::Of(target);
        if (now.m_bExists && now != m_DiskStamp &&
            !AskQuestion(tr("The file \"%1\" was changed on disk by another program since it was last read or "
                            "saved.\nDo you want to overwrite it?")
                             .arg(QDir::toNativeSeparators(target))))
            return false;
    }
    const std::string bytes = TextBytes();
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) ok = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    // Qt keeps small writes in its buffer, and commit() does not report a
    // failure to flush it: the flush is checked here, before the file is replaced.
    if (ok) ok = file.flush() && file.error() == QFileDevice::NoError;
    if (ok) ok = file.commit();
    if (!ok) {
        const QString reason = file.errorString();
        file.cancelWriting();
        ShowMessage(tr("Error while writing to file!") + (reason.isEmpty() ? QString() : "\n" + reason));
        return false;
    }
    m_PathName = target;
    m_DiskStamp = CDiskStamp::Of(m_PathName);
    m_Announced = CDiskStamp();
    WatchFile();
    m_pText->setModified(false);
    emit titleChanged();
    return true;
}

void CTalunaDoc::OnCloseDocument() {
    m_Context.ClearMessages();
}

bool CTalunaDoc::WriteBackEntry(CKeyEntry& entry) {
    std::vector<std::string> oldLines;
    for (int line = entry.m_LongLine; line <= entry.m_Line; ++line) {
        const QTextBlock block = m_pText->findBlockByNumber(line);
        oldLines.push_back(block.isValid() ? EncodeCp1252(block.text()) : std::string());
    }
    const SWriteBack result = ComposeWriteBack(oldLines, entry.m_Keyword, entry.m_Value);
    if (!result.m_bOk) {
        ShowMessage(tr("LineLength greater than expected!"));
        return false;
    }
    const QTextBlock first = m_pText->findBlockByNumber(entry.m_LongLine);
    const QTextBlock last = m_pText->findBlockByNumber(entry.m_Line);
    if (!first.isValid()) return false;
    QTextCursor cursor(first);
    const QTextBlock end = last.isValid() ? last : m_pText->lastBlock();
    cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
    QString replacement = DecodeCp1252(result.m_Text);
    replacement.replace("\r\n", "\n");
    cursor.beginEditBlock();
    cursor.insertText(replacement);
    cursor.endEditBlock();
    entry.m_Line = entry.m_LongLine + result.m_nLineFeeds;
    emit entryWrittenBack(cursor.position());
    return true;
}
