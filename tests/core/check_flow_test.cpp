// The Check GSD flow: its notes around the two check stages, the fatal error of
// an empty database, the fail-safe setting and the suppression of warnings.

#include <gtest/gtest.h>

#include "semantic_test_support.h"

using namespace semantic_test;

namespace {

const Row kStartSyntax{0, N, 0, "Start Syntax-Check..."};
const Row kStopSyntax{0, N, 0, "Stop Syntax-Check..."};
const Row kStartSemantic{0, N, 0, "Start Semantic-Check..."};
const Row kStopSemantic{0, N, 0, "Stop Semantic-Check..."};
const Row kFailSafe{0, N, 0, "FailSafe-Mode: Skipping semantic check."};
const Row kEmpty = R(65140, F, -1);

// Rows without their ids: the ids of the plain notes are not fixed.
std::vector<std::string> KindLineText(const std::vector<CCheckMessage>& rows) {
    std::vector<std::string> shown;
    for (const auto& row : rows) shown.push_back(Show(Row{0, row.m_nKind, row.m_nLine, row.m_Text}));
    return shown;
}

std::vector<std::string> KindLineText(const std::vector<Row>& rows) {
    std::vector<std::string> shown;
    for (const auto& row : rows) shown.push_back(Show(Row{0, row.kind, row.line, row.text}));
    return shown;
}

std::string SlaveText(const std::map<int, std::string>& edits = {}, const std::vector<std::string>& tail = {}) {
    return Compose(SlaveBase(), edits, tail);
}

TEST(CheckFlow, ValidSlaveAndMasterFilesGiveOnlyTheNotesOfBothStages) {
    for (const auto* base : {&SlaveBase(), &MasterBase()}) {
        const auto rows = RunCheck(Compose(*base, {}, {}));
        EXPECT_EQ(KindLineText(rows), KindLineText({kStartSyntax, FinishedNote(), kStopSyntax, kStartSemantic,
                                                    FinishedNote(), kStopSemantic}));
    }
}

TEST(CheckFlow, FinishedNoteCarriesItsStringId) {
    const auto rows = RunCheck(SlaveText());
    EXPECT_EQ(SemanticRows(rows), std::vector<std::string>{Show(FinishedNote())});
    EXPECT_EQ(SyntaxRows(rows), std::vector<std::string>{Show(FinishedNote())});
}

TEST(CheckFlow, TextWithoutHeaderIsAnEmptyDatabaseWithAFatalErrorAndASilentSemanticStage) {
    const std::vector<std::string> texts = {
        "",
        "Vendor_Name = \"Velmar\"\r\nGSD_Revision = 1\r\n",
        "; #Profibus_DP only in a comment\r\n",
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        const auto rows = RunCheck(text);
        EXPECT_EQ(KindLineText(rows),
                  KindLineText({kStartSyntax, kEmpty, kStopSyntax, kStartSemantic, FinishedNote(), kStopSemantic}));
        ASSERT_EQ(rows.size(), 6u);
        EXPECT_EQ(rows[1].m_nId, 65140);
        EXPECT_EQ(rows[1].LineText(), "---");
    }
}

TEST(CheckFlow, HeaderIsFoundInAnyLetterCaseWithAComment) {
    const std::string text = "#profibus_dp ; header\r\n" + SlaveText().substr(std::string("#Profibus_DP\r\n").size());
    EXPECT_EQ(SemanticRows(RunCheck(text)), StageExpectation({}));
}

TEST(CheckFlow, EmptyDatabaseWithFailSafeSkipsTheSemanticStage) {
    const auto rows = RunCheck("no header here\r\n", true);
    EXPECT_EQ(KindLineText(rows), KindLineText({kStartSyntax, kEmpty, kStopSyntax, kFailSafe}));
}

TEST(CheckFlow, FailSafeSettingEndsTheRowsWithItsNoteAndRunsNoSemanticRule) {
    // Without Vendor_Name the semantic stage would report 64202.
    const auto rows = RunCheck(SlaveText({{kVendorLine, ";"}}), true);
    EXPECT_EQ(KindLineText(rows), KindLineText({kStartSyntax, FinishedNote(), kStopSyntax, kFailSafe}));
    const auto full = RunCheck(SlaveText({{kVendorLine, ";"}}), false);
    EXPECT_EQ(SemanticRows(full), StageExpectation({R(64202, E, kEndModuleLine, {"Vendor_Name"})}));
}

TEST(CheckFlow, SuppressedWarningsAreNotListedButStillCountAgainstTheFinishedNote) {
    // Protocol_Ident 16 yields only the warning 64643 in the semantic stage; the
    // long comment line only the warning 136 in the syntax stage.
    const std::string longLine = "Redundancy = 0 ;" + std::string(70, '-');
    const std::string text = SlaveText({{kProtocolLine, "Protocol_Ident = 16"}}, {longLine});

    const auto shown = RunCheck(text, false, false);
    EXPECT_EQ(SemanticRows(shown), Show(std::vector<Row>{R(64643, W, kProtocolLine, {"Protocol_Ident"})}));
    ASSERT_EQ(SyntaxRows(shown).size(), 1u);
    EXPECT_EQ(SyntaxRows(shown)[0], Show(R(136, W, kSlaveEnd)));

    const auto suppressed = RunCheck(text, false, true);
    EXPECT_EQ(SemanticRows(suppressed), std::vector<std::string>{});
    EXPECT_EQ(SyntaxRows(suppressed), std::vector<std::string>{});
}

TEST(CheckFlow, SuppressedWarningsLeaveErrorsListed) {
    const std::string text = SlaveText({{kProtocolLine, "Protocol_Ident = 16"}, {kVendorLine, ";"}});
    const auto rows = RunCheck(text, false, true);
    EXPECT_EQ(SemanticRows(rows), Show(std::vector<Row>{R(64202, E, kEndModuleLine, {"Vendor_Name"})}));
}

TEST(CheckFlow, SyntaxFindingsDoNotKeepTheSemanticStageFromFinishingWithoutErrors) {
    // An unknown key is a syntax warning and no concern of the semantic check.
    const auto rows = RunCheck(SlaveText({}, {"My_Own_Key = 5"}));
    EXPECT_EQ(SyntaxRows(rows), std::vector<std::string>{Show(R(133, W, kSlaveEnd, {"My_Own_Key"}))});
    EXPECT_EQ(SemanticRows(rows), StageExpectation({}));
}

TEST(CheckFlow, LinesBeforeTheHeaderAreNotKeys) {
    const std::string text = "Vendor_Name = \"Early\"\r\n" + SlaveText({{kVendorLine, ";"}});
    // Every key moved one line down; the final rules report at the last entry.
    EXPECT_EQ(SemanticRows(RunCheck(text)), StageExpectation({R(64202, E, kEndModuleLine + 1, {"Vendor_Name"})}));
}

}  // namespace
