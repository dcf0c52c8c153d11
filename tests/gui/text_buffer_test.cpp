// The text of a document: lines and their own line ends as loaded, edits that
// undo and redo to the exact state before and after, typing that merges into
// one undo step, the modified flag and the search.

#include "app/text_buffer.h"

#include <QSignalSpy>

#include "gui_test_main.h"

namespace {

// The bytes of the buffer as a file: every line with its own end, the last
// one's only when the text had a final line end.
QByteArray Reassembled(const CTextBuffer& text, bool finalLineEnd) {
    QByteArray bytes;
    for (int line = 0; line < text.LineCount(); ++line) {
        const std::string_view chars = text.LineBytes(line);
        bytes.append(chars.data(), static_cast<qsizetype>(chars.size()));
        if (line + 1 < text.LineCount() || finalLineEnd) bytes += LineEndChars(text.LineEndOf(line));
    }
    return bytes;
}

struct SState {
    QString m_Text;
    QList<int> m_Starts, m_Lengths, m_Ends;
};

void CompareStates(const SState& actual, const SState& expected) {
    QCOMPARE(actual.m_Text, expected.m_Text);
    QCOMPARE(actual.m_Starts, expected.m_Starts);
    QCOMPARE(actual.m_Lengths, expected.m_Lengths);
    QCOMPARE(actual.m_Ends, expected.m_Ends);
}

SState StateOf(const CTextBuffer& text) {
    SState state{text.Text(), {}, {}, {}};
    for (int line = 0; line < text.LineCount(); ++line) {
        state.m_Starts << text.LineStart(line);
        state.m_Lengths << text.LineLength(line);
        state.m_Ends << static_cast<int>(text.LineEndOf(line));
    }
    return state;
}

// The lines of `text` must be those of the '\n'-joined `expected`.
void CompareLines(const CTextBuffer& text, const QString& expected) {
    QCOMPARE(text.Text(), expected);
    QCOMPARE(text.Length(), expected.size());
    const QStringList lines = expected.split('\n');
    QCOMPARE(text.LineCount(), lines.size());
    int start = 0;
    for (int line = 0; line < lines.size(); ++line) {
        QCOMPARE(text.LineStart(line), start);
        QCOMPARE(text.LineLength(line), lines[line].size());
        QCOMPARE(text.LineText(line), lines[line]);
        QCOMPARE(text.LineOf(start + static_cast<int>(lines[line].size())), line);
        start += static_cast<int>(lines[line].size()) + 1;
    }
}

}  // namespace

