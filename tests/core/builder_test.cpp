// The database builder: which lines become entries, where the keyword ends, and
// how comments, continuation lines, quotes and index parentheses shape the value.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/value_scanners.h"
#include "check/process_key.h"
#include "model/database_builder.h"
#include "model/key_database.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"
#include "model/text_lines.h"

namespace {

const std::string S = "\xA7";  // the marker for a closing quote or parenthesis

struct SBuilt {
    CTalunaContext context;
    CKeyDatabase database;
};

// Builds from the lines one by one, and again from one text, where entries
// view the keywords and values that stand in it unchanged: both must agree.
void Build(SBuilt& built, std::vector<std::string> lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\r\n" : "") + lines[i];
    CVectorLineSource source(std::move(lines));
    const int before = built.database.GetCount();  // a build appends
    BuildDatabase(built.context, KeyClassifier(), source, built.database);
    CTalunaContext context;
    context.m_Profile = built.context.m_Profile;
    CKeyDatabase viewing;
    {
        CTextLineSource whole(text);
        BuildDatabase(context, KeyClassifier(), whole, viewing);
    }
    // The source is gone; the database keeps what its entries view.
    ASSERT_EQ(viewing.GetCount(), built.database.GetCount() - before);
    for (int i = 0; i < viewing.GetCount(); ++i) {
        const CKeyEntry& a = *built.database.GetAt(before + i);
        const CKeyEntry& b = *viewing.GetAt(i);
        EXPECT_EQ(a.m_Keyword, b.m_Keyword) << i;
        EXPECT_EQ(a.m_Value, b.m_Value) << i;
        EXPECT_EQ(a.m_Line, b.m_Line) << i;
        EXPECT_EQ(a.m_LongLine, b.m_LongLine) << i;
        EXPECT_EQ(a.m_bNoString, b.m_bNoString) << i;
        ASSERT_EQ(a.m_Ready.size(), b.m_Ready.size()) << i;
        for (size_t k = 0; k < a.m_Ready.size(); ++k) EXPECT_EQ(a.m_Ready[k], b.m_Ready[k]) << i << ":" << k;
    }
}

struct SEntryCase {
    const char* name;
    std::string line;  // one key line after the header
    std::string keyword;
    std::string value;
    int noString;
};

// Unknown keywords are used so that classification leaves the value as the
// builder handed it over.
TEST(DatabaseBuilder, KeywordValueAndNoStringFlagOfOneLine) {
    const SEntryCase cases[] = {
        {"blank and equal sign", "Foo = 1", "Foo", "1", 1},
        {"equal sign only", "Foo=1", "Foo", "1", 1},
        {"blank only", "Foo 1", "Foo", "1", 1},
        {"keyword alone", "Foo", "Foo", "", 1},
        {"tab between key and value", "Foo\t5", "Foo\t5", "", 1},
        {"tab before the equal sign", "Foo\t= 1", "Foo", "1", 1},
        {"keyword with comment", "Foo;comment", "Foo", "", 1},
        {"keyword, blank and comment", "Foo ; comment", "Foo", "", 1},
        {"quoted string with comment", "Foo = \"Maker\" ; note", "Foo", "Maker" + S, 0},
        {"semicolon inside a string cuts it", "Foo = \"A;B\"", "Foo", "A", 0},
        {"empty string without blanks", "Foo=\"\"", "Foo", S, 1},
        {"empty string with blanks", "Foo = \"\"", "Foo", S, 0},
        {"string and number", "Foo = \"Name\" 0x11", "Foo", "Name" + S + " 0x11", 0},
        {"two strings", "Foo = \"a\" \"b\"", "Foo", "a" + S + "  b" + S, 0},
        {"comment before a quote", "Foo = 1 ; \"x\"", "Foo", "1", 1},
        {"second string in a comment", "Foo = \"a\" ; \"b;c\"", "Foo", "a" + S, 0},
        {"index parentheses", "Foo(0) = 0x01,0x02", "Foo", "0" + S + "   0x01,0x02", 1},
        {"parentheses inside a string stay", "Foo = \"a(b)\"", "Foo", "a(b)" + S, 0},
        {"parentheses inside a comment stay", "Foo = 1 ; (x)", "Foo", "1", 1},
        {"further equal signs before a string", "Foo = 1 = 2", "Foo", "1   2", 1},
        {"equal sign inside a string stays", "Foo = \"a=b\"", "Foo", "a=b" + S, 0},
        {"index and string", "Foo(1) = \"ab\"", "Foo", "1" + S + "    ab" + S, 0},
        {"marker character after a semicolon cuts there", "Foo = a ; b" + S + "c", "Foo", "a ; b", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SBuilt built;
        Build(built, {"#Profibus_DP", c.line});
        ASSERT_EQ(built.database.GetCount(), 1);
        const CKeyEntry& e = *built.database.GetAt(0);
        EXPECT_EQ(e.m_Keyword, c.keyword);
        EXPECT_EQ(e.m_Value, c.value);
        EXPECT_EQ(e.m_bNoString, c.noString);
        EXPECT_EQ(e.m_Line, 1);
        EXPECT_EQ(e.m_LongLine, 1);
    }
}

// A line of up to 64 bytes without quotes or backslashes is split in one pass
// over its bytes; a longer one takes the general steps. A comment that makes
// a line longer changes nothing of its entry, so both ways must agree.
TEST(DatabaseBuilder, ShortLinesSplitAsTheSameLinesMadeLong) {
    const std::string lines[] = {
        "Foo = 1",
        "Foo(3)=7",
        "Fo)o = 1",
        "Foo)=1",
        "Foo = (1)",
        "Foo == 2",
        "Foo= =2",
        "Foo(1)(2) = 3",
        "(Foo) = 1",
        "Foo ; = (x)",
        "Foo;x=(1)",
        "Foo=1;)",
        "Foo( = 1",
        "=1",
        "Foo=",
        "Foo =\t",
        "Foo = a b c",
        "Foo\t=\t1",
        "Module = \"M\" 0x10",
        "Module = 7 0x10",
        "Ext_User_Prm_Data_Ref(2) = 5",
        "Unit_Diag_Bit(3) = 1",
        "Ext_User_Prm_Data_Const(0)=1,2",
        "Slot(1) = 2 3-4",
        "Foo(=1)",
        "Foo =(1)= 2",
        "Foo 1=(2)",
        "Foo\v= 1",
        "Vendor_Name = \"Orvan\"",
        "Foo = \"a=b\" x=y",
        "Foo = x=y \"a(b)\"",
        "Foo(1) = \"a\" (2) \"b\"",
        "Foo = 1 ; \"c\"",
        "Foo ;= 1",
        "Foo 1",
        "Foo = \"a;b\" 2",
        "Foo = \"a\" \"b\" \"c",
        "Foo = \"\"",
        "Fo\"o = 1",
        "Foo(\"1\") = 2",
        "Foo \"x\"",
        "Foo=)\"a\"",
        "Module = \"M=1\" 0x10 ; x",
        "TEXT(3) = \"On\"",
        "Fo\"o(1)\"",
    };
    for (const ECheckProfile profile : {ECheckProfile::Classic, ECheckProfile::Rev5})
        for (const std::string& line : lines) {
            SCOPED_TRACE(line + (profile == ECheckProfile::Rev5 ? " (rev5)" : ""));
            // The revision 5 profile reads a ';' after an open quote as part of the string.
            if (profile == ECheckProfile::Rev5 && std::count(line.begin(), line.end(), '"') % 2 == 1) continue;
            const std::string padded = line + ";" + std::string(70, 'x');
            SBuilt plain, general;
            plain.context.m_Profile = general.context.m_Profile = profile;
            Build(plain, {"#Profibus_DP", line});
            Build(general, {"#Profibus_DP", padded});
            ASSERT_EQ(plain.database.GetCount(), general.database.GetCount());
            for (int i = 0; i < plain.database.GetCount(); ++i) {
                const CKeyEntry& a = *plain.database.GetAt(i);
                const CKeyEntry& b = *general.database.GetAt(i);
                EXPECT_EQ(a.m_Keyword, b.m_Keyword);
                EXPECT_EQ(a.m_Value, b.m_Value);
                EXPECT_EQ(a.m_bNoString, b.m_bNoString);
                ASSERT_EQ(a.m_Ready.size(), b.m_Ready.size());
                for (size_t k = 0; k < a.m_Ready.size(); ++k) EXPECT_EQ(a.m_Ready[k], b.m_Ready[k]) << k;
                // What the build noted about the equal sign is the rule's answer.
                if (a.m_EqualSign != CKeyEntry::EQUAL_SIGN_UNKNOWN) {
                    EXPECT_EQ(a.m_EqualSign == CKeyEntry::EQUAL_SIGN_OK, CheckEqualSign(line));
                }
            }
        }
}

TEST(DatabaseBuilder, NoStringFlagHoldsForOneEntryOnly) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Foo = \"abc\"", "Bar = 1"});
    ASSERT_EQ(built.database.GetCount(), 2);
    EXPECT_EQ(built.database.GetAt(0)->m_bNoString, 0);
    EXPECT_EQ(built.database.GetAt(1)->m_bNoString, 1);
}

