// A large GSD file in the real main window: opening it and Check GSD keep the
// event loop running through every long stretch (building
// the database, the check's passes, filling the tree), while the progress
// window keeps the main window disabled; afterwards the window is enabled, the
// check's rows are listed and the tree shows every entry.
//
// The file is generated in the test: TALUNA_LARGE_FILE_MB sets its size in
// megabytes (20 unless set).

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMap>
#include <QMdiArea>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/cp1252.h"
#include "app/main_frame.h"
#include "app/progress_wnd.h"
#include "app/taluna_doc.h"
#include "base/string_table.h"
#include "bench/gsd_generator.h"
#include "gui_test_main.h"
#include "main_window_fixture.h"
#include "model/key_database.h"
#include "views/gsd_tree_view.h"
#include "views/list_box_bar.h"

namespace {

// The phases of the long operations, told apart by the progress window's caption
// and status line.
const QString kBuilding = QStringLiteral("building");
const QString kSyntax = QStringLiteral("syntax");
const QString kSemantic = QStringLiteral("semantic");
const QString kTree = QStringLiteral("tree");
const QString kNoWindow = QStringLiteral("no progress window");
const QString kOther = QStringLiteral("other");

// The progress window shown now, or null.
CProgressWnd* ShownProgress(CMainFrame& frame) {
    for (CProgressWnd* window : frame.findChildren<CProgressWnd*>())
        if (window->isVisible()) return window;
    return nullptr;
}

QString PhaseOf(const CProgressWnd* window) {
    if (window == nullptr) return kNoWindow;
    const QString title = window->windowTitle();
    const QString status = window->StatusText();
    if (title == DecodeCp1252(LoadString(58))) return kBuilding;
    if (title != DecodeCp1252(LoadString(57))) return kOther;
    if (status == DecodeCp1252(LoadString(IDS_WAIT_SYNTAX))) return kSyntax;
    if (status == DecodeCp1252(LoadString(IDS_WAIT_SEMANTIC))) return kSemantic;
    if (status == CGSDTreeView::FillStatusText()) return kTree;
    return kOther;
}

// Counts the ticks of a 50 ms timer by phase while one operation runs; also the
// paint events of the progress bar, and whether the main window was disabled at
// every tick.
class CTickRecorder : public QObject {
public:
    explicit CTickRecorder(CMainFrame& frame) : m_Frame(frame) {
        m_Timer.setInterval(50);
        QObject::connect(&m_Timer, &QTimer::timeout, this, [this] { OnTick(); });
    }

    // Runs `operation` with the timer running; returns its duration in ms.
    template <typename F>
    qint64 Run(F operation) {
        m_Ticks.clear();
        m_Paints.clear();
        m_nEnabledTicks = 0;
        m_nLongestGap = 0;
        m_LongestGapPhase.clear();
        m_LongStretches.clear();
        m_Clock.start();
        m_nLastTick = 0;
        m_LastPhase = QStringLiteral("start");
        m_Timer.start();
        operation();
        m_Timer.stop();
        const qint64 elapsed = m_Clock.elapsed();
        NoteGap(elapsed, QStringLiteral("end"));
        return elapsed;
    }

    const QMap<QString, int>& Ticks() const { return m_Ticks; }
    const QMap<QString, int>& Paints() const { return m_Paints; }
    int EnabledTicks() const { return m_nEnabledTicks; }
    QString LongStretches() const { return m_LongStretches.join(QStringLiteral("; ")); }
    QString Summary() const {
        QStringList parts;
        for (auto it = m_Ticks.begin(); it != m_Ticks.end(); ++it)
            parts << QStringLiteral("%1 %2 (%3 paints)").arg(it.key()).arg(it.value()).arg(m_Paints.value(it.key()));
        return parts.join(QStringLiteral(", ")) +
               QStringLiteral("; longest stretch without a tick %1 ms (%2)").arg(m_nLongestGap).arg(m_LongestGapPhase);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++m_Paints[PhaseOf(ShownProgress(m_Frame))];
        return QObject::eventFilter(watched, event);
    }

private:
    void OnTick() {
        CProgressWnd* window = ShownProgress(m_Frame);
        const QString phase = PhaseOf(window);
        ++m_Ticks[phase];
        if (m_Frame.isEnabled()) ++m_nEnabledTicks;
        if (window != nullptr && window != m_pWatched) {
            // Paint events of the bar show that the progress window is repainted.
            if (auto* bar = window->findChild<QProgressBar*>()) bar->installEventFilter(this);
            m_pWatched = window;
        }
        NoteGap(m_Clock.elapsed(), phase);
    }

    void NoteGap(qint64 now, const QString& phase) {
        if (now - m_nLastTick > 200)
            m_LongStretches << QStringLiteral("%1 ms at %2 ms (%3 -> %4)")
                                   .arg(now - m_nLastTick)
                                   .arg(m_nLastTick)
                                   .arg(m_LastPhase, phase);
        if (now - m_nLastTick > m_nLongestGap) {
            m_nLongestGap = now - m_nLastTick;
            m_LongestGapPhase = m_LastPhase + QStringLiteral(" -> ") + phase;
        }
        m_nLastTick = now;
        m_LastPhase = phase;
    }