class TextBufferTest : public QObject {
    Q_OBJECT
private slots:
    void bytesComeBackLineByLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lines");
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("mixed ends") << QByteArray("#Profibus_DP\r\nA = 1\nB = 2\rC = 3\r\n") << 4;
        QTest::newRow("no final line end") << QByteArray("A = 1\r\nB = 2") << 2;
        QTest::newRow("CR before CR LF, LF before CR") << QByteArray("A\r\r\nB\n\rC\n\n") << 6;
        QTest::newRow("only line ends") << QByteArray("\r\n\n\r\r\n\r") << 5;
        QTest::newRow("code page bytes") << QByteArray("Info = \"\x80\xC4\xE4\x8A\x9A\xFF\"\n") << 1;
    }
    void bytesComeBackLineByLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lines);
        for (ELineEnd lineEnd : {ELineEnd::CrLf, ELineEnd::Lf, ELineEnd::Cr}) {
            CTextBuffer text;
            text.SetBytes(bytes.toStdString(), lineEnd);
            QCOMPARE(text.LineCount(), lines);
            QVERIFY(!text.IsModified());
            QVERIFY(!text.IsUndoAvailable());
            const bool finalLineEnd = bytes.endsWith('\n') || bytes.endsWith('\r');
            QCOMPARE(Reassembled(text, finalLineEnd), bytes);
            if (!finalLineEnd) QCOMPARE(text.LineEndOf(text.LineCount() - 1), lineEnd);
        }
    }

    void editsUndoAndRedoExactly_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("expected");
        // The text is "ab\ncd\nef\ngh", its lines ending CR LF, LF, CR, none.
        QTest::newRow("replace across lines") << 1 << 7 << "X" << QString("aXf\ngh");
        QTest::newRow("join two lines") << 2 << 3 << "" << QString("abcd\nef\ngh");
        QTest::newRow("split a line with CR LF") << 4 << 4 << "\r\n" << QString("ab\nc\nd\nef\ngh");
        QTest::newRow("a line by two") << 3 << 5 << "x\ny" << QString("ab\nx\ny\nef\ngh");
        QTest::newRow("insert lines at the end") << 11 << 11 << "\nij\r" << QString("ab\ncd\nef\ngh\nij\n");
        QTest::newRow("remove all") << 0 << 11 << "" << QString();
    }
    void editsUndoAndRedoExactly() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, inserted);
        QFETCH(QString, expected);
        CTextBuffer text;
        text.SetBytes("ab\r\ncd\nef\rgh", ELineEnd::Lf);
        const SState before = StateOf(text);
        const int firstLine = text.LineOf(from);
        const int lastLine = text.LineOf(to);
        QSignalSpy changes(&text, &CTextBuffer::contentsChange);
        text.Replace(from, to, inserted);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0], (QVariantList{from, to - from, static_cast<int>(expected.size()) - (11 - (to - from))}));
        CompareLines(text, expected);
        const SState after = StateOf(text);
        // The lines the edit did not touch keep their ends.
        const qsizetype kept = before.m_Ends.size() - 1 - lastLine;
        for (int i = 0; i < firstLine; ++i) QCOMPARE(after.m_Ends[i], before.m_Ends[i]);
        QCOMPARE(after.m_Ends.sliced(after.m_Ends.size() - kept), before.m_Ends.sliced(before.m_Ends.size() - kept));
        QVERIFY(text.IsModified());

        QVERIFY(text.Undo() >= 0);
        CompareStates(StateOf(text), before);
        QCOMPARE(Reassembled(text, false), QByteArray("ab\r\ncd\nef\rgh"));
        QVERIFY(!text.IsModified());
        QVERIFY(!text.IsUndoAvailable());
        QVERIFY(text.Redo() >= 0);
        CompareStates(StateOf(text), after);
        QVERIFY(!text.IsRedoAvailable());
        QCOMPARE(text.Redo(), -1);
    }

    void typingMergesWithinALineUntilASavePoint() {
        CTextBuffer text;
        text.SetBytes({}, ELineEnd::CrLf);
        for (const char* c : {"a", "b", "c"}) text.Type(text.Length(), text.Length(), c);
        text.Undo();
        QCOMPARE(text.Text(), QString());
        QVERIFY(!text.IsUndoAvailable());
        text.Redo();
        QCOMPARE(text.Text(), QString("abc"));

        // A save point ends the step; undo returns to the saved text unmodified.
        text.SetModified(false);
        for (const char* c : {"d", "e"}) text.Type(text.Length(), text.Length(), c);
        QVERIFY(text.IsModified());
        text.Undo();
        QCOMPARE(text.Text(), QString("abc"));
        QVERIFY(!text.IsModified());
        text.Undo();
        QCOMPARE(text.Text(), QString());
        QVERIFY(text.IsModified());
        text.Redo();
        QVERIFY(!text.IsModified());

        // A line break ends the step: what is typed after it does not undo the
        // characters before it.
        text.Type(3, 3, "x");
        text.Type(4, 4, "\n");
        text.Type(5, 5, "y");
        int undos = 0;
        while (text.Text() != "abcx" && text.Text() != "abcx\n" && undos < 3) {
            text.Undo();
            ++undos;
        }
        QVERIFY(undos > 0 && undos <= 2);
        QVERIFY(!text.Text().contains('y'));
        if (text.Text() == "abcx\n") text.Undo();
        QCOMPARE(text.Text(), QString("abcx"));
        text.Undo();
        QCOMPARE(text.Text(), QString("abc"));
        QVERIFY(!text.IsModified());
    }

    void findsAsTheFindDialogAsks_data() {
        using F = QTextDocument;
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("found");
        // "Slot" at 0, "xslot" at 11, "SLOT2" at 25, "slot" at 31 of the text below.
        QTest::newRow("forward from the start") << "slot" << 0 << 0 << 0;
        QTest::newRow("forward, at or after") << "slot" << 1 << 0 << 12;
        QTest::newRow("forward, starting at from") << "slot" << 31 << 0 << 31;
        QTest::newRow("forward, none after") << "slot" << 32 << 0 << -1;
        QTest::newRow("backward, starting at from") << "slot" << 31 << int(F::FindBackward) << 31;
        QTest::newRow("backward, starting before from") << "slot" << 30 << int(F::FindBackward) << 25;
        QTest::newRow("backward, from the end") << "slot" << 38 << int(F::FindBackward) << 31;
        QTest::newRow("backward, none before") << "xslot" << 10 << int(F::FindBackward) << -1;
        QTest::newRow("case-sensitive") << "slot" << 0 << int(F::FindCaseSensitively) << 12;
        QTest::newRow("whole words") << "slot" << 1 << int(F::FindWholeWords) << 31;
        QTest::newRow("whole words, backward") << "slot" << 28 << int(F::FindWholeWords | F::FindBackward) << 0;
        QTest::newRow("code page letters, either case") << "äRGER" << 0 << 0 << 5;
        QTest::newRow("code page letters, case-sensitive") << "ärger" << 0 << int(F::FindCaseSensitively) << 17;
        QTest::newRow("S with caron and OE, either case") << "šœ" << 0 << 0 << 36;
        QTest::newRow("a question mark") << "?" << 0 << 0 << 23;
        QTest::newRow("not in the code page") << "Ω" << 0 << 0 << -1;
    }
    void findsAsTheFindDialogAsks() {
        QFETCH(QString, needle);
        QFETCH(int, from);
        QFETCH(int, flags);
        QFETCH(int, found);
        CTextBuffer text;
        text.SetBytes("Slot \xC4rger\r\nxslot \xE4rger ?\nSLOT2 slot \x8A\x8C", ELineEnd::CrLf);
        QCOMPARE(text.Text(), QString("Slot Ärger\nxslot ärger ?\nSLOT2 slot ŠŒ"));
        QCOMPARE(text.Find(needle, from, QTextDocument::FindFlags(flags)), found);
    }
};

TALUNA_GUI_TEST_MAIN(TextBufferTest)
#include "text_buffer_test.moc"