TEST(DatabaseBuilder, LinesBeforeTheHeaderAndCommentsAreSkipped) {
    SBuilt built;
    Build(built, {"Foo = 1", "; comment", "", "#Profibus_DP", "", "   ; indented comment", "  Bar = 2  ",
                  "#PROFIBUS_DP", "Baz"});
    ASSERT_EQ(built.database.GetCount(), 3);
    EXPECT_EQ(built.database.GetAt(0)->m_Keyword, "Bar");
    EXPECT_EQ(built.database.GetAt(0)->m_Line, 6);
    // A second header line is an ordinary key line.
    EXPECT_EQ(built.database.GetAt(1)->m_Keyword, "#PROFIBUS_DP");
    EXPECT_EQ(built.database.GetAt(1)->m_Value, "");
    EXPECT_EQ(built.database.GetAt(1)->m_Line, 7);
    EXPECT_EQ(built.database.GetAt(2)->m_Keyword, "Baz");
    EXPECT_EQ(built.database.GetAt(2)->m_Line, 8);
}

TEST(DatabaseBuilder, HeaderIsRecognisedInAnyCaseWithComment) {
    struct {
        const char* header;
        bool recognised;
    } cases[] = {
        {"#PROFIBUS_DP", true},      {"#profibus_dp ; header", true},
        {"  #Profibus_DP\t", true},  {"#Profibus_DP;x", true},
        {"; #PROFIBUS_DP", false},   {"#PROFIBUS_DP x", false},
        {"#PROFIBUS_DP = 1", false}, {"#PROFIBUS", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        SBuilt built;
        Build(built, {c.header, "GSD_Revision = 1"});
        EXPECT_EQ(built.database.GetCount(), c.recognised ? 1 : 0);
    }
}

TEST(DatabaseBuilder, TextWithoutHeaderGivesAnEmptyDatabase) {
    SBuilt built;
    Build(built, {"GSD_Revision = 1", "Vendor_Name = \"x\"", "Module = \"m\" 0x10", "EndModule"});
    EXPECT_EQ(built.database.GetCount(), 0);
    SBuilt empty;
    Build(empty, {});
    EXPECT_EQ(empty.database.GetCount(), 0);
}

TEST(DatabaseBuilder, ContinuedLinesJoinIntoOneEntry) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Foo = 0x00,\\", "  0x01", "Bar = 1"});
    ASSERT_EQ(built.database.GetCount(), 2);
    const CKeyEntry& foo = *built.database.GetAt(0);
    EXPECT_EQ(foo.m_Value, "0x00,\r\n  0x01");
    EXPECT_EQ(foo.m_LongLine, 1);
    EXPECT_EQ(foo.m_Line, 2);
    EXPECT_EQ(built.database.GetAt(1)->m_LongLine, 3);
    EXPECT_EQ(built.database.GetAt(1)->m_Line, 3);
}

