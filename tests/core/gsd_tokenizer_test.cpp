#include "model/gsd_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/file_rules.h"
#include "model/write_back.h"

namespace {

// "class:text" for every token of a line.
std::vector<std::string> Tokens(const std::string& line) {
    static const char* names[] = {"plain", "comment", "number", "string", "keyword", "type"};
    std::vector<std::string> out;
    for (const SToken& t : TokenizeGsdLine(line))
        out.push_back(std::string(names[static_cast<int>(t.m_Class)]) + ":" +
                      line.substr(static_cast<size_t>(t.m_nStart), static_cast<size_t>(t.m_nLength)));
    return out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(GsdTokenizer, KeywordValueAndComment) {
    EXPECT_EQ(Tokens("GSD_Revision = 1 ; the revision"), (V{"keyword:GSD_Revision", "comment:; the revision"}));
}

TEST(GsdTokenizer, SemicolonInsideStringIsNoComment) {
    EXPECT_EQ(Tokens("Vendor_Name = \"a;b\" ; c"), (V{"keyword:Vendor_Name", "string:\"a;b\"", "comment:; c"}));
}

TEST(GsdTokenizer, QuoteInsideCommentIsNoString) {
    EXPECT_EQ(Tokens("; say \"hi\""), (V{"comment:; say \"hi\""}));
}

TEST(GsdTokenizer, UnterminatedStringEndsAtLineEnd) {
    EXPECT_EQ(Tokens("Model_Name = \"open"), (V{"keyword:Model_Name", "string:\"open"}));
}

TEST(GsdTokenizer, TypeWordsIgnoreCaseAndKeepTheHash) {
    EXPECT_EQ(Tokens("#Profibus_DP"), (V{"type:#Profibus_DP"}));
    EXPECT_EQ(Tokens("ExtUserPrmData = 1 \"x\" unsigned8 0 0-1"),
              (V{"keyword:ExtUserPrmData", "string:\"x\"", "type:unsigned8"}));
    EXPECT_EQ(Tokens("BitArea(0-3) 0 0-15"), (V{"type:BitArea"}));
}

TEST(GsdTokenizer, WordsStartingWithDigitsAreWords) {
    EXPECT_EQ(Tokens("9.6_supp = 1"), (V{"keyword:9.6_supp"}));
    EXPECT_EQ(Tokens("24V_Pins = 0"), (V{"keyword:24V_Pins"}));
}

TEST(GsdTokenizer, NumbersAndUnknownWordsStayPlain) {
    EXPECT_TRUE(Tokens("0x1F 12 Module_Offset Foo").empty());
    EXPECT_EQ(Tokens("Modul_Offset = 1"), (V{"keyword:Modul_Offset"}));
}

TEST(GsdTokenizer, WholeWordsOnly) {
    EXPECT_TRUE(Tokens("Revision_Numberx Vendor").empty());
    EXPECT_EQ(ClassifyGsdWord("vendor_name"), ETokenClass::Keyword);
    EXPECT_EQ(ClassifyGsdWord("Signed32"), ETokenClass::TypeWord);
    EXPECT_EQ(ClassifyGsdWord("Signed64"), ETokenClass::Plain);
}

TEST(WriteBack, SimpleLineGetsNoTrailingBreak) {
    const SWriteBack r = ComposeWriteBack({"GSD_Revision = 1"}, "GSD_Revision", " = 2");
    ASSERT_TRUE(r.m_bOk);
    EXPECT_EQ(r.m_Text, "GSD_Revision = 2");
    EXPECT_EQ(r.m_nLineFeeds, 0);
}

TEST(WriteBack, CommentStaysAtItsColumn) {
    std::string old = "Ident_Number = 0x1";
    old.resize(40, ' ');
    old += "; ident";
    const SWriteBack r = ComposeWriteBack({old}, "Ident_Number", " = 0x4711");
    ASSERT_TRUE(r.m_bOk);
    EXPECT_EQ(r.m_Text.find(';'), 40u);
    EXPECT_EQ(r.m_Text.substr(0, 21), "Ident_Number = 0x4711");
}

TEST(WriteBack, ValueWithCommentDropsTheOldComment) {
    const SWriteBack r = ComposeWriteBack({"Revision = \"1\"   ; old"}, "Revision", " = \"2\" ; new");
    EXPECT_EQ(r.m_Text, "Revision = \"2\" ; new");
}

TEST(WriteBack, MoreLinesGetContinuationBackslashes) {
    const SWriteBack r = ComposeWriteBack({"User_Prm_Data = 1"}, "User_Prm_Data", " = 1,\r\n2,\r\n3");
    EXPECT_EQ(r.m_Text, "User_Prm_Data = 1,\\\r\n2,\\\r\n3");
    EXPECT_EQ(r.m_nLineFeeds, 2);
}

TEST(WriteBack, FewerLinesLeaveEmptyLinesOrTheirComments) {
    const SWriteBack r = ComposeWriteBack({"User_Prm_Data = 1,\\", "2 ; two"}, "User_Prm_Data", " = 7");
    EXPECT_EQ(r.m_Text, "User_Prm_Data = 7\r\n  ; two");
    EXPECT_EQ(r.m_nLineFeeds, 1);
}

TEST(WriteBack, LongLineIsRefused) {
    EXPECT_FALSE(ComposeWriteBack({std::string(1025, 'x')}, "Revision", " = 1").m_bOk);
    EXPECT_TRUE(ComposeWriteBack({std::string(1024, 'x')}, "Revision", " = 1").m_bOk);
}

TEST(WriteBack, ModuleReferenceCarriesItsValueAlone) {
    const SWriteBack r = ComposeWriteBack({"1"}, "Module_Reference", " = 5");
    EXPECT_EQ(r.m_Text, " 5");
}

TEST(FileRules, BackupNameIsTitleUpToFirstDot) {
    EXPECT_EQ(BackupFileName("dev.gsd"), "dev.bak");
    EXPECT_EQ(BackupFileName("a.b.gsd"), "a.bak");
    EXPECT_EQ(BackupFileName("/x/y/SI0180E0.GSE"), "SI0180E0.bak");
    EXPECT_EQ(BackupFileName("noext"), "noext.bak");
}

TEST(FileRules, AttributeMessagesInOrder) {
    const SAttributeCheck ro = CheckFileAttributes(FILE_ATTR_READONLY | FILE_ATTR_HIDDEN, "/p/.f.gsd");
    ASSERT_EQ(ro.m_Messages.size(), 2u);
    EXPECT_EQ(ro.m_Messages[0].m_nId, 65124);
    EXPECT_EQ(ro.m_Messages[1].m_nId, 65129);
    EXPECT_EQ(ro.m_Messages[0].m_Text,
              "The selected file \"/p/.f.gsd\" has the read-only flag.\nNo editing available until removing the flag!");
    EXPECT_TRUE(ro.m_bWarning);
    EXPECT_FALSE(ro.m_bStop);
}

TEST(FileRules, FailedQueryShowsReadOnlyAndDirectoryThenStops) {
    const SAttributeCheck all = CheckFileAttributes(FILE_ATTR_ALL, "x");
    ASSERT_EQ(all.m_Messages.size(), 2u);
    EXPECT_EQ(all.m_Messages[0].m_nId, 65124);
    EXPECT_EQ(all.m_Messages[1].m_nId, 65125);
    EXPECT_TRUE(all.m_bStop);
    EXPECT_TRUE(CheckFileAttributes(0, "x").m_Messages.empty());
    EXPECT_EQ(CheckFileAttributes(FILE_ATTR_SYSTEM, "x").m_Messages[0].m_nId, 65128);
}

TEST(FileRules, LastDirIsTheDirectoryOfTheLastFile) {
    EXPECT_EQ(DirectoryForLastDir("/home/u/gsd/a.gsd"), "/home/u/gsd");
    EXPECT_EQ(DirectoryForLastDir("a.gsd"), "");
    EXPECT_EQ(DirectoryForLastDir("/home/u/"), "");
}
