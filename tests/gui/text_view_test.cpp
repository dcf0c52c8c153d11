// The text pane as a user drives it: keys and clicks edit the document's text
// and move the caret and the selection as in any plain-text editor.

#include <QClipboard>
#include <QLineEdit>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QVBoxLayout>

#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "gui_test_main.h"
#include "model/taluna_context.h"
#include "views/gsd_highlighter.h"
#include "views/gsd_text_view.h"

namespace {

// Plays `script` into `view`: text is typed; "[Key]" is a key sequence such as
// "[Shift+End]" or one of the standard "[Undo]", "[Redo]", "[Cut]", "[Paste]".
void Play(CGSDTextView* view, const QString& script) {
    static const QHash<QString, QKeySequence::StandardKey> standard = {
        {"Undo", QKeySequence::Undo}, {"Redo", QKeySequence::Redo},   {"Cut", QKeySequence::Cut},
        {"Copy", QKeySequence::Copy}, {"Paste", QKeySequence::Paste}, {"SelectAll", QKeySequence::SelectAll}};
    qsizetype at = 0;
    while (at < script.size()) {
        if (script.at(at) == QChar('[')) {
            const qsizetype end = script.indexOf(QChar(']'), at + 1);
            const QString name = script.mid(at + 1, end - at - 1);
            const QKeySequence key = standard.contains(name) ? QKeySequence(standard.value(name))
                                                             : QKeySequence(name, QKeySequence::PortableText);
            QTest::keySequence(view, key);
            at = end + 1;
        } else {
            QTest::keyClicks(view, script.mid(at, 1));
            ++at;
        }
    }
}

}  // namespace

