// Check GSD, Rebuild and the output navigation in the real main window: the
// rows equal what taluna-check prints, a row leads to its key and line, the
// arrow keys stop at the ends, notes lead nowhere, the tree's commands and the
// key form's Apply work in a document window, and the settings act on the next
// operation.

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/cp1252.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/settings_dlg.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "base/check_message.h"
#include "cli/file_check.h"
#include "gui_test_main.h"
#include "main_window_fixture.h"
#include "tree_items.h"
#include "views/gsd_text_view.h"
#include "views/gsd_tree_view.h"
#include "views/input_view.h"
#include "views/list_box_bar.h"
#include "views/user_key_dialog.h"

namespace {

// The rows as the output window shows them, one "kind|line|text" string each.
QStringList GuiRows(const CMyListBoxBar& bar) {
    QStringList rows;
    for (int i = 0; i < bar.RowCount(); ++i)
        rows << bar.RowText(i, 0) + '|' + bar.RowText(i, 1) + '|' + bar.RowText(i, 2);
    return rows;
}

QStringList CliRows(const std::vector<CCheckMessage>& messages) {
    QStringList rows;
    for (const CCheckMessage& m : messages)
        rows << DecodeCp1252(m.KindText()) + '|' + DecodeCp1252(m.LineText()) + '|' + DecodeCp1252(m.m_Text);
    return rows;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

std::vector<CCheckMessage> CliCheck(const QByteArray& bytes, bool noSemantic = false, bool noWarnings = false) {
    CCheckOptions options;
    options.m_bNoSemantic = noSemantic;
    options.m_bNoWarnings = noWarnings;
    return CheckGsdText(std::string(bytes.constData(), static_cast<size_t>(bytes.size())), options);
}

int SelectedTextLine(CGSDTextView* view) {
    return view->CaretLine();
}

void ClickRow(CMyListBoxBar* bar, int row) {
    QTableView* list = bar->List();
    const QModelIndex index = list->model()->index(row, 1);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(index).center());
}

}  // namespace

