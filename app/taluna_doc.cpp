#include "app/taluna_doc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <new>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "check/string_table.h"
#include "model/database_builder.h"
#include "model/file_rules.h"
#include "model/taluna_context.h"
#include "views/gsd_highlighter.h"

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

}  // namespace

int CDocLineSource::GetLineCount() const { return m_pDocument->blockCount(); }

std::string CDocLineSource::GetLine(int line) const {
    const QTextBlock block = m_pDocument->findBlockByNumber(line);
    if (!block.isValid()) return {};
    return EncodeCp1252(block.text().left(MAX_LINE_LENGTH));
}

int CDocLineSource::GetLineLength(int line) const {
    const QTextBlock block = m_pDocument->findBlockByNumber(line);
    return block.isValid() ? block.length() - 1 : 0;
}

CTalunaDoc::CTalunaDoc(CTalunaContext& context, QObject* parent)
    : QObject(parent), m_Context(context), m_pText(new QTextDocument(this)), m_Lines(m_pText) {
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

bool CTalunaDoc::IsModified() const { return m_pText->isModified(); }

void CTalunaDoc::SetModified(bool modified) { m_pText->setModified(modified); }

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
        ShowMessage(tr("The file \"%1\" is too large (%2 MB) to be edited.")
                        .arg(native)
                        .arg(info.size() / (1024 * 1024)));
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
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    m_PathName = QFileInfo(path).absoluteFilePath();
    m_bReadOnlyView = readOnly;
    if (bytes.find('\0') != std::string::npos) {
        // The text ends at the first NUL byte; saving it would cut the file, so the
        // document is write-protected.
        ShowMessage(tr("The file \"%1\" holds NUL bytes and is no GSD text.\nOnly the text up to the first NUL "
                       "byte is shown, and the file is write-protected.")
                        .arg(QDir::toNativeSeparators(m_PathName)));
        m_bWriteProtected = 1;
    }
    LoadBytes(bytes, path);
    emit titleChanged();
    return true;
}

bool CTalunaDoc::OpenTemplate(const QString& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    LoadBytes(bytes, path);
    return true;
}

void CTalunaDoc::LoadBytes(const std::string& bytes, const QString& source) {
    CLoadingFlag loading(m_Context);
    SetText(std::string(CutAtNul(bytes)));
    m_Context.m_nLoadedLines = m_pText->blockCount();
    WriteBackupAndBuild(source, QFileInfo(source).fileName());
    m_pText->setModified(false);
}

void CTalunaDoc::SetText(const std::string& bytes) {
    const std::vector<std::string> lines = SplitLines(bytes);
    const std::vector<ELineEnd> ends = SplitLineEnds(bytes);
    m_Layout = DetectLayout(bytes);
    m_pText->setUndoRedoEnabled(false);
    m_pHighlighter->SetLoadProgress(m_Context.m_pProgress, static_cast<int>(std::max<size_t>(lines.size(), 1)));
    // A large text goes in by parts of a twentieth of its lines, each coloured
    // as it arrives, so that the highlighter's progress steps (and with them the
    // event loop) run all through the load; inserting 20 MB at once keeps the
    // loop waiting for about three seconds. More parts would cost more time:
    // each insertion into a long text has a cost that grows with the text.
    const size_t part = std::max<size_t>(lines.size() / LOAD_PARTS, LOAD_PART_LINES);
    QString text;
    for (size_t first = 0; first < lines.size() || first == 0; first += part) {
        const size_t last = std::min(lines.size(), first + part);
        size_t length = last - first;
        for (size_t i = first; i < last; ++i) length += lines[i].size();
        // The buffer keeps its capacity from part to part.
        text.resize(0);
        text.reserve(static_cast<qsizetype>(length));
        for (size_t i = first; i < last; ++i) {
            if (i > 0) text += QChar('\n');
            text += DecodeCp1252(lines[i]);
        }
        if (first == 0) {
            m_pText->setPlainText(text);
        } else {
            QTextCursor end(m_pText);
            end.movePosition(QTextCursor::End);
            end.insertText(text);
        }
    }
    m_pHighlighter->SetLoadProgress(nullptr, 0);
    m_pText->setUndoRedoEnabled(true);
    // Lines whose end differs from the first line end remember their own.
    QTextBlock block = m_pText->firstBlock();
    for (size_t i = 0; i < ends.size() && block.isValid(); ++i, block = block.next())
        if (ends[i] != m_Layout.m_LineEnd) block.setUserData(new CLineEndData(ends[i]));
}

void CTalunaDoc::BuildFromText(const std::string& text) {
    CVectorLineSource lines(SplitLines(text));
    m_Context.m_pCurEntry = nullptr;
    m_Database.Clear();
    BuildDatabase(m_Context, lines, m_Database);
}

void CTalunaDoc::WriteBackupAndBuild(const QString& source, const QString& title) {
    const QString backupName = QString::fromStdString(BackupFileName(EncodeCp1252(title)));
    QFile backup(QDir::current().filePath(backupName));
    // Opening "x.bak" from the current directory: its backup would be the file
    // itself, and truncating it could lose the user's text.
    if (QFileInfo(backup.fileName()).canonicalFilePath() == QFileInfo(source).canonicalFilePath()) {
        BuildFromText(TextBytes());
        return;
    }
    if (!backup.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        ShowMessage(tr("Could not create Backup File!"));
        return;
    }
    const std::string text = TextBytes();
    if (backup.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
        ShowMessage(tr("An Error occours while writing to Backup File!"));
    backup.seek(0);
    const QByteArray written = backup.readAll();
    backup.close();
    if (backup.error() != QFileDevice::NoError) {
        ShowMessage(tr("Could not close Backup File!"));
        return;
    }
    BuildFromText(std::string(written.constData(), static_cast<size_t>(written.size())));
    if (m_Context.m_Settings.m_nNoBackup != 0) QFile::remove(backup.fileName());
}

std::string CTalunaDoc::TextBytes() const {
    std::vector<std::string> lines;
    std::vector<ELineEnd> ends;
    lines.reserve(static_cast<size_t>(m_pText->blockCount()));
    ends.reserve(lines.capacity());
    for (QTextBlock block = m_pText->firstBlock(); block.isValid(); block = block.next()) {
        lines.push_back(EncodeCp1252(block.text()));
        const auto* data = static_cast<const CLineEndData*>(block.userData());
        ends.push_back(data ? data->m_End : m_Layout.m_LineEnd);
    }
    // A text without lines is held as one empty block.
    if (lines.size() == 1 && lines[0].empty() && !m_Layout.m_bFinalLineEnd) lines.clear();
    return JoinLinesWithEnds(lines, ends, m_Layout);
}

bool CTalunaDoc::SaveDocument(const QString& path) {
    CLoadingFlag saving(m_Context);
    if (m_bWriteProtected) {
        ShowMessage(DecodeCp1252(LoadString(65123)));
        return false;
    }
    const std::string bytes = TextBytes();
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) ok = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    if (ok) ok = file.commit();
    else file.cancelWriting();
    if (!ok) {
        ShowMessage(tr("Error while writing to file!"));
        return false;
    }
    m_PathName = QFileInfo(path).absoluteFilePath();
    m_pText->setModified(false);
    emit titleChanged();
    return true;
}

void CTalunaDoc::OnCloseDocument() { m_Context.ClearMessages(); }
