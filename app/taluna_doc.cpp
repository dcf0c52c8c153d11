#include "app/taluna_doc.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSaveFile>
#include <new>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "app/text_buffer.h"
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

// Raises the loading flag for the length of a load or save.
class CLoadingFlag {
public:
    explicit CLoadingFlag(CTalunaContext& context) : m_Context(context) { m_Context.m_bLoading = 1; }
    ~CLoadingFlag() { m_Context.m_bLoading = 0; }

private:
    CTalunaContext& m_Context;
};

// The text and the database live in standard containers, which report running
// out of memory by std::bad_alloc; the load asks for room for the text and a
// margin besides, for the Qt structures around it (tree, output window), which
// do not all survive a failed allocation.
// A line takes 5 bytes beside its characters, and has at least one.
constexpr size_t BYTES_PER_BYTE = 6;
constexpr size_t HEADROOM_BYTES = size_t{64} << 20;

}  // namespace

int CDocLineSource::GetLineCount() const {
    return m_pText->LineCount();
}

std::string CDocLineSource::GetLine(int line) const {
    std::string buffer;
    return std::string(GetLineView(line, buffer));
}

int CDocLineSource::GetLineLength(int line) const {
    return m_pText->LineLength(line);
}

std::string_view CDocLineSource::GetLineView(int line, std::string&) const {
    return m_pText->LineBytes(line).substr(0, MAX_LINE_LENGTH);
}

CTextSnapshot::CTextSnapshot(const CTextBuffer* text)
    : m_pBytes(std::make_shared<const std::string>(text->Bytes())), m_Starts(text->LineStarts()) {}

std::string CTextSnapshot::GetLine(int line) const {
    std::string buffer;
    return std::string(GetLineView(line, buffer));
}

int CTextSnapshot::GetLineLength(int line) const {
    if (line < 0 || line >= GetLineCount()) return 0;
    const auto next = static_cast<size_t>(line) + 1;
    const size_t end = next < m_Starts.size() ? m_Starts[next] - 1 : m_pBytes->size();
    return static_cast<int>(end - m_Starts[static_cast<size_t>(line)]);
}

std::string_view CTextSnapshot::GetLineView(int line, std::string&) const {
    if (line < 0 || line >= GetLineCount()) return {};
    return std::string_view(*m_pBytes).substr(
        m_Starts[static_cast<size_t>(line)],
        std::min<size_t>(static_cast<size_t>(GetLineLength(line)), MAX_LINE_LENGTH));
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
      m_pText(new CTextBuffer(this)),
      m_pHighlighter(new CGSDHighlighter(this)),
      m_Lines(m_pText),
      m_pWatcher(new QFileSystemWatcher(this)) {
    connect(m_pWatcher, &QFileSystemWatcher::fileChanged, this, &CTalunaDoc::CheckDiskState);
    connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, this, &CTalunaDoc::CheckDiskState);
    connect(m_pText, &CTextBuffer::modificationChanged, this, &CTalunaDoc::modifiedChanged);
}

CTalunaDoc::~CTalunaDoc() = default;

QString CTalunaDoc::Title() const {
    if (m_PathName.isEmpty()) return QString("GSD%1").arg(m_nUntitled);
    return QFileInfo(m_PathName).fileName();
}

bool CTalunaDoc::IsModified() const {
    return m_pText->IsModified();
}

void CTalunaDoc::SetModified(bool modified) {
    m_pText->SetModified(modified);
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
    m_pText->Clear();
    if (m_Context.m_pProgress) m_Context.m_pProgress->Reset();
}

bool CTalunaDoc::Reload() {
    if (m_PathName.isEmpty()) return false;
    emit aboutToReload();
    const std::string previous = TextBytes();
    const bool modified = IsModified();
    const bool ok = LoadFile(m_PathName);
    if (!ok && m_pText->IsEmpty() && !previous.empty()) {
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
    m_Context.m_nLoadedLines = m_pText->LineCount();
    // The document holds these bytes exactly (a character for each byte, every
    // line with its own end), so the backup is written from them.
    WriteBackupAndBuild(source, QFileInfo(source).fileName(), text);
    m_pText->SetModified(false);
}

void CTalunaDoc::SetText(std::string_view bytes) {
    m_Layout = DetectLayout(bytes);
    EnsureMemoryHeadroom(HEADROOM_BYTES + bytes.size() * BYTES_PER_BYTE);
    m_pText->SetBytes(bytes, m_Layout.m_LineEnd);
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
    const std::string_view bytes = m_pText->Bytes();
    const int count = m_pText->LineCount();
    std::string text;
    text.reserve(bytes.size() + static_cast<size_t>(count));
    for (int line = 0; line < count; ++line) {
        text += m_pText->LineBytes(line);
        // A text without lines is held as one empty line: it has no line end.
        if (line + 1 < count || m_Layout.m_bFinalLineEnd) text += LineEndChars(m_pText->LineEndOf(line));
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
    m_pText->SetModified(false);
    emit titleChanged();
    return true;
}

void CTalunaDoc::OnCloseDocument() {
    m_Context.ClearMessages();
}

bool CTalunaDoc::WriteBackEntry(CKeyEntry& entry) {
    std::vector<std::string> oldLines;
    for (int line = entry.m_LongLine; line <= entry.m_Line; ++line) oldLines.emplace_back(m_pText->LineBytes(line));
    const SWriteBack result = ComposeWriteBack(oldLines, entry.m_Keyword, entry.m_Value);
    if (!result.m_bOk) {
        ShowMessage(tr("LineLength greater than expected!"));
        return false;
    }
    if (entry.m_LongLine < 0 || entry.m_LongLine >= m_pText->LineCount()) return false;
    const int last = std::min(entry.m_Line, m_pText->LineCount() - 1);
    const int from = m_pText->LineStart(entry.m_LongLine);
    const int to = m_pText->LineStart(last) + m_pText->LineLength(last);
    QString replacement = DecodeCp1252(result.m_Text);
    replacement.replace("\r\n", "\n");
    const int before = m_pText->Length();
    m_pText->Replace(from, to, replacement);
    entry.m_Line = entry.m_LongLine + result.m_nLineFeeds;
    emit entryWrittenBack(to + m_pText->Length() - before);
    return true;
}
