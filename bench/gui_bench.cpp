// Qt benchmarks of the editor: opening a 2 MB GSD file (load, backup file,
// database; the text pane colours only the lines it shows), typing a character
// into it, and Check GSD of a 2 MB file in the main window (rebuild, both
// passes, output rows, tree refill); the same for a 20 MB file, and the paints
// of the tree and the text while a check runs. With TALUNA_SCREENSHOT set,
// also saves a picture of the main window with a file open.
//
// To compare two builds, run each benchmark alone with -iterations 1 and
// alternate the builds between runs (see bench/compare_gui_bench.sh).

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/qt_seams.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "gsd_generator.h"
#include "model/taluna_context.h"
#include "views/gsd_highlighter.h"
#include "views/gsd_text_view.h"
#include "views/gsd_tree_view.h"
#include "views/list_box_bar.h"

class GuiBench : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_Work;
    QString m_Path;
    QString m_Generated;  // a modular slave with PrmText, ExtUserPrmData, modules and diagnosis
    QString m_Large;      // the same, 20 MB

    // Counts the paints of the widgets it is installed on, and those while a
    // progress window is open.
    class CPaintCounter : public QObject {
    public:
        int m_nPaints = 0;
        int m_nDuringProgress = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() != QEvent::Paint) return false;
            ++m_nPaints;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible() && window->inherits("CProgressWnd")) {
                    ++m_nDuringProgress;
                    break;
                }
            return false;
        }
    };

    void OpenInTheMainWindow(const QString& path) {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CChildFrame* child = nullptr;
        QBENCHMARK_ONCE {
            child = frame.OpenDocumentFile(path);
            QVERIFY(child);
            QCoreApplication::processEvents();
        }
        child->GetDocument()->SetModified(false);
        frame.MdiArea()->closeAllSubWindows();
    }

