// Every real GSD file goes through the whole check without a crash, and checking
// it again gives the same rows.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "check/process_key.h"
#include "cli/file_check.h"
#include "corpus_files.h"
#include "model/database_builder.h"
#include "model/text_lines.h"

namespace {

using taluna_test::CorpusFiles;
using taluna_test::ReadAll;

std::string Rows(const std::vector<CCheckMessage>& rows) {
    std::string text;
    for (const auto& row : rows) text += row.RowText() + "\n";
    return text;
}

TEST(Corpus, EveryFileChecksAndGivesStableRows) {
    const auto files = CorpusFiles();
    ASSERT_GT(files.size(), 400u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::string bytes = ReadAll(path);
        const auto first = CheckGsdText(bytes, {});
        const auto second = CheckGsdText(bytes, {});
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(first.front().m_Text, "Start Syntax-Check...");
        EXPECT_EQ(first.back().m_Text, "Stop Semantic-Check...");
        EXPECT_EQ(Rows(first), Rows(second));
        const int lineCount = static_cast<int>(SplitLines(CutAtNul(bytes)).size());
        for (const auto& row : first) {
            if (row.HasLine()) {
                EXPECT_LT(row.m_nLine, lineCount);
            }
        }
    }
}

// The database keeps every key line in text order, and each entry's lines lie
// inside the text.
TEST(Corpus, EntriesStayInTextOrder) {
    for (const auto& path : CorpusFiles()) {
        SCOPED_TRACE(path.filename().string());
        CVectorLineSource lines(SplitLines(CutAtNul(ReadAll(path))));
        CTalunaContext context;
        CKeyDatabase database;
        BuildDatabase(context, KeyClassifier(), lines, database);
        int previous = -1;
        for (const auto& entry : database) {
            EXPECT_LE(entry->m_LongLine, entry->m_Line);
            EXPECT_GT(entry->m_LongLine, previous);
            EXPECT_LT(entry->m_Line, lines.GetLineCount());
            previous = entry->m_Line;
        }
        EXPECT_EQ(context.m_pOpenBlock, nullptr);
    }
}

// Lines survive a split and a join byte for byte.
TEST(Corpus, LinesRoundTripByteForByte) {
    for (const auto& path : CorpusFiles()) {
        SCOPED_TRACE(path.filename().string());
        const std::string bytes = ReadAll(path);
        const std::string text(CutAtNul(bytes));
        const auto lines = SplitLines(text);
        const auto layout = DetectLayout(text);
        EXPECT_EQ(JoinLinesWithEnds(lines, SplitLineEnds(text), layout), text);
    }
}

}  // namespace