TEST(DatabaseBuilder, KeyContinuedOverThreeLines) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Foo = 1,\\", "2,\\", "3", "", "Bar = 4"});
    ASSERT_EQ(built.database.GetCount(), 2);
    const CKeyEntry& foo = *built.database.GetAt(0);
    EXPECT_EQ(foo.m_Value, "1,\r\n2,\r\n3");
    EXPECT_EQ(foo.m_LongLine, 1);
    EXPECT_EQ(foo.m_Line, 3);
    EXPECT_EQ(built.database.GetAt(1)->m_Line, 5);
    EXPECT_EQ(built.database.GetAt(1)->m_LongLine, 5);
}

TEST(DatabaseBuilder, BackslashInACommentJoinsTheNextLine) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Foo = 1 ; c\\", "Bar = 2", "Baz = 3"});
    ASSERT_EQ(built.database.GetCount(), 2);
    EXPECT_EQ(built.database.GetAt(0)->m_Value, "1\r\nBar = 2");
    EXPECT_EQ(built.database.GetAt(0)->m_Line, 2);
    EXPECT_EQ(built.database.GetAt(1)->m_Keyword, "Baz");
    EXPECT_EQ(built.database.GetAt(1)->m_Line, 3);
}

TEST(DatabaseBuilder, JoinedLinesKeepTheirParenthesesAndEqualSigns) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Foo = a\\", "b = (c)"});
    ASSERT_EQ(built.database.GetCount(), 1);
    EXPECT_EQ(built.database.GetAt(0)->m_Value, "a\r\nb = (c)");
}

