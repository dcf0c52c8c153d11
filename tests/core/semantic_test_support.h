#pragma once
// Helpers of the semantic-check suites: a valid slave and a valid master file,
// the Check GSD flow over a text, and the rows of one check stage as
// comparable "[id|kind|line] text" strings.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/check_message.h"
#include "cli/file_check.h"
#include "message_texts.h"

namespace semantic_test {

constexpr int N = CheckMessageKind::Note;
constexpr int E = CheckMessageKind::Error;
constexpr int W = CheckMessageKind::Warning;
constexpr int F = CheckMessageKind::FatalError;

// A complete compact slave file that the check passes without any message.
inline const std::vector<std::string>& SlaveBase() {
    static const std::vector<std::string> lines = {
        "#Profibus_DP",                // 0
        "GSD_Revision = 1",            // 1
        "Vendor_Name = \"Velmar\"",    // 2
        "Model_Name = \"Base\"",       // 3
        "Revision = \"1.0\"",          // 4
        "Ident_Number = 0x1234",       // 5
        "Protocol_Ident = 0",          // 6
        "Station_Type = 0",            // 7
        "FMS_supp = 0",                // 8
        "Hardware_Release = \"HW1\"",  // 9
        "Software_Release = \"SW1\"",  // 10
        "9.6_supp = 1",                // 11
        "MaxTsdr_9.6 = 60",            // 12
        "Min_Slave_Intervall = 1",     // 13
        "Max_Diag_Data_Len = 16",      // 14
        "Slave_Family = 3",            // 15
        "Module = \"In\" 0x10",        // 16
        "EndModule",                   // 17
    };
    return lines;
}

// Line numbers of the slave file.
enum ESlaveLine {
    kRevisionLine = 1,
    kVendorLine = 2,
    kModelLine = 3,
    kRevisionTextLine = 4,
    kIdentLine = 5,
    kProtocolLine = 6,
    kStationLine = 7,
    kHardwareLine = 9,
    kSoftwareLine = 10,
    kSupp96Line = 11,
    kMaxTsdr96Line = 12,
    kMinSlaveLine = 13,
    kMaxDiagLine = 14,
    kFamilyLine = 15,
    kModuleLine = 16,
    kEndModuleLine = 17,
    kSlaveEnd = 18,  // first line after the slave file
};

// A complete DP master file (class 1) that the check passes without any message.
inline const std::vector<std::string>& MasterBase() {
    static const std::vector<std::string> lines = {
        "#Profibus_DP",                // 0
        "GSD_Revision = 1",            // 1
        "Vendor_Name = \"Velmar\"",    // 2
        "Model_Name = \"Master\"",     // 3
        "Revision = \"1.0\"",          // 4
        "Ident_Number = 0x1234",       // 5
        "Protocol_Ident = 0",          // 6
        "Station_Type = 1",            // 7
        "FMS_supp = 0",                // 8
        "Hardware_Release = \"HW1\"",  // 9
        "Software_Release = \"SW1\"",  // 10
        "9.6_supp = 1",                // 11
        "MaxTsdr_9.6 = 60",            // 12
        "Trdy_9.6 = 11",               // 13
        "Tqui_9.6 = 0",                // 14
        "Tset_9.6 = 1",                // 15
        "Tsdi_9.6 = 70",               // 16
        "Max_MPS_Length = 100",        // 17
        "Max_Lsdu_MS = 244",           // 18
        "Max_Lsdu_MM = 244",           // 19
        "Min_Poll_Timeout = 10",       // 20
        "Max_Slaves_supp = 125",       // 21
    };
    return lines;
}

enum EMasterLine {
    kMasterSupp96Line = 11,
    kMasterTrdyLine = 13,
    kMasterTquiLine = 14,
    kMasterTsetLine = 15,
    kMasterTsdiLine = 16,
    kMasterMpsLine = 17,
    kMasterLsduMsLine = 18,
    kMasterLsduMmLine = 19,
    kMasterPollLine = 20,
    kMasterSlavesLine = 21,
    kMasterEnd = 22,
};

// The base lines with some lines replaced (a replacement by a comment keeps the
// numbering of the following lines), then the tail lines appended.
inline std::string Compose(const std::vector<std::string>& base, const std::map<int, std::string>& edits,
                           const std::vector<std::string>& tail) {
    std::string text;
    for (size_t i = 0; i < base.size(); ++i) {
        auto it = edits.find(static_cast<int>(i));
        text += (it != edits.end() ? it->second : base[i]);
        text += "\r\n";
    }
    for (const auto& line : tail) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// The slave file at GSD revision 0: the revision-1 keywords of the base are left out.
inline std::map<int, std::string> Revision0Edits() {
    return {{kRevisionLine, "; no revision"}, {kMaxDiagLine, ";"}, {kFamilyLine, ";"}};
}

struct Row {
    int id;
    int kind;
    int line;
    std::string text;
};

inline std::string Show(const Row& row) {
    std::ostringstream out;
    out << "[" << row.id << "|" << row.kind << "|" << row.line << "] " << row.text;
    return out.str();
}

inline std::string Show(const CCheckMessage& message) {
    return Show(Row{message.m_nId, message.m_nKind, message.m_nLine, message.m_Text});
}

inline std::vector<std::string> Show(const std::vector<Row>& rows) {
    std::vector<std::string> shown;
    for (const auto& row : rows) shown.push_back(Show(row));
    return shown;
}

inline std::vector<CCheckMessage> RunCheck(const std::string& text, bool noSemantic = false, bool noWarnings = false) {
    CCheckOptions options;
    options.m_bNoSemantic = noSemantic;
    options.m_bNoWarnings = noWarnings;
    return CheckGsdText(text, options);
}

// The rows strictly between the start and the stop note of one stage.
inline std::vector<std::string> StageRows(const std::vector<CCheckMessage>& rows, const std::string& start,
                                          const std::string& stop) {
    std::vector<std::string> shown;
    bool inside = false;
    bool started = false;
    for (const auto& row : rows) {
        if (row.m_nKind == N && row.m_Text == start) {
            inside = true;
            started = true;
            continue;
        }
        if (inside && row.m_nKind == N && row.m_Text == stop) return shown;
        if (inside) shown.push_back(Show(row));
    }
    if (!started) {
        ADD_FAILURE() << "no note \"" << start << "\" among the rows";
    } else {
        ADD_FAILURE() << "no note \"" << stop << "\" after \"" << start << "\"";
    }
    return shown;
}

inline std::vector<std::string> SemanticRows(const std::vector<CCheckMessage>& rows) {
    return StageRows(rows, "Start Semantic-Check...", "Stop Semantic-Check...");
}

inline std::vector<std::string> SyntaxRows(const std::vector<CCheckMessage>& rows) {
    return StageRows(rows, "Start Syntax-Check...", "Stop Syntax-Check...");
}

inline const Row& FinishedNote() {
    static const Row note{65146, N, 0, "... check finished without errors."};
    return note;
}

// What a stage lists for the given findings: the findings, or the note that
// the stage found nothing.
inline std::vector<std::string> StageExpectation(const std::vector<Row>& findings) {
    if (findings.empty()) return {Show(FinishedNote())};
    return Show(findings);
}

// The text of message id with its placeholders filled in order; a message
// that names one keyword twice gets it once in args.
inline std::string Text(int id, const std::vector<std::string>& args = {}) {
    return taluna_test::MessageText(id, args);
}

inline Row R(int id, int kind, int line, std::vector<std::string> args = {}) {
    return Row{id, kind, line, Text(id, std::move(args))};
}

// One case of a rule family: the base with edits and appended lines, and the
// semantic rows it must produce (none: the stage reports that it found nothing).
struct Case {
    std::string name;
    const std::vector<std::string>* base;
    std::map<int, std::string> edits;
    std::vector<std::string> tail;
    std::vector<Row> expected;
    bool syntaxClean = true;  // the lines under test pass the key syntax check
};

inline std::string CaseText(const Case& c) {
    return Compose(*c.base, c.edits, c.tail);
}

inline void CheckCase(const Case& c) {
    SCOPED_TRACE(c.name);
    const std::string text = CaseText(c);
    SCOPED_TRACE(text);
    const auto rows = RunCheck(text);
    if (c.syntaxClean) {
        EXPECT_EQ(SyntaxRows(rows), StageExpectation({})) << "the lines must pass the syntax check";
    }
    EXPECT_EQ(SemanticRows(rows), StageExpectation(c.expected));
}

inline void CheckCases(const std::vector<Case>& cases) {
    for (const auto& c : cases) CheckCase(c);
}

}  // namespace semantic_test
