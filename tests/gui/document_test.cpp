// Documents: byte-exact load and save, the backup file, bad input, the failed
// save, highlighting and the write-back of key entries.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextLayout>
#include <csignal>

#include "app/cp1252.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "gui_test_main.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"
#include "views/gsd_highlighter.h"
#include "views/gsd_text_view.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The class of the highlighter's format at `column` of line `line`.
QString ClassAt(const CTalunaDoc& doc, int line, int column) {
    for (const QTextLayout::FormatRange& range : doc.Highlighter()->Formats(doc.Text()->LineBytes(line))) {
        if (column < range.start || column >= range.start + range.length) continue;
        const QColor colour = range.format.foreground().color();
        for (ETokenClass c : {ETokenClass::Comment, ETokenClass::String, ETokenClass::Keyword, ETokenClass::TypeWord}) {
            const QTextCharFormat style = CGSDHighlighter::StyleOf(c);
            if (style.foreground().color() == colour && style.fontWeight() == range.format.fontWeight()) {
                switch (c) {
                    case ETokenClass::Comment: return "comment";
                    case ETokenClass::String: return "string";
                    case ETokenClass::Keyword: return "keyword";
                    default: return "type";
                }
            }
        }
    }
    return "plain";
}

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_Work;
    QString m_OldCwd;
    CTalunaContext m_Context;

    QString Path(const QString& name) const { return m_Work.filePath(name); }