class CheckNavigationTest : public QObject, CMainWindowFixture {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(EnterWorkDirectory()); }
    void cleanupTestCase() { LeaveWorkDirectory(); }
    void init() { ResetRecordsAndSettings(); }

    void checkGsdRowsEqualTheCommandLineChecker_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("DPV1 slave") << "DPV10008.gsd";
        QTest::newRow("modular slave") << "IPDS0B0D.gsd";
    }
    void checkGsdRowsEqualTheCommandLineChecker() {
        QFETCH(QString, file);
        CMainFrame frame;
        CChildFrame* child = frame.OpenDocumentFile(Copy(file));
        QVERIFY(child);
        QAction* check = Command(frame, ID_EXTRAS_CHECK);
        QVERIFY(check);
        QCOMPARE(check->shortcut(), QKeySequence(Qt::Key_F7));
        check->trigger();
        const QStringList gui = GuiRows(*frame.OutputBar());
        QCOMPARE(gui, CliRows(CliCheck(ReadBytes(kCorpus + '/' + file))));
        QVERIFY(gui.size() > 5);
        QCOMPARE(frame.OutputBar()->NavigationDocument(), static_cast<const void*>(child->GetDocument()));
        QVERIFY(RecordedMessages().isEmpty());

        // The program itself, in its text format: file name, then the rows.
        QProcess cli;
        cli.start(QStringLiteral(TALUNA_CHECK_EXE), {kCorpus + '/' + file});
        QVERIFY(cli.waitForFinished(60000));
        QStringList printed = DecodeCp1252(cli.readAllStandardOutput().toStdString()).split('\n');
        while (!printed.isEmpty() && printed.last().isEmpty()) printed.removeLast();
        QVERIFY(!printed.isEmpty());
        printed.removeFirst();
        for (QString& row : printed) row.replace('\t', '|');
        QCOMPARE(gui, printed);

        // A second run gives the same rows.
        check->trigger();
        QCOMPARE(GuiRows(*frame.OutputBar()), gui);
        CloseAll(frame);
    }

    void checkGsdRefillsTheTreeAndKeepsTheSelectedKey() {
        CMainFrame frame;
        CChildFrame* child = frame.OpenDocumentFile(Copy("IPDS0B0D.gsd"));
        QVERIFY(child);
        CGSDTreeView* tree = child->TreeView();
        const QModelIndex module = KeyItemAt(tree, 189);
        QVERIFY(module.isValid());
        tree->setCurrentIndex(module);
        const QString text = ItemText(module);
        const QString help = child->InputView()->HelpPane()->toPlainText();
        CKeyEntry* before = frame.Context().m_pCurEntry;
        QVERIFY(before != nullptr);
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        // The key stays selected and current, an entry of the new database.
        QCOMPARE(ItemText(tree->currentIndex()), text);
        QVERIFY(frame.Context().m_pCurEntry != nullptr);
        QCOMPARE(tree->EntryOfItem(tree->currentIndex()), frame.Context().m_pCurEntry);
        QCOMPARE(frame.Context().m_pCurEntry->m_LongLine, 188);
        QCOMPARE(frame.Context().m_Form.m_nFormMode, 6);
        QCOMPARE(child->InputView()->HelpPane()->toPlainText(), help);
        // Every key item leads to an entry of the new database, and back.
        int keys = 0;
        for (const QModelIndex& item : AllItems(tree->RootItem())) {
            if (!ItemText(item).contains('(')) continue;
            CKeyEntry* entry = tree->EntryOfItem(item);
            QVERIFY2(entry != nullptr, qPrintable(ItemText(item)));
            QCOMPARE(tree->ItemOfEntry(*entry), item);
            ++keys;
        }
        QCOMPARE(keys, child->GetDocument()->Database().GetCount());
        // With the root selected, the form shows what selecting the root
        // shows, not the help of the key the check processed last.
        tree->setCurrentIndex(tree->RootItem());
        const QString rootHelp = child->InputView()->HelpPane()->toPlainText();
        QVERIFY(rootHelp != help);
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        QCOMPARE(tree->currentIndex(), tree->RootItem());
        QCOMPARE(frame.Context().m_Form.m_nFormMode, 0);
        QCOMPARE(child->InputView()->HelpPane()->toPlainText(), rootHelp);
        CloseAll(frame);
    }

    void checkGsdStatusTextsAndWaitCursor() {
        CMainFrame frame;
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        QStringList texts;
        QList<bool> waiting;
        connect(frame.statusBar(), &QStatusBar::messageChanged, &frame, [&](const QString& text) {
            texts << text;
            waiting << (QApplication::overrideCursor() != nullptr &&
                        QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        });
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        const QStringList expected = {"Please wait while performing the syntax check...",
                                      "Please wait while performing the semantic check...", "For Help, press F1"};
        QCOMPARE(texts, expected);
        QCOMPARE(waiting, QList<bool>({true, true, true}));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(frame.statusBar()->currentMessage(), QString("For Help, press F1"));

        // The fail-safe setting skips the semantic pass and its status text.
        texts.clear();
        frame.Context().m_Settings.m_bNoSemanticCheck = 1;
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        QCOMPARE(texts, QStringList({"Please wait while performing the syntax check...", "For Help, press F1"}));
        CloseAll(frame);
    }

    void clickOnARowSelectsTheKeyAndTheLine() {
        CMainFrame frame;
        frame.resize(1000, 800);
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Copy("IPDS0B0D.gsd"));
        QVERIFY(child);
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        CMyListBoxBar* bar = frame.OutputBar();
        // A finding on a key inside a module block: its item is found below the
        // (collapsed) module item.
        int row = -1;
        for (int i = 0; i < bar->RowCount() && row < 0; ++i)
            if (bar->RowText(i, 1) == "Line 190") row = i;
        QVERIFY(row >= 0);
        ClickRow(bar, row);
        CGSDTreeView* tree = child->TreeView();
        QVERIFY(tree->currentIndex().isValid());
        QVERIFY2(ItemText(tree->currentIndex()).endsWith(" (190)"), qPrintable(ItemText(tree->currentIndex())));
        QCOMPARE(ItemText(tree->currentIndex().parent()), ItemText(KeyItemAt(tree, 189)));
        QCOMPARE(SelectedTextLine(child->TextView()), 189);
        QCOMPARE(child->TextView()->SelectedText(), child->GetDocument()->Text()->LineText(189));
        QVERIFY(frame.Context().m_pCurEntry != nullptr);
        QCOMPARE(frame.Context().m_pCurEntry->m_LongLine, 189);
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    void rowLineColumnIsReadBack() {
        QCOMPARE(CMyListBoxBar::LineOfLineText("Line 1"), 0);
        QCOMPARE(CMyListBoxBar::LineOfLineText("Line 1234"), 1233);
        QCOMPARE(CMyListBoxBar::LineOfLineText("Line   7"), 6);
        QCOMPARE(CMyListBoxBar::LineOfLineText("---"), -1);
        QCOMPARE(CMyListBoxBar::LineOfLineText(""), -1);
        QCOMPARE(CMyListBoxBar::LineOfLineText("Line -2147483648"), -1);
    }

    void notesAndEmptyDocumentDoNotNavigate() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        CMyListBoxBar* bar = frame.OutputBar();
        CGSDTreeView* tree = child->TreeView();
        QCOMPARE(bar->RowText(0, 1), QString("---"));
        child->TextView()->SelectLine(10);
        ClickRow(bar, 0);
        QCOMPARE(tree->currentIndex(), tree->RootItem());
        QCOMPARE(SelectedTextLine(child->TextView()), 10);
        // A row without a navigation document leads nowhere either.
        bar->Clear();
        frame.AddCheckMessage(CheckMessageKind::Error, 86, "no document", nullptr);
        ClickRow(bar, 0);
        QCOMPARE(tree->currentIndex(), tree->RootItem());
        QCOMPARE(SelectedTextLine(child->TextView()), 10);
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    void arrowKeysMoveThroughTheRowsAndStopAtTheEnds() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        CTalunaDoc* doc = child->GetDocument();
        CMyListBoxBar* bar = frame.OutputBar();
        CGSDTreeView* tree = child->TreeView();
        CGSDTextView* text = child->TextView();
        frame.ClearOutput();
        // Vendor_Name at line 82, Station_Type at 87, OrderNumber at 128 (1-based).
        frame.AddCheckMessage(CheckMessageKind::Error, 81, "first", doc);
        frame.AddCheckMessage(CheckMessageKind::Warning, 86, "second", doc);
        frame.AddCheckMessage(CheckMessageKind::Note, 0, "a note", nullptr);
        frame.AddCheckMessage(CheckMessageKind::Info, 127, "last", nullptr);
        QCOMPARE(bar->RowText(3, 1), QString("Line 128"));
        QTableView* list = bar->List();

        // Up on the first row: nothing.
        bar->SelectRow(0);
        QCOMPARE(tree->currentIndex(), tree->RootItem());
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(bar->SelectedRow(), 0);
        QCOMPARE(tree->currentIndex(), tree->RootItem());
        QCOMPARE(SelectedTextLine(text), 0);

        // Down: the next row's line.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(bar->SelectedRow(), 1);
        QCOMPARE(ItemText(tree->currentIndex()), QString("Station_Type (87)"));
        QCOMPARE(SelectedTextLine(text), 86);
        // Down onto a note: the view stays where it was.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(bar->SelectedRow(), 2);
        QCOMPARE(ItemText(tree->currentIndex()), QString("Station_Type (87)"));
        QCOMPARE(SelectedTextLine(text), 86);
        // Up twice: back to the first row's key.
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(bar->SelectedRow(), 0);
        QCOMPARE(ItemText(tree->currentIndex()), QString("Vendor_Name (82)"));
        QCOMPARE(SelectedTextLine(text), 81);

        // Down on the last row: nothing, although the row names a line.
        bar->SelectRow(3);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(bar->SelectedRow(), 3);
        QCOMPARE(ItemText(tree->currentIndex()), QString("Vendor_Name (82)"));
        QCOMPARE(SelectedTextLine(text), 81);
        // The list keeps the focus while the arrow keys move through it.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(ItemText(tree->currentIndex()), QString("Vendor_Name (82)"));  // the note row
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(ItemText(tree->currentIndex()), QString("Station_Type (87)"));
        if (QApplication::focusWidget() != nullptr) QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    void navigationGoesToTheDocumentOfTheRowAndActivatesIt() {
        CMainFrame frame;
        frame.show();
        CChildFrame* first = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        CChildFrame* second = frame.OpenDocumentFile(Copy("IPDS0B0D.gsd"));
        QVERIFY(first && second);
        auto* firstSub = qobject_cast<QMdiSubWindow*>(first->parentWidget());
        auto* secondSub = qobject_cast<QMdiSubWindow*>(second->parentWidget());
        frame.MdiArea()->setActiveSubWindow(firstSub);
        QCOMPARE(frame.ActiveChild(), first);
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        CMyListBoxBar* bar = frame.OutputBar();
        QCOMPARE(bar->NavigationDocument(), static_cast<const void*>(first->GetDocument()));
        int row = -1;
        for (int i = 0; i < bar->RowCount() && row < 0; ++i)
            if (bar->RowText(i, 1) == "Line 128") row = i;
        QVERIFY(row >= 0);
        frame.MdiArea()->setActiveSubWindow(secondSub);
        QCOMPARE(frame.ActiveChild(), second);
        ClickRow(bar, row);
        QCOMPARE(frame.MdiArea()->activeSubWindow(), firstSub);
        QCOMPARE(ItemText(first->TreeView()->currentIndex()), QString("OrderNumber (128)"));
        QCOMPARE(SelectedTextLine(first->TextView()), 127);

        // A row of the other document leads there; the rows before it still
        // lead to their own document.
        frame.AddCheckMessage(CheckMessageKind::Error, 188, "module", second->GetDocument());
        QCOMPARE(bar->NavigationDocument(), static_cast<const void*>(second->GetDocument()));
        ClickRow(bar, bar->RowCount() - 1);
        QCOMPARE(frame.MdiArea()->activeSubWindow(), secondSub);
        QCOMPARE(SelectedTextLine(second->TextView()), 188);
        ClickRow(bar, row);
        QCOMPARE(frame.MdiArea()->activeSubWindow(), firstSub);
        QCOMPARE(SelectedTextLine(first->TextView()), 127);
        QCOMPARE(SelectedTextLine(second->TextView()), 188);

        // Closing the target document empties the list.
        second->GetDocument()->SetModified(false);
        secondSub->close();
        QCOMPARE(bar->RowCount(), 0);
        QVERIFY(bar->NavigationDocument() == nullptr);
        CloseAll(frame);
    }

    // The output window floated and docked again, its list holding the focus,
    // and the document area left without an active window, as leaving and
    // entering the program leaves it: Rebuild and Check GSD act on the
    // document window that was active last and bring no other one forward.
    void commandsActOnTheLastActiveDocumentWindow_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("Check GSD") << int(ID_EXTRAS_CHECK);
        QTest::newRow("Rebuild") << int(ID_EXTRAS_REBUILD);
    }
    void commandsActOnTheLastActiveDocumentWindow() {
        QFETCH(int, command);
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CChildFrame* first = frame.OpenDocumentFile(Copy("IPDS0B0D.gsd"));
        CChildFrame* second = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(first && second);
        auto* firstSub = qobject_cast<QMdiSubWindow*>(first->parentWidget());
        auto* secondSub = qobject_cast<QMdiSubWindow*>(second->parentWidget());
        QCOMPARE(frame.MdiArea()->activeSubWindow(), secondSub);
        CMyListBoxBar* bar = frame.OutputBar();
        bar->setFloating(true);
        bar->activateWindow();
        QCoreApplication::processEvents();
        bar->setFloating(false);
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        bar->List()->setFocus();
        QEvent leave(QEvent::ApplicationDeactivate);
        QCoreApplication::sendEvent(qApp, &leave);
        QEvent enter(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(qApp, &enter);
        QVERIFY(frame.MdiArea()->activeSubWindow() == nullptr);

        const unsigned firstGeneration = first->GetDocument()->Database().Generation();
        const unsigned secondGeneration = second->GetDocument()->Database().Generation();
        Command(frame, command)->trigger();
        QCOMPARE(frame.ActiveChild(), second);
        QVERIFY(frame.MdiArea()->activeSubWindow() != firstSub);
        QVERIFY(second->GetDocument()->Database().Generation() != secondGeneration);
        QCOMPARE(first->GetDocument()->Database().Generation(), firstGeneration);
        if (command == ID_EXTRAS_CHECK) {
            QCOMPARE(bar->NavigationDocument(), static_cast<const void*>(second->GetDocument()));
            QCOMPARE(GuiRows(*bar), CliRows(CliCheck(ReadBytes(kCorpus + "/DPV10008.gsd"))));
        }
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    // F1 on a row of the output window shows the help page of the row's
    // message; on a note, which has none, the page of the output window.
    void f1OnARowShowsThePageOfItsMessage() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        CMyListBoxBar* bar = frame.OutputBar();
        int finding = -1;
        int note = -1;
        for (int row = 0; row < bar->RowCount(); ++row) {
            if (finding < 0 && bar->RowText(row, 2).contains("Unknown key!")) finding = row;
            if (note < 0 && bar->RowText(row, 0) == "Info") note = row;
        }
        QVERIFY(finding >= 0 && note >= 0);
        QCOMPARE(bar->HelpPageOfRow(finding), std::string("msg_133.htm"));
        QCOMPARE(bar->HelpPageOfRow(note), std::string());

        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        bar->List()->setFocus();
        bar->SelectRow(finding);
        QTest::keyClick(bar->List(), Qt::Key_F1);
        CHelpWindow* help = frame.HelpWindow();
        QVERIFY(help->isVisible());
        QCOMPARE(help->CurrentPage(), QString("msg_133.htm"));

        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        bar->List()->setFocus();
        bar->SelectRow(note);
        QTest::keyClick(bar->List(), Qt::Key_F1);
        QCOMPARE(help->CurrentPage(), QString("wnd_output.htm"));
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    // Check GSD leaves the keyboard focus in the text; the first Down in the
    // output list afterwards shows the line of the row it highlights.
    void checkKeepsTheFocusAndTheFirstDownNavigates() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        CGSDTextView* text = child->TextView();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        text->setFocus();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(text));
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(text));
        // What is typed next goes into the text.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
        QCOMPARE(child->GetDocument()->Text()->LineText(0).left(1), QStringLiteral("x"));
        text->Undo();

        CMyListBoxBar* bar = frame.OutputBar();
        QTableView* list = bar->List();
        list->setFocus(Qt::TabFocusReason);
        QCOMPARE(bar->SelectedRow(), -1);
        QTest::keyClick(list, Qt::Key_Down);
        const int row = bar->SelectedRow();
        QVERIFY(row >= 0);
        const int line = CMyListBoxBar::LineOfLineText(bar->RowText(row, 1));
        QVERIFY2(line >= 0, qPrintable(bar->RowText(row, 1)));
        QCOMPARE(SelectedTextLine(text), line);
        QVERIFY(ItemText(child->TreeView()->currentIndex()).endsWith(QStringLiteral(" (%1)").arg(line + 1)));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    void rebuildAfterAnEdit() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        CGSDTreeView* tree = child->TreeView();
        CTalunaDoc* doc = child->GetDocument();
        // Two lines go in above every key.
        doc->Text()->Insert(0, "; added\n; added\n");
        tree->setCurrentIndex(KeyItemAt(tree, 82));
        QCOMPARE(RecordedMessages().size(), 1);
        QVERIFY(RecordedMessages().first().startsWith("The internal database informations"));
        QVERIFY(!tree->isEnabled());
        QVERIFY(!child->InputView()->isEnabled());

        QAction* rebuild = Command(frame, ID_EXTRAS_REBUILD);
        QVERIFY(rebuild);
        QCOMPARE(rebuild->shortcut(), QKeySequence(Qt::Key_F5));
        rebuild->trigger();
        QVERIFY(tree->isEnabled());
        QVERIFY(child->InputView()->isEnabled());
        QVERIFY(frame.Context().m_pCurEntry == nullptr);
        QCOMPARE(frame.Context().m_Form.m_nFormMode, 0);
        QVERIFY(!KeyItemAt(tree, 82).isValid() || !ItemText(KeyItemAt(tree, 82)).startsWith("Vendor_Name"));
        const QModelIndex moved = KeyItemAt(tree, 84);
        QVERIFY(moved.isValid());
        QCOMPARE(ItemText(moved), QString("Vendor_Name (84)"));
        RecordedMessages().clear();
        tree->setCurrentIndex(moved);
        QVERIFY(RecordedMessages().isEmpty());
        QCOMPARE(frame.Context().m_pCurEntry->m_LongLine, 83);
        QCOMPARE(SelectedTextLine(child->TextView()), 83);

        // Check GSD checks the edited text, as taluna-check would check it saved.
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        const std::string bytes = doc->TextBytes();
        QCOMPARE(GuiRows(*frame.OutputBar()), CliRows(CliCheck(QByteArray::fromStdString(bytes))));
        QVERIFY(GuiRows(*frame.OutputBar())
                    .contains("Warning|Line 130|Key \"OrderNumber\": Unknown key! Use context menu to specify options "
                              "for check."));
        CloseAll(frame);
    }

    void checkGsdMakesAStaleTreeUsableAgain() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        CGSDTreeView* tree = child->TreeView();
        child->GetDocument()->Text()->Insert(0, "; added\n");
        tree->setCurrentIndex(KeyItemAt(tree, 82));
        QVERIFY(!tree->isEnabled());
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        QVERIFY(tree->isEnabled());
        QVERIFY(child->InputView()->isEnabled());
        QVERIFY(KeyItemAt(tree, 83).isValid());
        QCOMPARE(ItemText(KeyItemAt(tree, 83)), QString("Vendor_Name (83)"));
        // The rows navigate into the refilled tree.
        CMyListBoxBar* bar = frame.OutputBar();
        int row = -1;
        for (int i = 0; i < bar->RowCount() && row < 0; ++i)
            if (bar->RowText(i, 1) == "Line 129") row = i;
        QVERIFY(row >= 0);
        ClickRow(bar, row);
        QCOMPARE(ItemText(tree->currentIndex()), QString("OrderNumber (129)"));
        CloseAll(frame);
    }

    void settingsAreADocumentCommandAndActOnTheNextCheck() {
        CMainFrame frame;
        frame.show();
        QAction* settings = Command(frame, ID_EXTRAS_SETTINGS);
        QVERIFY(settings);
        QVERIFY(!settings->isEnabled());
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        QVERIFY(settings->isEnabled());
        const QByteArray bytes = ReadBytes(kCorpus + "/DPV10008.gsd");

        // Warnings: ticked in the dialog, the next check lists none.
        OnNextDialog<CSettingsDlg>([](CSettingsDlg* dialog) {
            QVERIFY(dialog->m_pWarnings->isEnabled());
            dialog->m_pWarnings->setChecked(true);
            dialog->accept();
        });
        settings->trigger();
        QCOMPARE(frame.Context().m_Settings.m_nWarnings, 1);
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        const QStringList quiet = GuiRows(*frame.OutputBar());
        QCOMPARE(quiet, CliRows(CliCheck(bytes, false, true)));
        for (const QString& row : quiet) QVERIFY2(!row.startsWith("Warning|"), qPrintable(row));
        // Only warnings were found, so neither pass reports a clean finish.
        QVERIFY(!quiet.contains("Info|---|... check finished without errors."));

        // Cancel changes nothing, even with boxes toggled.
        OnNextDialog<CSettingsDlg>([](CSettingsDlg* dialog) {
            QVERIFY(dialog->m_pWarnings->isChecked());
            dialog->m_pWarnings->setChecked(false);
            dialog->reject();
        });
        settings->trigger();
        QCOMPARE(frame.Context().m_Settings.m_nWarnings, 1);

        // NoSemanticCheck (shown disabled in the dialog, set in the profile):
        // the next check stops after the syntax pass.
        frame.Context().m_Settings.m_nWarnings = 0;
        frame.Context().m_Settings.m_bNoSemanticCheck = 1;
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        const QStringList failSafe = GuiRows(*frame.OutputBar());
        QCOMPARE(failSafe, CliRows(CliCheck(bytes, true, false)));
        QCOMPARE(failSafe.last(), QString("Info|---|FailSafe-Mode: Skipping semantic check."));
        QCOMPARE(frame.statusBar()->currentMessage(), QString("For Help, press F1"));

        // NoBackup: the next file opened leaves no backup behind.
        OnNextDialog<CSettingsDlg>([](CSettingsDlg* dialog) {
            dialog->m_pNoBackup->setChecked(true);
            dialog->accept();
        });
        settings->trigger();
        QFile::remove(m_Work.filePath("IPDS0B0D.bak"));
        QVERIFY(frame.OpenDocumentFile(Copy("IPDS0B0D.gsd")));
        QVERIFY(!QFile::exists(m_Work.filePath("IPDS0B0D.bak")));
        CloseAll(frame);
        QVERIFY(!settings->isEnabled());
    }

    void treeCommandsInTheDocumentWindow() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        CGSDTreeView* tree = child->TreeView();
        QMenu* menu = tree->ContextMenu();
        QVERIFY(menu);

        // Key Info opens the key's help topic.
        tree->setCurrentIndex(KeyItemAt(tree, 82));
        tree->MenuAction(ID_KEY_INFO)->trigger();
        CHelpWindow* help = frame.HelpWindow();
        QVERIFY(help->isVisible());
        QVERIFY(!help->CurrentPage().isEmpty());
        QVERIFY(help->CurrentPage() != "default.htm");

        // Check Syntax: the key's findings between the two notes, rows leading
        // into this document.
        tree->setCurrentIndex(KeyItemAt(tree, 128));
        tree->MenuAction(ID_CHECK_SYNTAX)->trigger();
        QCOMPARE(GuiRows(*frame.OutputBar()),
                 QStringList({"Info|---|Start Syntax-Check...",
                              "Warning|Line 128|Key \"OrderNumber\": Unknown key! Use context menu to specify "
                              "options for check.",
                              "Info|---|Stop Syntax-Check..."}));
        QCOMPARE(frame.OutputBar()->NavigationDocument(), static_cast<const void*>(child->GetDocument()));
        QVERIFY(tree->isEnabled());

        // Check Syntax after the key moved: the editor's contents changed.
        tree->setCurrentIndex(KeyItemAt(tree, 82));
        CTextBuffer* text = child->GetDocument()->Text();
        text->Insert(text->LineStart(80), "\n");
        RecordedMessages().clear();
        tree->MenuAction(ID_CHECK_SYNTAX)->trigger();
        QCOMPARE(RecordedMessages(), QStringList({"The contents of the editor changed. Please choose\n\"Check "
                                                  "GSD\" from the \"Extras\" menu."}));
        QCOMPARE(frame.OutputBar()->RowCount(), 0);
        QVERIFY(tree->isEnabled());
        QVERIFY(KeyItemAt(tree, 83).isValid());
        QCOMPARE(ItemText(KeyItemAt(tree, 83)), QString("Vendor_Name (83)"));
        RecordedMessages().clear();

        // Show Details lists the current entry.
        tree->setCurrentIndex(KeyItemAt(tree, 83));
        QStringList details;
        OnNextDialog<CObjectDetailsDialog>([&details](CObjectDetailsDialog* dialog) {
            details = dialog->Lines();
            dialog->accept();
        });
        tree->MenuAction(ID_SHOW_DETAILS)->trigger();
        QCOMPARE(details.value(1), QString("Key: \"Vendor_Name\""));
        QCOMPARE(details.value(3), QString("LongLine: 82"));

        // User Key registers the unknown key; the next check knows it.
        tree->setCurrentIndex(KeyItemAt(tree, 129));
        QVERIFY(tree->MenuAction(ID_USER_KEY)->isEnabled());
        OnNextDialog<CUserKeyDialog>([](CUserKeyDialog* dialog) { dialog->accept(); });
        tree->MenuAction(ID_USER_KEY)->trigger();
        QVERIFY(!QSettings("Velmar", "Taluna").value("UserKeys/ORDERNUMBER").toString().isEmpty());
        Command(frame, ID_EXTRAS_CHECK)->trigger();
        for (const QString& row : GuiRows(*frame.OutputBar()))
            QVERIFY2(!row.contains("\"OrderNumber\": Unknown key!"), qPrintable(row));
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    void applyInTheDocumentWindow() {
        CMainFrame frame;
        frame.show();
        CChildFrame* child = frame.OpenDocumentFile(Copy("DPV10008.gsd"));
        QVERIFY(child);
        CGSDTreeView* tree = child->TreeView();
        CInputView* form = child->InputView();
        CTalunaDoc* doc = child->GetDocument();
        CTextBuffer* text = doc->Text();
        QCOMPARE(text->LineText(86), QString("Station_Type = 0"));
        // A comment at the end of the line stays at its column.
        text->Insert(text->LineStart(86) + text->LineLength(86), "        ; slave");
        const qsizetype column = text->LineText(86).indexOf(';');
        Command(frame, ID_EXTRAS_REBUILD)->trigger();

        const QModelIndex item = KeyItemAt(tree, 87);
        QVERIFY(item.isValid());
        tree->setCurrentIndex(item);
        QCOMPARE(frame.Context().m_Form.m_nFormMode, 4);
        QVERIFY(form->Choice(0)->isChecked());
        form->Choice(1)->setChecked(true);
        QTest::mouseClick(form->ApplyButton(), Qt::LeftButton);
        const QString line = text->LineText(86);
        QVERIFY2(line.startsWith("Station_Type=1"), qPrintable(line));
        QCOMPARE(line.indexOf(';'), column);
        QVERIFY(doc->IsModified());
        QCOMPARE(tree->currentIndex(), item);
        QCOMPARE(ItemText(item), QString("Station_Type (87)"));
        QCOMPARE(GuiRows(*frame.OutputBar()),
                 QStringList({"Info|---|Start Syntax-Check...", "Info|---|Stop Syntax-Check..."}));
        QCOMPARE(frame.OutputBar()->NavigationDocument(), static_cast<const void*>(nullptr));

        // Undo takes the write-back back in one step.
        child->TextView()->Undo();
        QCOMPARE(text->LineText(86).left(16), QString("Station_Type = 0"));

        // A write-protected document refuses.
        doc->m_bWriteProtected = 1;
        RecordedMessages().clear();
        tree->setCurrentIndex(KeyItemAt(tree, 82));
        Command(frame, ID_EXTRAS_REBUILD)->trigger();
        tree->setCurrentIndex(KeyItemAt(tree, 82));
        const QString before = text->Text();
        QTest::mouseClick(form->ApplyButton(), Qt::LeftButton);
        QCOMPARE(RecordedMessages(), QStringList({"Error: The current file is write-protected!"}));
        QCOMPARE(text->Text(), before);
        doc->m_bWriteProtected = 0;
        CloseAll(frame);
    }
};

TALUNA_GUI_TEST_MAIN(CheckNavigationTest)
#include "check_navigation_test.moc"
