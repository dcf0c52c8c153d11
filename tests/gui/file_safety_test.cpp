// The user's files stay intact: failed saves, backups that must not write
// through other names, changes made on disk by other programs, and running out
// of memory while opening or checking.

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <csignal>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "gui_test_main.h"
#include "model/key_database.h"
#include "model/taluna_context.h"
#include "views/list_box_bar.h"

namespace {

const QByteArray kText = "#Profibus_DP\r\nGSD_Revision = 1\r\nVendor_Name = \"Velmar\"\r\n";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Every write beyond `bytes` fails with EFBIG while it lives, as on a full disk.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit small = m_Old;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~CFileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_Old); }

private:
    rlimit m_Old{};
};

long VmSizeBytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:")) return line.mid(7).trimmed().split(' ').first().toLong() * 1024;
    return 0;
}

// While it lives, the process may take `bytes` more of address space than it
// has when it is made.
class CAddressSpaceLimit {
public:
    explicit CAddressSpaceLimit(long bytes) {
        ::getrlimit(RLIMIT_AS, &m_Old);
        rlimit tight = m_Old;
        tight.rlim_cur = static_cast<rlim_t>(VmSizeBytes() + bytes);
        m_bSet = ::setrlimit(RLIMIT_AS, &tight) == 0;
    }
    ~CAddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &m_Old); }
    bool IsSet() const { return m_bSet; }

private:
    rlimit m_Old{};
    bool m_bSet = false;
};

}  // namespace

class FileSafetyTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_Work;
    QString m_OldCwd;
    CTalunaContext m_Context;
    QStringList m_Questions;
    bool m_bAnswer = false;

    QString Path(const QString& name) const { return m_Work.filePath(name); }