class TextViewTest : public QObject {
    Q_OBJECT
private:
    CTalunaContext m_Context;

private slots:
    void keysEditAndMove_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("expectedCaret");
        QTest::newRow("typing inserts at the caret") << "Key=1" << 3 << "xy"
                                                     << "Keyxy=1" << 5 << 5;
        QTest::newRow("backspace joins a line to the one above") << "a\nb" << 2 << "[Backspace]"
                                                                 << "ab" << 1 << 1;
        QTest::newRow("delete joins the next line") << "a\nb" << 1 << "[Del]"
                                                    << "ab" << 1 << 1;
        QTest::newRow("return splits the line") << "ab" << 1 << "[Return]"
                                                << "a\nb" << 2 << 2;
        QTest::newRow("typing replaces the selection") << "hello\nx" << 0 << "[Shift+End]X"
                                                       << "X\nx" << 1 << 1;
        QTest::newRow("up and down keep the column") << "abcdef\nab\nabcdef" << 5 << "[Down][Down]"
                                                     << "abcdef\nab\nabcdef" << 15 << 15;
        QTest::newRow("word moves") << "one two three" << 0 << "[Ctrl+Right][Ctrl+Right]"
                                    << "one two three" << 8 << 8;
        QTest::newRow("word moves back") << "one two three" << 13 << "[Ctrl+Left]"
                                         << "one two three" << 8 << 8;
        QTest::newRow("typing undoes in one step") << "k" << 1 << "abc[Undo]"
                                                   << "k" << 1 << 1;
        QTest::newRow("redo gives it back") << "k" << 1 << "abc[Undo][Redo]"
                                            << "kabc" << 4 << 4;
        QTest::newRow("ctrl+y redoes too") << "k" << 1 << "abc[Undo][Ctrl+Y]"
                                           << "kabc" << 4 << 4;
        QTest::newRow("cut and paste") << "abc" << 0 << "[Shift+Right][Cut][End][Paste]"
                                       << "bca" << 3 << 3;
        QTest::newRow("left ends a selection at its start") << "abc" << 0 << "[Shift+End][Left]"
                                                            << "abc" << 0 << 0;
        QTest::newRow("shift selects across lines") << "ab\ncd" << 1 << "[Shift+Down]"
                                                    << "ab\ncd" << 1 << 4;
        QTest::newRow("home, end and the ends of the text")
            << "ab\ncd\nef" << 4 << "[End]x[Home]y[Ctrl+Home]z[Ctrl+End]w"
            << "zab\nycdx\nefw" << 12 << 12;
        QTest::newRow("select all and delete") << "a\nb\nc" << 2 << "[SelectAll][Del]"
                                               << "" << 0 << 0;
        QTest::newRow("tab is typed") << "ab" << 1 << "[Tab]"
                                      << "a\tb" << 2 << 2;
        QTest::newRow("ctrl+backspace deletes a word") << "Key = value" << 11 << "[Ctrl+Backspace]"
                                                       << "Key = " << 6 << 6;
    }
    void keysEditAndMove() {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QFETCH(int, anchor);
        QFETCH(int, expectedCaret);
        CTalunaDoc doc(m_Context);
        // Beside another widget that takes the focus, as in the window: Tab
        // must not move the focus there.
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* view = new CGSDTextView(&doc, &window);
        layout->addWidget(view);
        layout->addWidget(new QLineEdit(&window));
        window.resize(400, 240);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        view->setFocus();
        doc.Text()->Insert(0, text);
        view->SetCaretPosition(caret);
        Play(view, script);
        QVERIFY(view->hasFocus());
        QCOMPARE(doc.Text()->Text(), expected);
        QCOMPARE(view->AnchorPosition(), anchor);
        QCOMPARE(view->CaretPosition(), expectedCaret);
    }

    // A click puts the caret where it points; a double click selects the word
    // and names its line; a shift click extends the selection.
    void mouseMovesTheCaret() {
        CTalunaDoc doc(m_Context);
        CGSDTextView view(&doc);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        doc.Text()->Insert(0, "first\nVendor_Name = x\nlast");
        const QRect line = view.LineRect(1);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(line.left() + 1, line.center().y()));
        QCOMPARE(view.CaretPosition(), 6);
        QSignalSpy doubleClicked(&view, &CGSDTextView::lineDoubleClicked);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(line.left() + 20, line.center().y()));
        QCOMPARE(doubleClicked.size(), 1);
        QCOMPARE(doubleClicked.at(0).at(0).toInt(), 1);
        QCOMPARE(view.SelectedText(), QString("Vendor_Name"));
        const QRect last = view.LineRect(2);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          QPoint(last.right() - 2, last.center().y()));
        QCOMPARE(view.SelectedText(), QString("Vendor_Name = x\nlast"));
        // A third click right after a double click selects the whole line.
        const QPoint word(line.left() + 20, line.center().y());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, word);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, word);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, word);
        QCOMPARE(view.SelectedText(), QString("Vendor_Name = x\n"));
    }

    // The pane draws only what it shows: a text of a million lines is coloured
    // line by line as it scrolls, not as a whole.
    void onlyShownLinesAreColoured() {
        CTalunaDoc doc(m_Context);
        doc.Text()->Insert(0, QString("Key = 1\n").repeated(1000000));
        CGSDTextView view(&doc);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const long long before = doc.Highlighter()->LinesColoured();
        view.SetCaretPosition(doc.Text()->LineStart(500000));
        view.viewport()->repaint();
        QCOMPARE(view.CaretLine(), 500000);
        QVERIFY(view.FirstVisibleLine() > 499900 && view.FirstVisibleLine() <= 500000);
        QVERIFY(doc.Highlighter()->LinesColoured() - before < 100);
    }

    // Printing lays out the whole text on pages of its own, not the pane's.
    void printsEveryLine() {
        CTalunaDoc doc(m_Context);
        doc.Text()->Insert(0, QString("Vendor_Name = \"V\"\n").repeated(300));
        CGSDTextView view(&doc);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("text.pdf"));
        view.PrintDocument(&printer);
        QFile pdf(dir.filePath("text.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        // About 60 lines a page: 300 lines take several pages.
        const qsizetype pages = bytes.count("/Type /Page") - bytes.count("/Type /Pages");
        QVERIFY2(pages >= 4, qPrintable(QString::number(pages)));
    }
};

TALUNA_GUI_TEST_MAIN(TextViewTest)
#include "text_view_test.moc"