private slots:
    void initTestCase() {
        m_OldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_Work.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_OldCwd); }
    void init() {
        RecordedMessages().clear();
        m_Context.m_Settings = CSettings();
    }

    void cp1252RoundTripsEveryByte() {
        std::string all;
        for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
        QCOMPARE(EncodeCp1252(DecodeCp1252(all)), all);
        QCOMPARE(DecodeCp1252("\x80\xA7"), QString::fromUtf8("\u20AC\u00A7"));
    }

    void corpusRoundTripIsByteIdentical() {
        QDir corpus(TALUNA_CORPUS_DIR);
        const QStringList files = corpus.entryList(QDir::Files);
        QVERIFY(files.size() > 100);
        int checked = 0;
        for (const QString& name : files) {
            if (name == "README.md") continue;
            const QString source = corpus.filePath(name);
            const QByteArray original = ReadAll(source);
            CTalunaDoc doc(m_Context);
            QVERIFY2(doc.OpenDocument(source), qPrintable(name));
            QVERIFY2(!doc.IsModified(), qPrintable(name));
            const QString copy = Path("copy.gsd");
            QVERIFY2(doc.SaveDocument(copy), qPrintable(name));
            QVERIFY2(ReadAll(copy) == original, qPrintable(name));
            QVERIFY2(doc.Database().GetCount() > 0 || original.size() < 20, qPrintable(name));
            ++checked;
        }
        QVERIFY(checked > 100);
        QVERIFY(RecordedMessages().isEmpty());
    }

    // The document's text and the backup written at the load are the file's
    // bytes, whatever its line ends and characters.
    void documentAndBackupHoldTheFileBytes_data() {
        QTest::addColumn<QByteArray>("text");
        QByteArray everyByte = "#Profibus_DP\r\n";
        for (int b = 1; b < 256; ++b)
            if (b != '\r' && b != '\n') everyByte += static_cast<char>(b);
        QTest::newRow("mixed ends, no final end")
            << QByteArray("#Profibus_DP\r\nGSD_Revision = 1\rVendor_Name = \"\xA7x\"\nModel_Name = \"m\"");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one line end") << QByteArray("\r\n");
        QTest::newRow("lone CR at the end") << QByteArray("#Profibus_DP\nA=1\r");
        QTest::newRow("CR before CR LF, LF before CR") << QByteArray("A\r\r\nB\n\rC\n\n");
        QTest::newRow("every byte but NUL and the line ends") << everyByte;
    }
    void documentAndBackupHoldTheFileBytes() {
        QFETCH(QByteArray, text);
        WriteAll(Path("bytes.gsd"), text);
        QFile::remove(Path("bytes.bak"));
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(Path("bytes.gsd")));
        QCOMPARE(QByteArray::fromStdString(doc.TextBytes()), text);
        QCOMPARE(ReadAll(Path("bytes.bak")), text);
    }

    void editedLinesTakeTheFileStyle() {
        WriteAll(Path("lf.gsd"), "#Profibus_DP\nGSD_Revision = 1\n");
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(Path("lf.gsd")));
        doc.Text()->Insert(doc.Text()->Length(), "\nRevision = \"1\"");
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.TextBytes(), std::string("#Profibus_DP\nGSD_Revision = 1\nRevision = \"1\"\n"));
    }

    void backupFileIsWrittenIntoTheCurrentDirectory() {
        QTemporaryDir other;
        const QString source = other.filePath("a.b.gsd");
        WriteAll(source, "#Profibus_DP\nGSD_Revision = 1\n");
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(source));
        QVERIFY(QFile::exists(Path("a.bak")));
        QCOMPARE(ReadAll(Path("a.bak")), ReadAll(source));
        QCOMPARE(doc.Database().GetCount(), 1);
        QFile::remove(Path("a.bak"));
    }

    void noBackupRemovesTheBackupAgain() {
        m_Context.m_Settings.m_nNoBackup = 1;
        QTemporaryDir other;
        WriteAll(other.filePath("dev.gsd"), "#Profibus_DP\nGSD_Revision = 1\n");
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(other.filePath("dev.gsd")));
        QVERIFY(!QFile::exists(Path("dev.bak")));
        QCOMPARE(doc.Database().GetCount(), 1);
    }

    void backupOfABakFileInTheCurrentDirectoryKeepsTheFile() {
        const QByteArray text = "#Profibus_DP\nGSD_Revision = 1\n";
        WriteAll(Path("self.bak"), text);
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(Path("self.bak")));
        QCOMPARE(ReadAll(Path("self.bak")), text);
        QCOMPARE(doc.Database().GetCount(), 1);
    }

    void failedSaveLeavesTheFileIntactAndTheDocumentModified() {
        if (::geteuid() == 0) QSKIP("permissions do not bind root");
        QTemporaryDir locked;
        const QString path = locked.filePath("locked.gsd");
        const QByteArray text = "#Profibus_DP\nGSD_Revision = 1\n";
        WriteAll(path, text);
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(path));
        doc.Text()->Insert(0, "; edit\n");
        ::chmod(QFile::encodeName(locked.path()).constData(), 0500);
        ::chmod(QFile::encodeName(path).constData(), 0400);
        QVERIFY(!doc.SaveDocument(path));
        ::chmod(QFile::encodeName(locked.path()).constData(), 0700);
        QVERIFY(RecordedMessages().last().startsWith("Error while writing to file!\n"));
        QCOMPARE(ReadAll(path), text);
        QVERIFY(doc.IsModified());
    }

    void saveFailingForADiskFullLeavesTheFileIntact() {
        // A file-size limit makes every write beyond it fail, as a full disk does.
        const QString path = Path("full.gsd");
        const QByteArray text = "#Profibus_DP\nGSD_Revision = 1\n";
        WriteAll(path, text);
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(path));
        doc.Text()->Insert(0, QString(64 * 1024, ';') + "\n");
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
        const bool saved = doc.SaveDocument(path);
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!saved);
        QVERIFY(RecordedMessages().last().startsWith("Error while writing to file!\n"));
        QCOMPARE(ReadAll(path), text);
        QVERIFY(doc.IsModified());
        QCOMPARE(QDir(m_Work.path()).entryList({"full.gsd*"}, QDir::Files | QDir::Hidden).size(), 1);
    }

    void failedSaveIntoAMissingDirectory() {
        CTalunaDoc doc(m_Context);
        doc.Text()->Insert(0, "#Profibus_DP\n");
        QVERIFY(!doc.SaveDocument(Path("no/such/dir/x.gsd")));
        QVERIFY(RecordedMessages().last().startsWith("Error while writing to file!\n"));
        QVERIFY(doc.IsModified());
    }

    void writeProtectedDocumentIsNotSaved() {
        const QByteArray text = "#Profibus_DP\n";
        WriteAll(Path("wp.gsd"), text);
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(Path("wp.gsd"), true));
        doc.m_bWriteProtected = 1;
        doc.Text()->Insert(0, "x");
        QVERIFY(!doc.SaveDocument(Path("wp.gsd")));
        QCOMPARE(RecordedMessages().last(), QString("Error: The current file is write-protected!"));
        QCOMPARE(ReadAll(Path("wp.gsd")), text);
    }

    void badInputIsRefusedWithAMessage() {
        CTalunaDoc dir(m_Context);
        QVERIFY(!dir.OpenDocument(m_Work.path()));
        QVERIFY(RecordedMessages().last().contains("is marked as a directory"));

        const QString fifo = Path("pipe.gsd");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        CTalunaDoc pipe(m_Context);
        QVERIFY(!pipe.OpenDocument(fifo));
        QVERIFY(RecordedMessages().last().contains("no regular file"));

        CTalunaDoc missing(m_Context);
        QVERIFY(!missing.OpenDocument(Path("missing.gsd")));
        QVERIFY(RecordedMessages().last().contains("does not exist"));

        if (::geteuid() != 0) {
            WriteAll(Path("secret.gsd"), "#Profibus_DP\n");
            ::chmod(QFile::encodeName(Path("secret.gsd")).constData(), 0);
            CTalunaDoc secret(m_Context);
            QVERIFY(!secret.OpenDocument(Path("secret.gsd")));
            QVERIFY(RecordedMessages().last().contains("Could not open"));
        }
    }

    void nulBytesCutTheTextAndProtectTheFile() {
        QByteArray bytes("#Profibus_DP\nGSD_Revision = 1\n");
        bytes += QByteArray("\0\x01\xFFgarbage", 11);
        WriteAll(Path("nul.gsd"), bytes);
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(Path("nul.gsd")));
        QVERIFY(RecordedMessages().last().contains("NUL"));
        QCOMPARE(doc.Text()->LineCount(), 2);
        QCOMPARE(doc.m_bWriteProtected, 1);
        QVERIFY(!doc.SaveDocument(Path("nul.gsd")));
        QCOMPARE(ReadAll(Path("nul.gsd")), bytes);
    }

    void binaryGarbageAndALargeFileLoad() {
        QByteArray garbage;
        for (int i = 0; i < 100000; ++i) garbage += static_cast<char>(1 + (i * 7919) % 255);
        WriteAll(Path("garbage.gsd"), garbage);
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(Path("garbage.gsd")));
        QCOMPARE(QByteArray::fromStdString(doc.TextBytes()), garbage);

        QByteArray big = "#Profibus_DP\r\n";
        while (big.size() < 10 * 1024 * 1024) big += "Vendor_Name = \"Velmar\" ; a vendor\r\n";
        WriteAll(Path("big.gsd"), big);
        CTalunaDoc large(m_Context);
        QVERIFY(large.OpenDocument(Path("big.gsd")));
        QVERIFY(large.Database().GetCount() > 200000);
        QVERIFY(QByteArray::fromStdString(large.TextBytes()) == big);
    }

    void highlightingClassesOfTypicalLines() {
        CTalunaDoc doc(m_Context);
        doc.Text()->Insert(0,
                           "#Profibus_DP\n"
                           "Vendor_Name = \"a;b\" ; vendor\n"
                           "ExtUserPrmData = 1 \"x\"\n"
                           "unsigned8 0 0-1 ; \"quoted\"\n"
                           "Module_Offset = 0x1F\n"
                           "modul_offset = 2\n");
        QCOMPARE(ClassAt(doc, 0, 0), QString("type"));
        QCOMPARE(ClassAt(doc, 1, 0), QString("keyword"));
        QCOMPARE(ClassAt(doc, 1, 12), QString("plain"));
        QCOMPARE(ClassAt(doc, 1, 16), QString("string"));
        QCOMPARE(ClassAt(doc, 1, 22), QString("comment"));
        QCOMPARE(ClassAt(doc, 2, 0), QString("keyword"));
        QCOMPARE(ClassAt(doc, 3, 0), QString("type"));
        QCOMPARE(ClassAt(doc, 3, 20), QString("comment"));
        QCOMPARE(ClassAt(doc, 4, 0), QString("plain"));
        QCOMPARE(ClassAt(doc, 4, 17), QString("plain"));
        QCOMPARE(ClassAt(doc, 5, 0), QString("keyword"));
        QVERIFY(CGSDHighlighter::StyleOf(ETokenClass::Keyword).fontWeight() == QFont::Bold);
        QCOMPARE(CGSDHighlighter::StyleOf(ETokenClass::Comment).foreground().color(), QColor(9, 115, 57));
    }

    // Lines are coloured when a pane paints them: loading and editing a
    // document colour nothing, and a pane colours the few lines it shows.
    void typingRecoloursOnlyTheShownLines() {
        QByteArray big = "#Profibus_DP\n";
        for (int i = 0; i < 5000; ++i) big += "Vendor_Name = \"Velmar\" ; a vendor\n";
        WriteAll(Path("typing.gsd"), big);
        CTalunaDoc doc(m_Context);
        QVERIFY(doc.OpenDocument(Path("typing.gsd")));
        QCOMPARE(doc.Highlighter()->LinesColoured(), 0LL);
        CTextBuffer* text = doc.Text();
        text->Insert(text->LineStart(2500), "; ");
        QCOMPARE(doc.Highlighter()->LinesColoured(), 0LL);

        CGSDTextView view(&doc);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(doc.Highlighter()->LinesColoured() > 0);
        const int shown = view.viewport()->height() / view.LineRect(0).height() + 2;
        // The first paints colour the lines shown, a few times at most.
        QVERIFY2(doc.Highlighter()->LinesColoured() <= 4 * shown,
                 qPrintable(QString::number(doc.Highlighter()->LinesColoured())));
        // Typing colours the line typed into at most, the paint after it the
        // lines shown.
        view.SetCaretPosition(text->LineStart(2500));
        QCoreApplication::processEvents();
        const long long before = doc.Highlighter()->LinesColoured();
        view.InsertText("; ");
        view.viewport()->repaint();
        const long long coloured = doc.Highlighter()->LinesColoured() - before;
        QVERIFY(coloured >= shown - 2);
        QVERIFY2(coloured <= shown + 1, qPrintable(QString("%1 of %2").arg(coloured).arg(shown)));
        QCOMPARE(text->LineText(2500).left(4), QString("; ; "));
        QCOMPARE(ClassAt(doc, 2500, 0), QString("comment"));
    }

    // The key form's write-back is an edit of the document: one undo step,
    // with or without a text pane, which follows it with its caret; a line
    // too long to write leaves the text as it was.
    void writeBackIsOneUndoStepOfTheDocument_data() {
        QTest::addColumn<bool>("withView");
        QTest::newRow("document alone") << false;
        QTest::newRow("document with its text pane") << true;
    }
    void writeBackIsOneUndoStepOfTheDocument() {
        QFETCH(bool, withView);
        CTalunaDoc doc(m_Context);
        std::unique_ptr<CGSDTextView> view(withView ? new CGSDTextView(&doc) : nullptr);
        std::string line = "Ident_Number = 0x1";
        line.resize(40, ' ');
        line += "; ident";
        doc.Text()->Insert(0, DecodeCp1252("#Profibus_DP\n" + line + "\nRevision = \"1\"\n"));
        QSignalSpy written(&doc, &CTalunaDoc::entryWrittenBack);
        CKeyEntry entry("Ident_Number", "0x1", 1);
        entry.m_LongLine = 1;
        entry.SetValue(" = 0x4711,\r\n0x12");
        QVERIFY(doc.WriteBackEntry(entry));
        QCOMPARE(entry.m_Line, 2);
        CTextBuffer* text = doc.Text();
        QCOMPARE(text->LineText(1).indexOf(';'), 40);
        QCOMPARE(text->LineText(1).left(23), QString("Ident_Number = 0x4711,\\"));
        QCOMPARE(text->LineText(2), QString("0x12"));
        QCOMPARE(text->LineText(3), QString("Revision = \"1\""));
        QCOMPARE(written.size(), 1);
        const int end = text->LineStart(2) + 4;
        QCOMPARE(written.front().front().toInt(), end);
        if (view) QCOMPARE(view->CaretPosition(), end);
        text->Undo();
        QCOMPARE(text->LineText(1), DecodeCp1252(line));
        QCOMPARE(text->LineText(2), QString("Revision = \"1\""));

        const QString longLine = "Revision = \"" + QString(1100, 'x') + "\"";
        text->Insert(text->LineStart(2), longLine + "\n");
        CKeyEntry revision("Revision", "x", 2);
        revision.SetValue(" = \"y\"");
        QVERIFY(!doc.WriteBackEntry(revision));
        QCOMPARE(RecordedMessages().last(), QString("LineLength greater than expected!"));
        QCOMPARE(text->LineText(2), longLine);
        QCOMPARE(written.size(), 1);
    }

    // Check GSD and Rebuild read the text once, as a snapshot: it holds every
    // line as the editor's line source gives it, long lines cut for reading
    // but with their whole length, and stays as it was when the text changes.
    void snapshotReadsTheLinesAsTheEditorHoldsThem_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("final line end") << QString("#Profibus_DP\nVendor_Name = \"V\"\n");
        QTest::newRow("blank lines") << QString("\n\n;\n\n");
        QTest::newRow("code page characters") << QString("Info_Text = \"\u20ac \u00e4 \u03a9\"");
        QTest::newRow("line of 3000 characters") << "A\n" + QString(3000, 'x') + "\nB";
        QTest::newRow("line separator inside a line") << QString("a\u2028b\nc");
    }
    void snapshotReadsTheLinesAsTheEditorHoldsThem() {
        QFETCH(QString, text);
        CTalunaDoc doc(m_Context);
        doc.Text()->Insert(0, text);
        const ILineSource& snapshot = doc.TakeSnapshot();
        const ILineSource& live = doc.Lines();
        QCOMPARE(snapshot.GetLineCount(), live.GetLineCount());
        std::vector<std::string> before;
        for (int i = 0; i < live.GetLineCount(); ++i) {
            QCOMPARE(snapshot.GetLine(i), live.GetLine(i));
            QCOMPARE(snapshot.GetLineLength(i), live.GetLineLength(i));
            std::string buffer;
            QCOMPARE(std::string(snapshot.GetLineView(i, buffer)), live.GetLine(i));
            before.push_back(live.GetLine(i));
        }
        QCOMPARE(snapshot.GetLine(live.GetLineCount()), std::string());
        QCOMPARE(snapshot.GetLineLength(-1), 0);
        doc.Text()->Insert(0, "changed\n");
        QCOMPARE(snapshot.GetLineCount(), static_cast<int>(before.size()));
        for (int i = 0; i < snapshot.GetLineCount(); ++i) QCOMPARE(snapshot.GetLine(i), before[static_cast<size_t>(i)]);
    }

    void selectLineAndCaretReport() {
        CTalunaDoc doc(m_Context);
        CGSDTextView view(&doc);
        doc.Text()->Insert(0, "a\nbb\nccc\n");
        view.SelectLine(1);
        QCOMPARE(view.SelectedText(), QString("bb"));
        QCOMPARE(doc.CaretLine(), 1);
        QCOMPARE(doc.CaretColumn(), 2);
        view.SelectLine(99);
        QCOMPARE(view.SelectedText(), QString("bb"));
        // No word wrap: a line wider than the pane stays one line and scrolls.
        view.resize(200, 150);
        doc.Text()->Insert(doc.Text()->Length(), QString(500, 'w') + "\nd");
        QCOMPARE(view.LineRect(4).top() - view.LineRect(3).top(), view.LineRect(2).top() - view.LineRect(1).top());
        QVERIFY(view.horizontalScrollBar()->maximum() > 0);
        QVERIFY(view.font().fixedPitch() || QFontInfo(view.font()).fixedPitch());
    }
};

TALUNA_GUI_TEST_MAIN(DocumentTest)
#include "document_test.moc"
