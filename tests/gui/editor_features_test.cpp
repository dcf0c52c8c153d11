// What the text panes offer beyond plain editing, in the real main window: line
// numbers and the caret's line, zoom and the editor font, Find Next and Find
// Previous, the findings of a check marked in the text, the icons, and the
// output window's filter by kind.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "app/app_icons.h"
#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/cp1252.h"
#include "app/main_frame.h"
#include "app/settings_dlg.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "base/check_message.h"
#include "gui_test_main.h"
#include "main_window_fixture.h"
#include "views/find_replace_dlg.h"
#include "views/gsd_text_view.h"
#include "views/gsd_tree_view.h"
#include "views/list_box_bar.h"
#include "views/text_gutter.h"

namespace {

const QString kSource = QStringLiteral(TALUNA_SOURCE_DIR);

void PutCaret(CGSDTextView* view, int line, int column = 0) {
    view->SetCaretPosition(view->Text()->LineStart(line) + column);
}

// The rows of the output window as "kind|line|text", for one filter.
QStringList ShownRows(CMyListBoxBar* bar) {
    QStringList rows;
    const QAbstractItemModel* model = bar->List()->model();
    for (int i = 0; i < model->rowCount(); ++i)
        rows << model->index(i, 0).data().toString() + '|' + model->index(i, 1).data().toString();
    return rows;
}

// Counts paints of the widgets it watches while a progress window is shown,
// and the paints of the progress windows' bars (the steps did run).
class CProgressPaints : public QObject {
public:
    int m_nDocumentPaints = 0;
    int m_nBarPaints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        bool progress = false;
        for (QWidget* window : QApplication::topLevelWidgets())
            progress |= window->isVisible() && window->inherits("CProgressWnd");
        if (watched->inherits("QProgressBar"))
            ++m_nBarPaints;
        else if (progress)
            ++m_nDocumentPaints;
        return false;
    }
};

}  // namespace

