// The document window in use: the text pane keeps its height while keys are
// selected, refills keep the tree, the key and the scroll positions, read-only
// documents say so and refuse edits, and the help and floating output windows
// open where they can be seen.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeView>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "gui_test_main.h"
#include "main_window_fixture.h"
#include "tree_items.h"
#include "views/gsd_text_view.h"
#include "views/gsd_tree_view.h"
#include "views/input_view.h"
#include "views/list_box_bar.h"

namespace {

// An item as the texts from the root down to it.
QString PathOf(QModelIndex item) {
    QStringList texts;
    for (; item.isValid(); item = item.parent()) texts.prepend(ItemText(item));
    return texts.join('/');
}

QStringList ExpandedPaths(CGSDTreeView* tree) {
    QStringList paths;
    for (const QModelIndex& item : AllItems(tree->RootItem()))
        if (tree->isExpanded(item)) paths << PathOf(item);
    return paths;
}

// Whether 0-based line `line` lies within the text pane's visible height.
bool LineVisible(CGSDTextView* text, int line) {
    const QRect rect = text->LineRect(line);
    return rect.top() >= 0 && rect.bottom() <= text->viewport()->height();
}

}  // namespace

class DocumentWindowTest : public QObject, CMainWindowFixture {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(EnterWorkDirectory()); }
    void cleanupTestCase() { LeaveWorkDirectory(); }
    void init() { ResetRecordsAndSettings(); }

    // Selecting keys of every kind leaves the splitter as it is and shows the
    // key's line, in a maximized window and in three tiled ones; a size the
    // user dragged stays as well.
    void selectionsKeepTheSplitterAndShowTheLine_data() {
        QTest::addColumn<int>("windows");
        QTest::newRow("maximized") << 1;
        QTest::newRow("three tiled") << 3;
    }
    void selectionsKeepTheSplitterAndShowTheLine() {
        QFETCH(int, windows);
        CMainFrame frame;
        frame.resize(1000, 720);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        for (int i = 0; i < windows; ++i)
            QVERIFY(frame.OpenDocumentFile(Copy("IPDS0B0D.gsd", QStringLiteral("window%1.gsd").arg(i))));
        if (windows > 1) frame.MdiArea()->tileSubWindows();
        QCoreApplication::processEvents();
        // Module (value list), Bit, root, text, choice, Unsigned8, Boolean, a module's key.
        const int lines[] = {189, 155, 0, 20, 30, 135, 42, 190};
        for (CChildFrame* child : frame.Children()) {
            CGSDTreeView* tree = child->TreeView();
            CGSDTextView* text = child->TextView();
            QSplitter* inner = child->InnerSplitter();
            const QList<int> sizes = inner->sizes();
            QVERIFY2(text->viewport()->height() >= 5 * text->fontMetrics().lineSpacing(),
                     qPrintable(QStringLiteral("text pane %1 px high").arg(text->viewport()->height())));
            auto selectAll = [&](const QList<int>& expected) {
                for (int line : lines) {
                    const QModelIndex item = line == 0 ? tree->RootItem() : KeyItemAt(tree, line);
                    QVERIFY(item.isValid());
                    tree->setCurrentIndex(item);
                    QCoreApplication::processEvents();
                    QCOMPARE(inner->sizes(), expected);
                    if (line > 0) QVERIFY2(LineVisible(text, line - 1), qPrintable(ItemText(item)));
                }
            };
            selectAll(sizes);
            if (QTest::currentTestFailed()) return;
            const QList<int> dragged{sizes[0] - 40, sizes[1] + 40};
            inner->setSizes(dragged);
            QCOMPARE(inner->sizes(), dragged);
            selectAll(dragged);
            if (QTest::currentTestFailed()) return;
        }
        CloseAll(frame);
    }

    // Check GSD, Rebuild and the tree's Check Syntax keep the expanded and the
    // collapsed groups, the selected key with its form, and the scroll
    // positions of tree and text.
    void refillKeepsTheTreeTheKeyAndTheScrollPositions_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("Check GSD") << int(ID_EXTRAS_CHECK);
        QTest::newRow("Rebuild") << int(ID_EXTRAS_REBUILD);
        QTest::newRow("Check Syntax") << int(ID_CHECK_SYNTAX);
    }
    void refillKeepsTheTreeTheKeyAndTheScrollPositions() {
        QFETCH(int, command);
        CMainFrame frame;
        frame.resize(1000, 720);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CChildFrame* child = frame.OpenDocumentFile(Copy("IPDS0B0D.gsd"));
        QVERIFY(child);
        QCoreApplication::processEvents();
        CGSDTreeView* tree = child->TreeView();
        CGSDTextView* text = child->TextView();
        tree->collapse(ChildNamed(tree->RootItem(), "General Keys"));
        tree->expand(KeyItemAt(tree, 189));
        tree->setCurrentIndex(KeyItemAt(tree, 190));
        QCoreApplication::processEvents();
        QScrollBar* treeBar = tree->verticalScrollBar();
        treeBar->setValue(treeBar->maximum() / 2);
        QVERIFY(treeBar->value() > 0);
        text->verticalScrollBar()->setValue(120);
        QCOMPARE(text->verticalScrollBar()->value(), 120);

        const QStringList expanded = ExpandedPaths(tree);
        const QString current = PathOf(tree->currentIndex());
        const int treeScroll = treeBar->value();
        const int cursor = text->CaretPosition();
        const QString help = child->InputView()->HelpPane()->toPlainText();
        const int mode = frame.Context().m_Form.m_nFormMode;
        QVERIFY(expanded.contains(PathOf(KeyItemAt(tree, 189))));
        QVERIFY(!expanded.contains(PathOf(ChildNamed(tree->RootItem(), "General Keys"))));

        if (command == ID_CHECK_SYNTAX) {
            tree->ContextMenu();
            tree->MenuAction(ID_CHECK_SYNTAX)->trigger();
        } else {
            Command(frame, command)->trigger();
        }
        QCoreApplication::processEvents();
        QCOMPARE(ExpandedPaths(tree), expanded);
        QCOMPARE(PathOf(tree->currentIndex()), current);
        QCOMPARE(treeBar->value(), treeScroll);
        QCOMPARE(text->verticalScrollBar()->value(), 120);
        QCOMPARE(text->CaretPosition(), cursor);
        // The key stays the current entry, one of the new database.
        QVERIFY(frame.Context().m_pCurEntry != nullptr);
        QCOMPARE(frame.Context().m_pCurEntry->m_LongLine, 189);
        QCOMPARE(tree->EntryOfItem(tree->currentIndex()), frame.Context().m_pCurEntry);
        QCOMPARE(frame.Context().m_Form.m_nFormMode, mode);
        QCOMPARE(child->InputView()->HelpPane()->toPlainText(), help);
        QVERIFY(RecordedMessages().isEmpty());
        CloseAll(frame);
    }

    // A document opened read-only says so in its title, offers no command
    // that would change it, and refuses typing visibly.
    void readOnlyDocumentsSayAndRefuseEditing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("readOnlyBox");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only box") << "box.gsd" << true << true;
        QTest::newRow("hidden flag") << ".hidden.gsd" << false << true;
        QTest::newRow("writable") << "plain.gsd" << false << false;
    }
    void readOnlyDocumentsSayAndRefuseEditing() {
        QFETCH(QString, name);
        QFETCH(bool, readOnlyBox);
        QFETCH(bool, readOnly);
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QVERIFY(frame.OpenDocumentFile(Copy("DPV10008.gsd", "other.gsd")));
        frame.OpenFiles({Copy("DPV10008.gsd", name)}, readOnlyBox);
        CChildFrame* child = frame.ActiveChild();
        QVERIFY(child);
        QCOMPARE(child->GetDocument()->Title(), name);
        auto* sub = qobject_cast<QMdiSubWindow*>(child->parentWidget());
        const int changing[] = {ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_REPLACE, ID_FILE_SAVE};
        auto check = [&] {
            QCOMPARE(sub->windowTitle().contains(QStringLiteral("[read-only]")), readOnly);
            for (int id : changing) QCOMPARE(Command(frame, id)->isEnabled(), !readOnly);
            QVERIFY(Command(frame, ID_EDIT_COPY)->isEnabled());
            QVERIFY(Command(frame, ID_EDIT_FIND)->isEnabled());
        };
        check();
        if (QTest::currentTestFailed()) return;

        CGSDTextView* text = child->TextView();
        text->setFocus();
        const QString before = text->Text()->Text();
        frame.statusBar()->clearMessage();
        QTest::keyClicks(text, "xy");
        QCOMPARE(text->Text()->Text() == before, readOnly);
        QCOMPARE(frame.statusBar()->currentMessage().contains(QStringLiteral("read-only")), readOnly);

        // Another window's commands are its own; coming back restores these.
        frame.MdiArea()->activateNextSubWindow();
        QVERIFY(frame.ActiveChild() != child);
        for (int id : changing) QVERIFY(Command(frame, id)->isEnabled());
        frame.MdiArea()->setActiveSubWindow(sub);
        check();
        CloseAll(frame);
    }

    // The help window opens centred on the main window, and on the screen
    // when centring would put it partly off.
    void helpWindowOpensCentredOnTheMainWindow() {
        CMainFrame frame;
        frame.setGeometry(20, 20, 560, 400);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QRect screen = frame.screen()->availableGeometry();
        QVERIFY(screen.contains(frame.frameGeometry()));
        CHelpWindow* help = frame.HelpWindow();
        help->resize(400, 300);
        Command(frame, ID_HELP_INDEX)->trigger();
        QTRY_VERIFY(help->isVisible());
        const QPoint offset = help->frameGeometry().center() - frame.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("offset %1,%2").arg(offset.x()).arg(offset.y())));
        QVERIFY(screen.contains(help->frameGeometry()));
        help->close();

        frame.setGeometry(screen.right() - 300, screen.bottom() - 250, 280, 230);
        Command(frame, ID_HELP_INDEX)->trigger();
        QTRY_VERIFY(help->isVisible());
        QVERIFY(screen.contains(help->frameGeometry()));
        help->close();
    }

    // The floating output window has a frame of its own and stays on the
    // screen, however it was placed; docked again, it is part of the window.
    void floatingOutputWindowHasAFrameAndStaysOnTheScreen() {
        CMainFrame frame;
        frame.resize(1000, 720);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QRect screen = frame.screen()->availableGeometry();
        CMyListBoxBar* bar = frame.OutputBar();
        auto framed = [bar] {
            const Qt::WindowFlags flags = bar->windowFlags();
            return bar->isWindow() && bar->isVisible() && !flags.testFlag(Qt::FramelessWindowHint) &&
                   flags.testFlag(Qt::WindowTitleHint);
        };
        bar->setFloating(true);
        QTRY_VERIFY(framed());
        QTRY_VERIFY(screen.contains(bar->frameGeometry()));

        // The frameless flags the dock widget takes on some window systems are
        // replaced by a frame.
        bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        bar->show();
        QTRY_VERIFY(framed());
        QVERIFY(bar->isFloating());

        // Placed off the screen, as a state saved on a larger screen places it.
        bar->hide();
        bar->setGeometry(screen.right() + 200, screen.bottom() - 20, 500, 200);
        bar->show();
        QTRY_VERIFY(screen.contains(bar->frameGeometry()));
        QVERIFY(framed());

        bar->setFloating(false);
        QVERIFY(!bar->isWindow());
        QVERIFY(bar->isVisible());
    }
};

TALUNA_GUI_TEST_MAIN(DocumentWindowTest)
#include "document_window_test.moc"