    CMainFrame& m_Frame;
    QTimer m_Timer;
    QElapsedTimer m_Clock;
    QMap<QString, int> m_Ticks;
    QMap<QString, int> m_Paints;
    int m_nEnabledTicks = 0;
    QPointer<CProgressWnd> m_pWatched;
    qint64 m_nLastTick = 0;
    QString m_LastPhase;
    qint64 m_nLongestGap = 0;
    QString m_LongestGapPhase;
    QStringList m_LongStretches;
};

// Whether a phase that lasted several ticks repainted the progress window; a
// phase over within a tick or two needs no repaint.
bool RepaintedIfLong(const CTickRecorder& recorder, const QString& phase) {
    return recorder.Ticks().value(phase) < 3 || recorder.Paints().value(phase) > 0;
}

// Every item below `item` and the item itself.
int TreeItemCount(const QAbstractItemModel& model, const QModelIndex& item) {
    int count = 1;
    for (int i = 0; i < model.rowCount(item); ++i) count += TreeItemCount(model, model.index(i, 0, item));
    return count;
}
int TreeItemCount(CGSDTreeView* tree) {
    return TreeItemCount(tree->Model(), tree->RootItem());
}

}  // namespace

class LargeFileTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_Work;
    QString m_OldCwd;
    QString m_Path;
    qint64 m_nBytes = 0;

private slots:
    void initTestCase() {
        m_OldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_Work.path()));
        const int megabytes = qEnvironmentVariableIsSet("TALUNA_LARGE_FILE_MB")
                                  ? qEnvironmentVariableIntValue("TALUNA_LARGE_FILE_MB")
                                  : 20;
        QVERIFY(megabytes > 0);
        const std::string text = GenerateGsd(static_cast<size_t>(megabytes) * 1024 * 1024);
        m_Path = m_Work.filePath(QStringLiteral("large.gsd"));
        QFile file(m_Path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(text.data(), static_cast<qint64>(text.size())), static_cast<qint64>(text.size()));
        m_nBytes = static_cast<qint64>(text.size());
    }
    void cleanupTestCase() { QDir::setCurrent(m_OldCwd); }

    void openAndCheckKeepTheEventLoopRunning() {
        RecordedMessages().clear();
        CMainFrame frame;
        frame.resize(1024, 768);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.isEnabled());
        CTickRecorder recorder(frame);

        CChildFrame* child = nullptr;
        const qint64 openMs = recorder.Run([&] { child = frame.OpenDocumentFile(m_Path); });
        QVERIFY(child);
        qInfo("open of %lld bytes: %lld ms; ticks: %s", m_nBytes, openMs, qPrintable(recorder.Summary()));
        qInfo("stretches over 200 ms without a tick: %s", qPrintable(recorder.LongStretches()));
        // Every tick came from a progress window's advance, which kept the main
        // window disabled; each long stretch of the load let the loop run.
        QCOMPARE(recorder.Ticks().value(kNoWindow), 0);
        QCOMPARE(recorder.Ticks().value(kOther), 0);
        QCOMPARE(recorder.EnabledTicks(), 0);
        QVERIFY(recorder.Ticks().value(kBuilding) > 0);
        QVERIFY(recorder.Ticks().value(kTree) > 0);
        QVERIFY(RepaintedIfLong(recorder, kBuilding));
        QVERIFY(RepaintedIfLong(recorder, kTree));
        QVERIFY(frame.isEnabled());
        QVERIFY(ShownProgress(frame) == nullptr);
        QVERIFY(RecordedMessages().isEmpty());

        CKeyDatabase& database = child->GetDocument()->Database();
        const int entries = database.GetCount();
        QVERIFY(entries > 100000);
        CGSDTreeView* tree = child->TreeView();
        // The root, the four groups and one item per entry.
        QCOMPARE(TreeItemCount(tree), entries + 5);
        QCOMPARE(tree->EntryOfItem(tree->ItemOfEntry(*database.GetTail())), database.GetTail());

        QAction* check = Command(frame, ID_EXTRAS_CHECK);
        QVERIFY(check);
        QVERIFY(check->isEnabled());
        const qint64 checkMs = recorder.Run([&] { check->trigger(); });
        qInfo("Check GSD of %d entries: %lld ms; ticks: %s", entries, checkMs, qPrintable(recorder.Summary()));
        qInfo("stretches over 200 ms without a tick: %s", qPrintable(recorder.LongStretches()));
        QCOMPARE(recorder.Ticks().value(kNoWindow), 0);
        QCOMPARE(recorder.Ticks().value(kOther), 0);
        QCOMPARE(recorder.EnabledTicks(), 0);
        QVERIFY(recorder.Ticks().value(kBuilding) > 0);
        QVERIFY(recorder.Ticks().value(kSyntax) > 0);
        QVERIFY(recorder.Ticks().value(kSemantic) > 0);
        QVERIFY(recorder.Ticks().value(kTree) > 0);
        QVERIFY(RepaintedIfLong(recorder, kSyntax));
        QVERIFY(RepaintedIfLong(recorder, kSemantic));
        QVERIFY(RepaintedIfLong(recorder, kTree));
        QVERIFY(frame.isEnabled());
        QVERIFY(ShownProgress(frame) == nullptr);
        QVERIFY(RecordedMessages().isEmpty());

        // The check's rows arrived and the refilled tree shows every entry of the
        // rebuilt database.
        CMyListBoxBar* output = frame.OutputBar();
        QVERIFY(output->RowCount() > 4);
        QCOMPARE(output->RowText(output->RowCount() - 1, 2), QStringLiteral("Stop Semantic-Check..."));
        QCOMPARE(database.GetCount(), entries);
        QCOMPARE(TreeItemCount(tree), entries + 5);
        QCOMPARE(tree->EntryOfItem(tree->ItemOfEntry(*database.GetTail())), database.GetTail());
        QCOMPARE(tree->currentIndex(), tree->RootItem());

        child->GetDocument()->SetModified(false);
        frame.MdiArea()->closeAllSubWindows();
    }
};

TALUNA_GUI_TEST_MAIN(LargeFileTest)

#include "large_file_test.moc"