TEST(DatabaseBuilder, ContinuationOnTheLastLineKeepsTheValue) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Foo = 1,\\"});
    ASSERT_EQ(built.database.GetCount(), 1);
    const CKeyEntry& foo = *built.database.GetAt(0);
    EXPECT_EQ(foo.m_Value, "1,");
    EXPECT_EQ(foo.m_LongLine, 1);
    EXPECT_EQ(foo.m_Line, 1);
}

TEST(DatabaseBuilder, BareNumberLineIsAKeywordWithoutValue) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "1"});
    ASSERT_EQ(built.database.GetCount(), 1);
    EXPECT_EQ(built.database.GetAt(0)->m_Keyword, "1");
    EXPECT_EQ(built.database.GetAt(0)->m_Value, "");
}

TEST(DatabaseBuilder, AppendsWithoutClearingAndRebuildStartsAfresh) {
    SBuilt built;
    const std::vector<std::string> lines = {"#Profibus_DP", "GSD_Revision = 1", "Vendor_Name = \"v\""};
    Build(built, lines);
    Build(built, lines);
    EXPECT_EQ(built.database.GetCount(), 4);

    CVectorLineSource source(lines);
    RebuildDatabase(built.context, KeyClassifier(), source, built.database);
    ASSERT_EQ(built.database.GetCount(), 2);
    EXPECT_EQ(built.database.GetAt(0)->m_Keyword, "GSD_Revision");
    EXPECT_EQ(built.database.GetAt(1)->m_Value, "v");
    EXPECT_EQ(built.context.m_pCurEntry, nullptr);
    EXPECT_EQ(built.context.m_Form.m_nFormMode, 0);
}

TEST(DatabaseBuilder, OpenBlockIsClearedWhenTheBuildEnds) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Module = \"m\" 0x10", "1"});
    ASSERT_EQ(built.database.GetCount(), 2);
    EXPECT_EQ(built.context.m_pOpenBlock, nullptr);
    // The module stayed open while its lines were read.
    EXPECT_EQ(built.database.GetAt(1)->m_hParent, built.database.GetAt(0));
}

TEST(DatabaseBuilder, CursorPointsIntoTheDatabaseBuiltLast) {
    CTalunaContext context;
    CKeyDatabase first;
    CKeyDatabase second;
    CVectorLineSource a({"#Profibus_DP", "GSD_Revision = 1"});
    CVectorLineSource b({"#Profibus_DP", "Vendor_Name = \"x\"", "Model_Name = \"y\""});
    BuildDatabase(context, KeyClassifier(), a, first);
    BuildDatabase(context, KeyClassifier(), b, second);
    ASSERT_NE(context.m_pCurEntry, nullptr);
    EXPECT_TRUE(second.Contains(context.m_pCurEntry));
    EXPECT_FALSE(first.Contains(context.m_pCurEntry));
}

TEST(DatabaseBuilder, NewEntriesStartUncheckedAndUnknownKeysStayUserKeys) {
    SBuilt built;
    Build(built, {"#Profibus_DP", "Foo = 1", "GSD_Revision = 1"});
    ASSERT_EQ(built.database.GetCount(), 2);
    const CKeyEntry& foo = *built.database.GetAt(0);
    EXPECT_EQ(foo.m_TypeFlag, TYPE_USER_KEY);
    EXPECT_EQ(foo.m_TreeGroup, 0);
    EXPECT_EQ(foo.m_bSyntaxOk, 0);
    EXPECT_EQ(foo.m_bAccepted, 0);
    EXPECT_EQ(foo.m_RangeLen, "");
    EXPECT_EQ(foo.m_hParent, nullptr);
    EXPECT_EQ(built.database.GetAt(1)->m_TypeFlag, TYPE_SIMPLE_UINT);
    EXPECT_EQ(built.database.GetAt(1)->m_bSyntaxOk, 0);
}