private slots:
    void initTestCase() {
        m_OldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_Work.path()));
        AppNotifier().m_Answerer = [this](const QString& question) {
            m_Questions << question;
            return m_bAnswer;
        };
    }
    void cleanupTestCase() {
        AppNotifier().m_Answerer = nullptr;
        QDir::setCurrent(m_OldCwd);
    }
    void init() {
        RecordedMessages().clear();
        m_Questions.clear();
        m_bAnswer = false;
        m_Context.m_Settings = CSettings();
    }

    // A failed save names the reason, keeps the file and the document's edits,
    // and leaves no temporary file behind; a text small enough to stay in Qt's
    // write buffer fails only when that buffer is flushed.
    void failedSaveKeepsFileAndEdits_data() {
        QTest::addColumn<int>("editBytes");
        QTest::addColumn<int>("limit");
        QTest::newRow("buffered text, disk full") << 100 << 64;
        QTest::newRow("large text, disk full") << 64 * 1024 << 4096;
        QTest::newRow("disk full at the first byte") << 10 << 0;
    }
    void failedSaveKeepsFileAndEdits() {
        QFETCH(int, editBytes);
        QFETCH(int, limit);
        const QString path = Path("full.gsd");
        QVERIFY(WriteAll(path, kText));
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(path));
        doc.Text()->Insert(0, QString(editBytes, ';') + "\n");
        bool saved = true;
        {
            CFileSizeLimit full(static_cast<rlim_t>(limit));
            saved = doc.SaveDocument(path);
        }
        QVERIFY(!saved);
        QVERIFY2(RecordedMessages().last().startsWith("Error while writing to file!\n"),
                 qPrintable(RecordedMessages().last()));
        QVERIFY(RecordedMessages().last().size() > int(sizeof "Error while writing to file!\n"));
        QCOMPARE(ReadAll(path), kText);
        QVERIFY(doc.IsModified());
        QCOMPARE(QDir(m_Work.path()).entryList({"full.gsd*"}, QDir::Files | QDir::Hidden).size(), 1);
        // With room again the same document saves.
        QVERIFY(doc.SaveDocument(path));
        QVERIFY(ReadAll(path).startsWith(";;;;;;;;;;"));
    }

    // A real full file system: a small tmpfs, where the machine lets us mount one.
    void saveOnARealFullDisk() {
        QTemporaryDir mountPoint;
        const QByteArray where = QFile::encodeName(mountPoint.path());
        if (::mount("taluna-test", where.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP(qPrintable(QString("cannot mount a tmpfs here (%1); the file-size limit cases stand in")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        const QString path = mountPoint.filePath("dev.gsd");
        QVERIFY(WriteAll(path, kText));
        // Fill the disk but for a few bytes.
        QFile filler(mountPoint.filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(path));
        doc.Text()->Insert(0, "; a comment that no longer fits\n");
        const bool saved = doc.SaveDocument(path);
        const QByteArray onDisk = ReadAll(path);
        ::umount(where.constData());
        QVERIFY(!saved);
        QVERIFY(RecordedMessages().last().startsWith("Error while writing to file!\n"));
        QCOMPARE(onDisk, kText);
        QVERIFY(doc.IsModified());
    }

    // The backup never writes through another name of a file: the file the name
    // leads to keeps its bytes, and it is not removed with backups switched off.
    void backupNeverWritesThroughOtherNames_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("noBackup");
        for (int noBackup : {0, 1}) {
            QTest::newRow(qPrintable(QString("symbolic link, NoBackup %1").arg(noBackup))) << "symlink" << noBackup;
            QTest::newRow(qPrintable(QString("hard link, NoBackup %1").arg(noBackup))) << "hardlink" << noBackup;
            QTest::newRow(qPrintable(QString("FIFO, NoBackup %1").arg(noBackup))) << "fifo" << noBackup;
        }
    }
    void backupNeverWritesThroughOtherNames() {
        QFETCH(QString, kind);
        QFETCH(int, noBackup);
        m_Context.m_Settings.m_nNoBackup = noBackup;
        QTemporaryDir other;
        const QString source = other.filePath("dev.gsd");
        const QString victim = other.filePath("precious.txt");
        const QByteArray precious = "the user's other file\n";
        QVERIFY(WriteAll(source, kText));
        QVERIFY(WriteAll(victim, precious));
        const QByteArray bak = QFile::encodeName(Path("dev.bak"));
        QFile::remove(Path("dev.bak"));
        if (kind == "symlink") QCOMPARE(::symlink(QFile::encodeName(victim).constData(), bak.constData()), 0);
        if (kind == "hardlink") QCOMPARE(::link(QFile::encodeName(victim).constData(), bak.constData()), 0);
        if (kind == "fifo") QCOMPARE(::mkfifo(bak.constData(), 0600), 0);

        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(source));
        QCOMPARE(RecordedMessages(), QStringList{"Could not create Backup File!"});
        QCOMPARE(ReadAll(victim), precious);
        struct stat info {};
        QCOMPARE(::lstat(bak.constData(), &info), 0);  // the name is left as it was
        QCOMPARE(doc.Text()->Text().left(12), QString("#Profibus_DP"));
        QFile::remove(Path("dev.bak"));
    }

    // A regular backup of our own is still written and, with NoBackup, removed.
    void ownBackupIsWrittenAndRemoved() {
        QTemporaryDir other;
        QVERIFY(WriteAll(other.filePath("own.gsd"), kText));
        QVERIFY(WriteAll(Path("own.bak"), "an old backup"));
        {
            CTalunaDoc doc(m_Context);
            QVERIFY(doc.OpenDocument(other.filePath("own.gsd")));
            QCOMPARE(ReadAll(Path("own.bak")), kText);
        }
        m_Context.m_Settings.m_nNoBackup = 1;
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(other.filePath("own.gsd")));
        QVERIFY(!QFile::exists(Path("own.bak")));
        QCOMPARE(doc.Database().GetCount(), 2);
        QVERIFY(RecordedMessages().isEmpty());
    }

    // Save asks before overwriting a file that another program changed since it
    // was read; No keeps the other program's bytes and the document's edits.
    void saveAsksBeforeOverwritingAChangedFile_data() {
        QTest::addColumn<bool>("changeOnDisk");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("expectQuestion");
        QTest::addColumn<bool>("expectSaved");
        QTest::newRow("unchanged file: no question") << false << false << false << true;
        QTest::newRow("changed, user keeps the other version") << true << false << true << false;
        QTest::newRow("changed, user overwrites") << true << true << true << true;
    }
    void saveAsksBeforeOverwritingAChangedFile() {
        QFETCH(bool, changeOnDisk);
        QFETCH(bool, answer);
        QFETCH(bool, expectQuestion);
        QFETCH(bool, expectSaved);
        const QString path = Path("shared.gsd");
        QVERIFY(WriteAll(path, kText));
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(path));
        doc.Text()->Insert(0, "; mine\n");
        // Same size and, on a coarse clock, the same time: the other program's
        // file differs in its identity (written anew under the same name).
        const QByteArray theirs = QByteArray(kText).replace("Velmar", "Other!");
        if (changeOnDisk) {
            QVERIFY(WriteAll(path + ".new", theirs));
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(path + ".new", path));
        }
        QVERIFY(doc.ChangedOnDisk() == changeOnDisk);
        m_bAnswer = answer;
        QCOMPARE(doc.SaveDocument(path), expectSaved);
        QCOMPARE(m_Questions.size(), expectQuestion ? 1 : 0);
        QCOMPARE(ReadAll(path).startsWith("; mine"), expectSaved);
        if (!expectSaved) QCOMPARE(ReadAll(path), theirs);
        QCOMPARE(doc.IsModified(), !expectSaved);
        QFile::remove(path);
    }

    // While the document is open, a change by another program is announced once
    // and reloading shows it; a removal is announced once.
    void changesOnDiskAreAnnouncedOnce() {
        const QString path = Path("watched.gsd");
        QVERIFY(WriteAll(path, kText));
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(path));
        QSignalSpy reloaded(&doc, &CTalunaDoc::reloaded);
        m_bAnswer = true;
        QVERIFY(WriteAll(path, QByteArray(kText) + "Model_Name = \"New\"\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(m_Questions.size(), 1, 5000);
        QVERIFY(m_Questions.first().contains("changed on disk"));
        QCOMPARE(reloaded.size(), 1);
        QVERIFY(doc.Text()->Text().contains("Model_Name"));
        QCOMPARE(doc.Database().GetCount(), 3);
        QVERIFY(!doc.IsModified());
        QVERIFY(!doc.ChangedOnDisk());

        // Declined: asked once, however often the state is looked at again.
        m_bAnswer = false;
        QVERIFY(WriteAll(path, kText));
        QTRY_COMPARE_WITH_TIMEOUT(m_Questions.size(), 2, 5000);
        doc.CheckDiskState();
        doc.CheckDiskState();
        QTest::qWait(200);
        QCOMPARE(m_Questions.size(), 2);
        QCOMPARE(reloaded.size(), 1);
        QVERIFY(doc.ChangedOnDisk());

        QVERIFY(QFile::remove(path));
        QTRY_COMPARE_WITH_TIMEOUT(RecordedMessages().size(), 1, 5000);
        QVERIFY(RecordedMessages().first().contains("was deleted on disk"));
        doc.CheckDiskState();
        QTest::qWait(200);
        QCOMPARE(RecordedMessages().size(), 1);
        QCOMPARE(m_Questions.size(), 2);
    }

    // Our own saves are no change by another program.
    void ownSavesAreNotAnnounced() {
        const QString path = Path("mine.gsd");
        QVERIFY(WriteAll(path, kText));
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(path));
        for (int i = 0; i < 3; ++i) {
            doc.Text()->Insert(0, "; edit\n");
            QVERIFY(doc.SaveDocument(path));
        }
        QTest::qWait(300);
        doc.CheckDiskState();
        QVERIFY(m_Questions.isEmpty());
        QVERIFY(RecordedMessages().isEmpty());
    }

    // Running out of memory while opening a file or checking it leaves the
    // program and every other document as they were.
    void outOfMemoryKeepsTheOtherDocuments() {
        const QString small = Path("small.gsd");
        const QString huge = Path("huge.gsd");
        QVERIFY(WriteAll(small, kText));
        {
            QFile file(huge);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#Profibus_DP\n");
            const QByteArray lines = QByteArray("a\n").repeated(1 << 20);
            for (int i = 0; i < 12; ++i) file.write(lines);  // 24 MB, 12 million keys
        }
        CMainFrame frame;
        CChildFrame* edited = frame.OpenDocumentFile(small);
        QVERIFY(edited != nullptr);
        edited->GetDocument()->Text()->Insert(0, "; unsaved work\n");
        const QString unsaved = edited->GetDocument()->Text()->Text();

        CChildFrame* opened = nullptr;
        {
            // Opening the file takes about ten times its size; leave four times.
            const CAddressSpaceLimit limit(96L * 1024 * 1024);
            QVERIFY(limit.IsSet());
            opened = frame.OpenDocumentFile(huge);
        }
        QVERIFY(opened == nullptr);
        QCOMPARE(RecordedMessages().last(), QString("Error while loading file!"));
        QCOMPARE(frame.Children().size(), 1);
        QCOMPARE(edited->GetDocument()->Text()->Text(), unsaved);
        QVERIFY(edited->GetDocument()->IsModified());

        // Check GSD of a text that needs more than there is.
        CTextBuffer* text = edited->GetDocument()->Text();
        text->Insert(text->Length(), QString("a\n").repeated(200000));
        const QString big = edited->GetDocument()->Text()->Text();
        {
            const CAddressSpaceLimit limit(48L * 1024 * 1024);
            QVERIFY(limit.IsSet());
            edited->CheckGsd();
        }
        QVERIFY2(RecordedMessages().last().startsWith("Not enough memory to finish Check GSD"),
                 qPrintable(RecordedMessages().last()));
        QCOMPARE(edited->GetDocument()->Text()->Text(), big);
        QVERIFY(edited->GetDocument()->Database().IsEmpty());
        // With memory again the check runs.
        edited->CheckGsd();
        QVERIFY(edited->GetDocument()->Database().GetCount() > 200000);
        edited->GetDocument()->SetModified(false);
    }

    // A 16 MB file of one-character lines (8 million lines) opens and checks
    // within 2 GB: the text costs about its bytes, not Qt's structures per line.
    void shortLinesOpenAndCheckWithinTwoGigabytes() {
        const QString path = Path("short.gsd");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray lines = QByteArray("A\n").repeated(1 << 20);
            for (int i = 0; i < 8; ++i) QCOMPARE(file.write(lines), lines.size());
        }
        CMainFrame frame;
        CChildFrame* child = nullptr;
        {
            const CAddressSpaceLimit limit(2048L * 1024 * 1024);
            QVERIFY(limit.IsSet());
            child = frame.OpenDocumentFile(path);
            if (child != nullptr) child->CheckGsd();
        }
        QVERIFY2(child != nullptr, qPrintable(RecordedMessages().join('|')));
        QCOMPARE(child->GetDocument()->Text()->LineCount(), 8 << 20);
        QVERIFY2(!RecordedMessages().join('|').contains("memory"), qPrintable(RecordedMessages().join('|')));
        QVERIFY(frame.OutputBar()->RowCount() > 0);
    }
};

TALUNA_GUI_TEST_MAIN(FileSafetyTest)
#include "file_safety_test.moc"
