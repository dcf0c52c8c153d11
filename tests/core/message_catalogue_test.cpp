// The message catalogue and the check agree: every message of the catalogue is
// drawn by its example with the catalogue's kind and not by its corrected form,
// and every finding the check reports over the corpus is in the catalogue.

#include "base/message_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/check_message.h"
#include "base/string_table.h"
#include "cli/file_check.h"
#include "corpus_files.h"

namespace {

std::vector<CCheckMessage> Check(const SMessageInfo& message, bool corrected) {
    CCheckOptions options;
    options.m_Profile = message.m_File == EExampleFile::Rev5Slave ? EProfileChoice::Rev5 : EProfileChoice::Classic;
    return CheckGsdText(ExampleText(message, corrected), options);
}

std::vector<const CCheckMessage*> RowsOf(const std::vector<CCheckMessage>& rows, int id) {
    std::vector<const CCheckMessage*> found;
    for (const auto& row : rows)
        if (row.m_nId == id) found.push_back(&row);
    return found;
}

std::string Shown(const std::vector<CCheckMessage>& rows) {
    std::string text;
    for (const auto& row : rows) text += "  [" + std::to_string(row.m_nId) + "] " + row.RowText() + "\n";
    return text;
}

bool IsFinding(const CCheckMessage& row) {
    return row.m_nKind == CheckMessageKind::Error || row.m_nKind == CheckMessageKind::Warning ||
           row.m_nKind == CheckMessageKind::FatalError;
}

TEST(MessageCatalogue, EveryRowIsComplete) {
    ASSERT_FALSE(Messages().empty());
    for (const SMessageInfo& m : Messages()) {
        SCOPED_TRACE(m.m_nId);
        EXPECT_TRUE(m.m_nKind == CheckMessageKind::Error || m.m_nKind == CheckMessageKind::Warning ||
                    m.m_nKind == CheckMessageKind::FatalError);
        for (const char* text : {m.m_pszText, m.m_pszTitle, m.m_pszExplanation, m.m_pszExample, m.m_pszCorrected})
            EXPECT_TRUE(text != nullptr && *text != '\0');
        EXPECT_STRNE(m.m_pszExample, m.m_pszCorrected);
        EXPECT_EQ(FindMessage(m.m_nId), &m);
        EXPECT_EQ(KindOf(m.m_nId), m.m_nKind);
        // The string table hands out the catalogue's text.
        EXPECT_EQ(LoadString(m.m_nId), m.m_pszText);
    }
    EXPECT_EQ(FindMessage(65146), nullptr) << "a note of the check flow is no finding";
    EXPECT_EQ(FindMessage(0), nullptr);
    EXPECT_EQ(KindOf(65146), CheckMessageKind::Info);
}

// The tie between catalogue and check: each example draws its message with the
// catalogue's kind, and its correction does not draw it.
TEST(MessageCatalogue, EveryExampleDrawsItsMessageAndTheCorrectionDoesNot) {
    for (const SMessageInfo& m : Messages()) {
        SCOPED_TRACE(testing::Message() << "GSD" << m.m_nId << " " << m.m_pszTitle);
        const auto drawn = Check(m, false);
        const auto rows = RowsOf(drawn, m.m_nId);
        ASSERT_FALSE(rows.empty()) << ExampleText(m, false) << "gave\n" << Shown(drawn);
        for (const CCheckMessage* row : rows) EXPECT_EQ(row->m_nKind, m.m_nKind) << row->RowText();
        const auto corrected = Check(m, true);
        EXPECT_TRUE(RowsOf(corrected, m.m_nId).empty()) << ExampleText(m, true) << "gave\n" << Shown(corrected);
    }
}

// The example file replaces the lines whose keywords the example names, and
// appends the example.
TEST(MessageCatalogue, ExampleTextReplacesTheLinesOfItsKeywords) {
    const SMessageInfo* vendor = FindMessage(64202);
    ASSERT_NE(vendor, nullptr);
    const std::string drawn = ExampleText(*vendor, false);
    const std::string fixed = ExampleText(*vendor, true);
    EXPECT_EQ(drawn.find("Vendor_Name"), drawn.rfind("Vendor_Name")) << drawn;  // only in the comment
    EXPECT_NE(drawn.find("Model_Name = \"Base\"\r\n"), std::string::npos);
    EXPECT_TRUE(fixed.ends_with("\r\nVendor_Name = \"Velmar\"\r\n")) << fixed;
    EXPECT_EQ(std::count(fixed.begin(), fixed.end(), '\n'), std::count(drawn.begin(), drawn.end(), '\n'));
}

// Every finding of the check over the real files is a message of the catalogue,
// reported with the catalogue's kind. With the written rules only the one id
// reported with two kinds may differ; the revision 5 rules lower findings to
// warnings where a keyword's revision is not firmly known.
TEST(MessageCatalogue, EveryFindingOverTheCorpusIsCatalogued) {
    std::set<int> seen;
    for (const auto& path : taluna_test::CorpusFiles()) {
        const std::string bytes = taluna_test::ReadAll(path);
        for (const EProfileChoice profile : {EProfileChoice::Classic, EProfileChoice::Rev5}) {
            CCheckOptions options;
            options.m_Profile = profile;
            for (const auto& row : CheckGsdText(bytes, options)) {
                if (!IsFinding(row)) continue;
                SCOPED_TRACE(path.filename().string() + ": " + row.RowText());
                const SMessageInfo* m = FindMessage(row.m_nId);
                ASSERT_NE(m, nullptr) << "id " << row.m_nId << " is not in the catalogue";
                seen.insert(row.m_nId);
                if (profile == EProfileChoice::Classic && row.m_nId != 64644) {
                    EXPECT_EQ(row.m_nKind, m->m_nKind);
                } else if (row.m_nKind != m->m_nKind) {
                    EXPECT_EQ(row.m_nKind, CheckMessageKind::Warning);
                }
            }
        }
    }
    EXPECT_GT(seen.size(), 20u);
}

}  // namespace