// A value the builder changed (quotes, markers, equal signs) is classified in
// a working copy. Afterwards each of its texts that reads as the line at its
// place views the line; any other is copied, and none is left in the copy.
TEST(DatabaseBuilder, TextsOfAChangedValueViewTheLineWhereTheyReadAsIt) {
    struct SCase {
        const char* line;
        size_t item;  // of the entry's items; npos: its value
        std::string text;
        bool viewed;
    };
    constexpr size_t VALUE = std::string::npos;
    const SCase cases[] = {
        {"Text(0) = \"Off\"", 0, "0", true},
        {"Text(0) = \"Off\"", 1, "Off", true},
        {"Text(0) = \"Off\"", VALUE, "Off", true},
        {"Vendor_Name = \"Maker A\"", 0, "Maker A", true},
        {"Module = \"M 1\" 0x13,0x23", 0, "M 1", true},
        {"Module = \"M 1\" 0x13,0x23", 1, "0x13,0x23", true},
        // Bytes the builder or the split replaced are not the line's.
        {"Vendor_Name = a=b", 0, "a b", false},
        {"Foo = \"a\" \"b\"", VALUE, "a" + S + "  b" + S, false},
        {"Foo(1) = \"ab\"", VALUE, "1" + S + "    ab" + S, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CTalunaContext context;
        CKeyDatabase database;
        {
            // Three entries: the working copy is reused after the one looked at.
            CTextLineSource text("#Profibus_DP\r\n" + std::string(c.line) + "\r\nNext = \"x\" \"y\"\r\n");
            BuildDatabase(context, KeyClassifier(), text, database);
        }
        ASSERT_EQ(database.GetCount(), 2);
        const CKeyEntry& e = *database.GetAt(0);
        const std::string_view text =
            c.item == VALUE ? std::string_view(e.m_Value) : std::string_view(e.m_Ready[c.item]);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(database.IsInHeldText(text), c.viewed);
    }
}

class CProgressLog : public IProgressSink {
public:
    void Begin(const std::string& caption) override { m_Events.push_back("begin " + caption); }
    void SetStatus(const std::string& text) override { m_Events.push_back("status " + text); }
    void StepIt() override { ++m_nSteps; }
    void End() override { m_Events.push_back("end"); }
    std::vector<std::string> m_Events;
    int m_nSteps = 0;
};

TEST(DatabaseBuilder, ProgressWindowNamesEveryKeywordFound) {
    SBuilt built;
    CProgressLog progress;
    built.context.m_pProgress = &progress;
    Build(built, {"#Profibus_DP", "GSD_Revision = 1", "; note", "Vendor_Name = \"x\""});
    const std::vector<std::string> expected = {"begin Building Database...", "status Keyword GSD_Revision found...",
                                               "status Keyword Vendor_Name found...", "end"};
    EXPECT_EQ(progress.m_Events, expected);
    EXPECT_GT(progress.m_nSteps, 0);
    EXPECT_LE(progress.m_nSteps, 100);
}

}  // namespace

// A text is cut into lines at LF, CR and CR LF alike, without an empty last
// line after a final line end; the file reader and the editor's lines agree.
TEST(TextLines, LineEndsOfEveryKindCutTheSameLines) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\r\nb\r", {"a", "", "b"}},
        {"\r\n", {""}},
        {"x = 1\r\n\ry\n", {"x = 1", "", "y"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n\r\n\r", {"", "", ""}},
        {"\r\r\n\n", {"", "", ""}},
    };
    // Line ends are searched 16 bytes at a time: each case also stands after
    // a first line long enough to put its line ends at every place of a block.
    for (size_t lead = 0; lead <= 40; ++lead) {
        for (const auto& [shortText, shortExpected] : cases) {
            const std::string text = std::string(lead, 'p') + shortText;
            std::vector<std::string> expected = shortExpected;
            if (lead > 0) {
                if (expected.empty()) expected.emplace_back();
                expected.front().insert(0, lead, 'p');
            }
            const CTextLineSource source(text);
            std::vector<std::string> lines;
            for (int i = 0; i < source.GetLineCount(); ++i) {
                lines.push_back(source.GetLine(i));
                EXPECT_EQ(source.GetLineLength(i), static_cast<int>(lines.back().size())) << i;
            }
            EXPECT_EQ(lines, expected) << "text [" << text << "]";
            EXPECT_EQ(SplitLines(text), expected) << "text [" << text << "]";
        }
    }
}