class EditorFeaturesTest : public QObject, CMainWindowFixture {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(EnterWorkDirectory()); }
    void cleanupTestCase() { LeaveWorkDirectory(); }
    void init() {
        ResetRecordsAndSettings();
        CGSDTextView::SetEditorFont(CGSDTextView::DefaultEditorFont());
    }

    // The gutter is as wide as the longest line number needs, numbers the
    // visible lines from the first one shown, and the caret's line is
    // highlighted over the pane's whole width.
    void gutterNumbersLinesAndTheCaretLineIsHighlighted_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("caretLine");
        QTest::newRow("9 lines, caret on the first") << 9 << 0;
        QTest::newRow("120 lines, caret in the middle") << 120 << 57;
        QTest::newRow("12000 lines, caret on the last") << 12000 << 11999;
    }
    void gutterNumbersLinesAndTheCaretLineIsHighlighted() {
        QFETCH(int, lines);
        QFETCH(int, caretLine);
        QByteArray text;
        for (int i = 0; i < lines; ++i) text += "Vendor_Name = \"x\"\r\n";
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Write("lines.gsd", text));
        QVERIFY(child != nullptr);
        CGSDTextView* view = child->TextView();
        CTextGutter* gutter = view->Gutter();
        QVERIFY(gutter->isVisible());
        const int digits = QString::number(view->Text()->LineCount()).size();
        QFont bold = gutter->font();
        bold.setBold(true);
        const int digitWidth = QFontMetrics(bold).horizontalAdvance(QChar('9'));
        QVERIFY(gutter->width() >= digits * digitWidth);
        QVERIFY(gutter->width() < (digits + 1) * digitWidth + 32);
        // The text starts right of the gutter.
        QCOMPARE(view->viewport()->geometry().left(), view->contentsRect().left() + gutter->width());
        QCOMPARE(gutter->geometry().right() + 1, view->viewport()->geometry().left());

        PutCaret(view, caretLine, 3);
        QCoreApplication::processEvents();
        QCOMPARE(view->CaretLine(), caretLine);
        // The caret's line has a background of its own up to the pane's right
        // edge, far beyond its text; its neighbour has not.
        const int neighbour = caretLine > 0 ? caretLine - 1 : caretLine + 1;
        const QImage pane = view->viewport()->grab().toImage();
        const int right = pane.width() - 2;
        const int caretY = view->LineRect(caretLine).center().y();
        const int neighbourY = view->LineRect(neighbour).center().y();
        QVERIFY(caretY >= 0 && caretY < pane.height());
        QVERIFY(neighbourY >= 0 && neighbourY < pane.height());
        QVERIFY(pane.pixelColor(right, caretY) != pane.pixelColor(right, neighbourY));
        // The gutter's rows are those of the text: the caret's line is at the
        // caret's height.
        const QRect caret = view->CaretRect();
        QCOMPARE(view->LineAtY(caret.center().y()), caretLine);
        QCOMPARE(view->LineAtY(-5), -1);
        CloseAll(frame);
    }

    // Ctrl+Plus, Ctrl+Minus and Ctrl+0 zoom the active text by a point a step
    // (the other windows keep their size); the font of the settings dialog is
    // the font of every text, kept in the settings for the next start.
    void zoomAndTheEditorFont_data() {
        QTest::addColumn<QList<QKeySequence>>("keys");
        QTest::addColumn<int>("steps");
        QTest::newRow("Ctrl+Plus twice") << QList<QKeySequence>{QKeySequence::ZoomIn, QKeySequence::ZoomIn} << 2;
        QTest::newRow("Ctrl+= as Ctrl+Plus") << QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Equal)} << 1;
        QTest::newRow("Ctrl+Minus") << QList<QKeySequence>{QKeySequence::ZoomOut} << -1;
        QTest::newRow("Ctrl+0 after zooming")
            << QList<QKeySequence>{QKeySequence::ZoomIn, QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_0)} << 0;
    }
    void zoomAndTheEditorFont() {
        QFETCH(QList<QKeySequence>, keys);
        QFETCH(int, steps);
        CMainFrame frame;
        frame.show();
        CChildFrame* other = frame.OpenDocumentFile(Copy("ABB_0812.gsd"));
        CChildFrame* child = frame.OpenDocumentFile(Copy("AVR_C0DE.GSD"));
        QVERIFY(other != nullptr && child != nullptr);
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
        child->TextView()->setFocus();
        const int base = CGSDTextView::EditorFont().pointSize();
        for (const QKeySequence& key : keys) QTest::keySequence(child->TextView(), key);
        QCOMPARE(child->TextView()->font().pointSize(), base + steps);
        // The text is laid out in the zoomed font: its lines are higher or lower
        // than those of the other window by as many steps.
        const int height = child->TextView()->LineRect(0).height();
        const int otherHeight = other->TextView()->LineRect(0).height();
        QCOMPARE(height > otherHeight, steps > 0);
        QCOMPARE(height < otherHeight, steps < 0);
        QCOMPARE(child->TextView()->Gutter()->font().pointSize(), base + steps);
        QCOMPARE(other->TextView()->font().pointSize(), base);

        // The settings dialog's font goes to every text, each with its own zoom.
        const QStringList fixed = QFontDatabase::families(QFontDatabase::Any);
        QString family;
        for (const QString& f : fixed)
            if (QFontDatabase::isFixedPitch(f)) family = f;
        if (family.isEmpty()) QSKIP("The system has no fixed-pitch font to choose.");
        OnNextDialog<CSettingsDlg>([family](CSettingsDlg* dialog) {
            dialog->m_pFont->setCurrentFont(QFont(family));
            dialog->m_pFontSize->setValue(14);
            dialog->accept();
        });
        Command(frame, ID_EXTRAS_SETTINGS)->trigger();
        QCOMPARE(child->TextView()->font().family(), QFont(family).family());
        QCOMPARE(child->TextView()->font().pointSize(), 14 + steps);
        QCOMPARE(other->TextView()->font().pointSize(), 14);
        QVERIFY(!QSettings("Velmar", "Taluna").value("Settings/EditorFont").toString().isEmpty());
        CloseAll(frame);

        // The next start reads it back.
        CGSDTextView::SetEditorFont(CGSDTextView::DefaultEditorFont());
        CMainFrame next;
        CChildFrame* again = next.OpenDocumentFile(m_Work.filePath("AVR_C0DE.GSD"));
        QVERIFY(again != nullptr);
        QCOMPARE(again->TextView()->font().family(), QFont(family).family());
        QCOMPARE(again->TextView()->font().pointSize(), 14);
        CloseAll(next);
    }

    // F3 and Shift+F3 repeat the find dialog's last search from the caret,
    // also after the dialog is closed, and go on from the other end of the
    // text; without a search F3 opens the dialog.
    void findNextAndPrevious_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<int>("caretLine");
        QTest::addColumn<QList<int>>("keys");   // 0 F3, 1 Shift+F3
        QTest::addColumn<QList<int>>("lines");  // the line selected after each key
        // "bit" is on lines 2 and 4 of the text below, "Bit" only on line 4.
        QTest::newRow("F3 goes down") << "bit" << false << 0 << QList<int>{0, 0} << QList<int>{2, 4};
        QTest::newRow("Shift+F3 goes up") << "bit" << false << 5 << QList<int>{1, 1} << QList<int>{4, 2};
        QTest::newRow("F3 wraps to the top") << "bit" << false << 4 << QList<int>{0, 0} << QList<int>{4, 2};
        QTest::newRow("Shift+F3 wraps to the bottom") << "bit" << false << 1 << QList<int>{1} << QList<int>{4};
        QTest::newRow("match case is repeated") << "Bit" << true << 0 << QList<int>{0, 0} << QList<int>{4, 4};
    }
    void findNextAndPrevious() {
        QFETCH(QString, search);
        QFETCH(bool, matchCase);
        QFETCH(int, caretLine);
        QFETCH(QList<int>, keys);
        QFETCH(QList<int>, lines);
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(
            Write("find.gsd", "#Profibus_DP\r\nA = 1\r\nbit = 1\r\nB = 2\r\nBit = 3\r\nC = 4\r\n"));
        QVERIFY(child != nullptr);
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CGSDTextView* view = child->TextView();

        // No search yet: F3 opens the find dialog.
        QTest::keyClick(view, Qt::Key_F3);
        auto* dialog = frame.findChild<CFindReplaceDlg*>();
        QVERIFY(dialog != nullptr);
        dialog->m_pFind->setText(search);
        dialog->m_pMatchCase->setChecked(matchCase);
        PutCaret(view, 0);
        QVERIFY(dialog->FindNext());
        dialog->close();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QCOMPARE(frame.LastFindText(), search);

        PutCaret(view, caretLine);
        view->setFocus();
        for (int i = 0; i < keys.size(); ++i) {
            if (keys[i] == 0)
                QTest::keyClick(view, Qt::Key_F3);
            else
                QTest::keyClick(view, Qt::Key_F3, Qt::ShiftModifier);
            QCOMPARE(view->CaretLine(), lines[i]);
            QCOMPARE(view->SelectedText().compare(search, Qt::CaseInsensitive), 0);
        }
        // A search the text does not hold leaves the caret and says so.
        const int anchor = view->AnchorPosition();
        const int caret = view->CaretPosition();
        QVERIFY(!view->FindAgain("Slot", {}));
        QCOMPARE(view->AnchorPosition(), anchor);
        QCOMPARE(view->CaretPosition(), caret);
        CloseAll(frame);
    }

    // Check GSD marks every finding of its document at the key of its line, the
    // gutter shows the gravest kind of the line, the tooltip the messages; the
    // next check replaces the marks, Rebuild removes them, and the marks move
    // with the text when lines are inserted above them.
    void checkFindingsAreMarkedInTheText_data() {
        QTest::addColumn<QString>("then");
        QTest::newRow("rebuild") << "rebuild";
        QTest::newRow("check again after a fix") << "fix";
        QTest::newRow("lines inserted above") << "insert";
        QTest::newRow("another document's check") << "other";
    }
    void checkFindingsAreMarkedInTheText() {
        QFETCH(QString, then);
        CMainFrame frame;
        frame.show();
        CChildFrame* other = frame.OpenDocumentFile(Copy("ABB_0812.gsd"));
        CChildFrame* child = frame.OpenDocumentFile(Copy("AVR_C0DE.GSD"));
        QVERIFY(other != nullptr && child != nullptr);
        frame.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
        CGSDTextView* view = child->TextView();
        QVERIFY(view->Findings().empty());
        Command(frame, ID_EXTRAS_CHECK)->trigger();

        // The findings are the output's rows of this document with a line.
        CMyListBoxBar* bar = frame.OutputBar();
        QMap<int, QStringList> expected;
        for (int row = 0; row < bar->RowCount(); ++row) {
            const QModelIndex index = bar->List()->model()->index(row, 0);
            const int line = index.data(ROLE_OUTPUT_LINE).toInt();
            if (line >= 0) expected[line] << bar->RowText(row, 2);
        }
        QCOMPARE(expected.keys(), (QList<int>{13, 19, 28}));
        QCOMPARE(static_cast<int>(view->Findings().size()), 3);
        const QStringList keys = {"PrmText", "ExtUserPrmData", "Ident_Number"};
        const QList<int> kinds = {CheckMessageKind::Error, CheckMessageKind::Warning, CheckMessageKind::Warning};
        for (int i = 0; i < 3; ++i) {
            const int line = expected.keys()[i];
            QCOMPARE(view->FindingKey(view->Findings()[static_cast<size_t>(i)]), keys[i]);
            QCOMPARE(view->FindingLine(view->Findings()[static_cast<size_t>(i)]), line);
            QCOMPARE(view->FindingKindAt(line), kinds[i]);
            QCOMPARE(view->FindingsTextAt(line), expected[line].join('\n'));
        }
        QCOMPARE(view->FindingKindAt(0), CheckMessageKind::Note);
        QVERIFY(view->FindingsTextAt(0).isEmpty());
        QVERIFY(other->TextView()->Findings().empty());

        if (then == "rebuild") {
            Command(frame, ID_EXTRAS_REBUILD)->trigger();
            QVERIFY(view->Findings().empty());
            QCOMPARE(view->FindingKindAt(13), CheckMessageKind::Note);
        } else if (then == "fix") {
            // The second PrmText 1 becomes PrmText 2: its error goes.
            CTextBuffer* text = view->Text();
            text->Replace(text->LineStart(13), text->LineStart(13) + text->LineLength(13), "PrmText=2");
            Command(frame, ID_EXTRAS_CHECK)->trigger();
            QVERIFY(view->FindingKindAt(13) != CheckMessageKind::Error);
            QVERIFY(!view->FindingsTextAt(13).contains("Ambigious"));
            QCOMPARE(view->FindingKindAt(28), CheckMessageKind::Warning);
        } else if (then == "insert") {
            view->Text()->Insert(0, ";\n;\n");
            QCOMPARE(view->FindingKindAt(15), CheckMessageKind::Error);
            QCOMPARE(view->FindingKindAt(13), CheckMessageKind::Note);
            QCOMPARE(view->FindingKey(view->Findings()[0]), QString("PrmText"));
        } else {
            frame.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
            Command(frame, ID_EXTRAS_CHECK)->trigger();
            QCOMPARE(static_cast<int>(view->Findings().size()), 3);
            QCOMPARE(static_cast<int>(other->TextView()->Findings().size()), 2);
        }
        CloseAll(frame);
    }

    // While Check GSD and Rebuild show their progress, the event loop runs
    // at every step; the tree and the text are not painted then (the
    // database under the tree is being rebuilt), only once the command ends.
    void progressStepsPaintNeitherTreeNorText_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("Check GSD") << int(ID_EXTRAS_CHECK);
        QTest::newRow("Rebuild") << int(ID_EXTRAS_REBUILD);
    }
    void progressStepsPaintNeitherTreeNorText() {
        QFETCH(int, command);
        CMainFrame frame;
        frame.resize(1200, 900);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CChildFrame* child = frame.OpenDocumentFile(Copy("B756_P33.GSD"));
        QVERIFY(child != nullptr);
        // Once through, and the window painted after it, so that no paint of
        // the opening is still due.
        Command(frame, command)->trigger();
        QTRY_VERIFY(child->TextView()->viewport()->updatesEnabled());
        QTest::qWait(200);
        CProgressPaints paints;
        child->TreeView()->viewport()->installEventFilter(&paints);
        child->TextView()->viewport()->installEventFilter(&paints);
        child->TextView()->Gutter()->installEventFilter(&paints);
        QObject watcher;
        // The bars of the progress windows the command opens.
        QTimer timer;
        connect(&timer, &QTimer::timeout, &watcher, [&paints] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->inherits("CProgressWnd"))
                    for (QWidget* bar : window->findChildren<QWidget*>())
                        if (bar->inherits("QProgressBar")) bar->installEventFilter(&paints);
        });
        timer.start(0);
        for (int i = 0; i < 2; ++i) Command(frame, command)->trigger();
        QCOMPARE(paints.m_nDocumentPaints, 0);
        QVERIFY(paints.m_nBarPaints > 0);
        // Afterwards the document is painted again.
        QTRY_VERIFY(child->TextView()->viewport()->updatesEnabled());
        CloseAll(frame);
    }

    // Every toolbar command has an icon, also on a desktop whose icon theme
    // has none of them (the bundled ones); the program's windows carry the
    // program's icon, the one the .desktop file names.
    void everyToolbarCommandHasAnIcon() {
        const QString theme = QIcon::themeName();
        const QStringList paths = QIcon::themeSearchPaths();
        QIcon::setThemeSearchPaths({m_Work.path()});
        QIcon::setThemeName("no-such-theme");
        {
            CMainFrame frame;
            int commands = 0;
            for (QAction* action : frame.ToolBar()->actions()) {
                if (action->isSeparator()) continue;
                ++commands;
                QVERIFY2(!action->icon().pixmap(16, 16).isNull(), qPrintable(action->text()));
            }
            QVERIFY(commands >= 12);
            for (int id :
                 {ID_EDIT_FIND_NEXT, ID_EDIT_FIND_PREVIOUS, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_RESET})
                QVERIFY(!Command(frame, id)->icon().pixmap(16, 16).isNull());
            QVERIFY(!frame.windowIcon().pixmap(64, 64).isNull());
        }
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(theme);

        QFile bundled(":/icons/taluna.svg");
        QFile shipped(kSource + "/packaging/icons/taluna.svg");
        QVERIFY(bundled.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly));
        QCOMPARE(bundled.readAll(), shipped.readAll());
        QFile desktop(kSource + "/app/taluna.desktop");
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        QVERIFY(desktop.readAll().contains("\nIcon=taluna\n"));
    }

    // The output window's switches show the errors, warnings and infos or hide
    // them; a row of the filtered list still leads to its own line and
    // document.
    void outputFilterByKind_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("rows");
        const QString e = "Error|Line 14", w1 = "Warning|Line 29", w2 = "Warning|Line 20", i = "Info|---";
        QTest::newRow("all") << int(FILTER_ALL) << QStringList{i, w1, i, i, e, w2, i};
        QTest::newRow("errors") << int(FILTER_ERRORS) << QStringList{e};
        QTest::newRow("warnings") << int(FILTER_WARNINGS) << QStringList{w1, w2};
        QTest::newRow("infos") << int(FILTER_INFOS) << QStringList{i, i, i, i};
        QTest::newRow("errors and warnings") << int(FILTER_ERRORS | FILTER_WARNINGS) << QStringList{w1, e, w2};
        QTest::newRow("nothing") << 0 << QStringList{};
    }
    void outputFilterByKind() {
        QFETCH(int, filter);
        QFETCH(QStringList, rows);
        CMainFrame frame;
        frame.show();
        CChildFrame* other = frame.OpenDocumentFile(Copy("ABB_0812.gsd"));
        CChildFrame* child = frame.OpenDocumentFile(Copy("AVR_C0DE.GSD"));
        QVERIFY(other != nullptr && child != nullptr);
        frame.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        CMyListBoxBar* bar = frame.OutputBar();
        QCoreApplication::processEvents();
        QCOMPARE(bar->FilterButton(FILTER_ERRORS)->text(), QString("Errors (1)"));
        QCOMPARE(bar->FilterButton(FILTER_WARNINGS)->text(), QString("Warnings (2)"));
        QCOMPARE(bar->FilterButton(FILTER_INFOS)->text(), QString("Infos (4)"));

        // The switches set the filter, as the user clicks them.
        for (EOutputFilter group : {FILTER_ERRORS, FILTER_WARNINGS, FILTER_INFOS})
            if ((filter & group) == 0) QTest::mouseClick(bar->FilterButton(group), Qt::LeftButton);
        QCOMPARE(bar->Filter(), filter);
        QCOMPARE(ShownRows(bar), rows);
        QCOMPARE(bar->VisibleRowCount(), rows.size());

        // Every shown row leads to its line, in the row's document, even after
        // another document became active.
        frame.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
        const QAbstractItemModel* model = bar->List()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const int line = model->index(row, 0).data(ROLE_OUTPUT_LINE).toInt();
            if (line < 0) continue;
            QCOMPARE(model->index(row, 0).data(ROLE_OUTPUT_DOCUMENT).value<quintptr>(),
                     reinterpret_cast<quintptr>(child->GetDocument()));
            const QModelIndex index = model->index(row, 1);
            bar->List()->scrollTo(index);
            QTest::mouseClick(bar->List()->viewport(), Qt::LeftButton, Qt::NoModifier,
                              bar->List()->visualRect(index).center());
            QCOMPARE(child->TextView()->CaretLine(), line);
            QCOMPARE(frame.ActiveChild(), child);
            QCOMPARE(bar->RowText(bar->SelectedRow(), 1), model->index(row, 1).data().toString());
        }
        bar->SetFilter(FILTER_ALL);
        QCOMPARE(bar->VisibleRowCount(), bar->RowCount());
        CloseAll(frame);
    }
};

TALUNA_GUI_TEST_MAIN(EditorFeaturesTest)
#include "editor_features_test.moc"