private slots:
    void initTestCase() {
        QDir::setCurrent(m_Work.path());
        QByteArray text = "#Profibus_DP\r\nGSD_Revision = 2\r\n";
        for (int i = 0; text.size() < 2 * 1024 * 1024; ++i) {
            text += "Module = \"Module " + QByteArray::number(i) + "\" 0x11,0x21 ; one module\r\n";
            text += "Ext_Module_Prm_Data_Len = 2\r\nExt_User_Prm_Data_Const(0) = 0x00,0x01\r\nEndModule\r\n";
        }
        m_Path = m_Work.filePath("big.gsd");
        QFile file(m_Path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        const std::string generated = GenerateGsd(2 * 1024 * 1024);
        m_Generated = m_Work.filePath("generated.gsd");
        QFile out(m_Generated);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(generated.data(), static_cast<qint64>(generated.size()));
        const std::string large = GenerateGsd(20 * 1024 * 1024);
        m_Large = m_Work.filePath("large.gsd");
        QFile big(m_Large);
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(large.data(), static_cast<qint64>(large.size()));
    }

    void openTwoMegabytes() {
        CTalunaContext context;
        QBENCHMARK {
            CTalunaDoc doc(context);
            QVERIFY(doc.OpenDocument(m_Path));
        }
    }

    void typeOneCharacter() {
        CTalunaContext context;
        CTalunaDoc doc(context);
        QVERIFY(doc.OpenDocument(m_Path));
        CGSDTextView view(&doc);
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.SetCaretPosition(doc.Text()->LineStart(doc.Text()->LineCount() / 2));
        QCoreApplication::processEvents();
        const long long before = doc.Highlighter()->LinesColoured();
        int typed = 0;
        QBENCHMARK {
            QTest::keyClick(&view, Qt::Key_X);
            ++typed;
        }
        QCoreApplication::processEvents();
        // A keystroke colours at most the line typed into (to place the caret);
        // the paint afterwards colours the lines shown, not the whole text.
        const long long coloured = doc.Highlighter()->LinesColoured() - before;
        const int shown = view.viewport()->height() / view.LineRect(view.CaretLine()).height() + 2;
        QVERIFY2(coloured <= typed + 2LL * shown,
                 qPrintable(QString("%1 lines coloured for %2 characters").arg(coloured).arg(typed)));
        QVERIFY(coloured < doc.Text()->LineCount() / 10);
    }

    // The whole command as F7 runs it in the main window, the tree refill included.
    void checkGsdTwoMegabytes() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(m_Generated);
        QVERIFY(child);
        QBENCHMARK {
            child->CheckGsd();
        }
        const int entries = child->GetDocument()->Database().GetCount();
        QVERIFY(entries > 50000);
        QVERIFY(child->TreeView()->ItemOfEntry(*child->GetDocument()->Database().GetTail()).isValid());
        qInfo("%d entries, %d output rows", entries, frame.OutputBar()->RowCount());
        child->GetDocument()->SetModified(false);
    }

    // Opening in the main window: the document and its window with the tree,
    // until the window has been painted. Closing it is not timed.
    void openTwoMegabytesInTheMainWindow() { OpenInTheMainWindow(m_Generated); }
    void openTwentyMegabytesInTheMainWindow() { OpenInTheMainWindow(m_Large); }

    void checkGsdTwentyMegabytes() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(m_Large);
        QVERIFY(child);
        QBENCHMARK {
            child->CheckGsd();
        }
        qInfo("%d entries, %d output rows", child->GetDocument()->Database().GetCount(), frame.OutputBar()->RowCount());
        child->GetDocument()->SetModified(false);
    }

    // A keystroke in the main window after Check GSD of the 2 MB file, with
    // its output rows and whatever the check left in the text.
    void typeOneCharacterAfterCheck() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(m_Generated);
        QVERIFY(child);
        child->CheckGsd();
        CGSDTextView* view = child->TextView();
        view->SetCaretPosition(view->Text()->LineStart(view->Text()->LineCount() / 2));
        QCoreApplication::processEvents();
        QBENCHMARK {
            QTest::keyClick(view, Qt::Key_X);
        }
        child->GetDocument()->SetModified(false);
    }

    // How often the tree and the text are painted while Check GSD of the 2 MB
    // file runs (its progress steps return to the event loop); reported, and
    // timed as the whole command with those paints.
    void paintsDuringCheckGsd() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(m_Generated);
        QVERIFY(child);
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCoreApplication::processEvents();
        CPaintCounter tree;
        CPaintCounter text;
        child->TreeView()->viewport()->installEventFilter(&tree);
        child->TextView()->viewport()->installEventFilter(&text);
        QBENCHMARK {
            child->CheckGsd();
        }
        qInfo("paints while checking: tree %d (%d in progress steps), text %d (%d in progress steps)", tree.m_nPaints,
              tree.m_nDuringProgress, text.m_nPaints, text.m_nDuringProgress);
        child->GetDocument()->SetModified(false);
    }

    // The tree refill alone on the same file.
    void treeRefillTwoMegabytes() {
        CMainFrame frame;
        CChildFrame* child = frame.OpenDocumentFile(m_Generated);
        QVERIFY(child);
        QBENCHMARK {
            child->TreeView()->OnUpdate();
        }
        child->GetDocument()->SetModified(false);
    }

    // Peak memory of the editor on a file of one-character lines (TALUNA_SHORT_LINES_MB
    // megabytes of "A" lines, or of TALUNA_SHORT_LINE, after "#Profibus_DP" with
    // TALUNA_SHORT_LINES_GSD; skipped without it): open in the
    // main window, then Check GSD.
    // Each stage prints the process's peak and current resident size.
    void shortLinesMemory() {
        const int megabytes = qEnvironmentVariableIntValue("TALUNA_SHORT_LINES_MB");
        if (megabytes <= 0) QSKIP("TALUNA_SHORT_LINES_MB not set");
        const QString path = m_Work.filePath("short.gsd");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // TALUNA_SHORT_LINE sets the character ("A" unless set).
            const QByteArray character =
                qEnvironmentVariableIsSet("TALUNA_SHORT_LINE") ? qgetenv("TALUNA_SHORT_LINE").left(1) : QByteArray("A");
            QByteArray lines;
            for (int i = 0; i < 1024 * 1024 / 2; ++i) lines += character + "\n";
            // With the GSD file's first line every one-character line is a key of
            // its own, as the checker reads it; without it the file is no GSD text.
            if (qEnvironmentVariableIsSet("TALUNA_SHORT_LINES_GSD")) file.write("#Profibus_DP\n");
            for (int i = 0; i < megabytes; ++i) file.write(lines);
        }
        const auto report = [](const char* stage) {
            QFile status("/proc/self/status");
            if (!status.open(QIODevice::ReadOnly)) return;
            QByteArray peak, now;
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("VmHWM:")) peak = line.mid(6).trimmed();
                if (line.startsWith("VmRSS:")) now = line.mid(6).trimmed();
            }
            qInfo("%s: peak %s, now %s", stage, peak.constData(), now.constData());
        };
        report("start");
        CMainFrame frame;
        frame.show();
        QElapsedTimer timer;
        timer.start();
        CChildFrame* child = frame.OpenDocumentFile(path);
        QVERIFY(child);
        qInfo("open %lld ms", timer.restart());
        report("opened");
        child->CheckGsd();
        qInfo("check %lld ms, %d output rows", timer.elapsed(), frame.OutputBar()->RowCount());
        report("checked");
        child->GetDocument()->SetModified(false);
    }

    // TALUNA_SCREENSHOT_FILE names a corpus file; it is checked with Check GSD
    // and its tree expanded. TALUNA_SCREENSHOT_LINE (1-based) selects the key
    // of that line as an output row would, so that the key form shows it. TALUNA_SCREENSHOT_WAIT keeps
    // the window up that many milliseconds for a picture of the whole screen.
    void screenshot() {
        const QByteArray target = qgetenv("TALUNA_SCREENSHOT");
        if (target.isEmpty()) QSKIP("TALUNA_SCREENSHOT not set");
        CMainFrame frame;
        frame.resize(1280, 900);
        frame.show();
        const QString corpus = QString(TALUNA_SOURCE_DIR) + "/../shared/corpus/" + qgetenv("TALUNA_SCREENSHOT_FILE");
        QFile::copy(corpus, m_Work.filePath("shown.gsd"));
        CChildFrame* child = frame.OpenDocumentFile(m_Work.filePath("shown.gsd"));
        QVERIFY(child);
        child->CheckGsd();
        child->TreeView()->expandAll();
        const int line = qEnvironmentVariableIntValue("TALUNA_SCREENSHOT_LINE");
        if (line > 0) frame.NavigateToLine(child->GetDocument(), line - 1);
        QTest::qWait(500);
        QVERIFY(frame.grab().save(QString::fromLocal8Bit(target)));
        QTest::qWait(qEnvironmentVariableIntValue("TALUNA_SCREENSHOT_WAIT"));
        child->GetDocument()->SetModified(false);
    }
};

int main(int argc, char* argv[]) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(taluna);
    AppNotifier().m_Recorder = [](const QString&, ENotifyIcon) {};
    GuiBench bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "gui_bench.moc"
