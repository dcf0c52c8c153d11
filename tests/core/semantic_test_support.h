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

// Message texts of the semantic check, each with its placeholders.
inline const std::map<int, std::string>& Formats() {
    static const std::map<int, std::string> formats = {
        {64202, "Undefined Keyword\"%s\".\"%s\" is mandatory for all GSD files."},
        {64203,
         "Undefined Baudrate. The Keywords for Baudrate Support are grouped, at least one Keyword must be "
         "defined."},
        {64204, "Undefined MaxTsdr. The Keywords for MaxTsdr are grouped, at least one Keyword must be defined."},
        {64206, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a Master Device."},
        {64207,
         "Undefined Trdy. The Keywords for Trdy are grouped, at least one Keyword must be defined for a Master "
         "Device."},
        {64208,
         "Undefined Tqui. The Keywords for Tqui are grouped, at least one Keyword must be defined for a Master "
         "Device."},
        {64209,
         "Undefined Tset. The Keywords for Tset are grouped, at least one Keyword must be defined for a Master "
         "Device."},
        {64210,
         "Undefined Tsdi. The Keywords for Tsdi are grouped, at least one Keyword must be defined for a Master "
         "Device."},
        {64211, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a Slave Device."},
        {64212,
         "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files Revision 1 and higher for a Slave Device."},
        {64213, "Undefined Keyword \"%s\". \"%s\" is mandatory for GSD files for a modular Slave Device."},
        {64214,
         "Undefined Keyword \"%s\" inside a Prm-Text-Definition. \"%s\" is mandatory for a Prm-Text-Definition "
         "in GSD files for a Slave Device."},
        {64215,
         "Undefined Keyword \"%s\" inside a Ext-User-Prm-Data-Definition. \"%s\" is mandatory for a "
         "Ext-User-Prm-Data-Definition in GSD files for a Slave Device."},
        {64217,
         "Definition of Block beginning with Keyword \"%s\" not finished. Block \"%s\" must be finished before "
         "the end of GSD file."},
        {64218,
         "Undefined Keyword \"%s\" inside a Unit-Diag-Area-Definition. \"%s\" is mandatory for a "
         "Unit-Diag-Area-Definition in GSD files for a Slave Device."},
        {64301, "Mulitple Definition of Keyword \"%s\" inside the Unit-Definition-List of the GSD file."},
        {64303, "Mulitple Definition of the Data_Type_Name inside a Ext-User-Prm-Data-Definition of the GSD file."},
        {64304, "Mulitple Definition of Keyword \"%s\" inside a Module-Definition of the GSD file."},
        {64431, "Slave_Family \"%d\" exceeds range specified for GSD_Revision \"%d\"."},
        {64433, "GSD_Revision \"%d\" not supported. GSD is checked according to GSD_Revision 2."},
        {64434, "Reference_Number \"%d\" exceeds range specified for GSD_Revision \"%d\"."},
        {64435, "Invalid Ident_Number \"0x%04X\". Please type in the Ident_Number assigned to your device by Orvan."},
        {64501,
         "Keyword \"%s\" is not specfied for GSD files Revision 0. \"%s\" could be supposed as userspecific by "
         "tools based on GSD Revision 0."},
        {64502, "Slavespecific Keyword \"%s\" is defined in a GSD file for a Master Device."},
        {64503, "Masterspecific Keyword \"%s\" is defined in a GSD file for a Slave Device."},
        {64504, "Modular Slave-specific Keyword \"%s\" is defined in a GSD file for a Compact Slave Device."},
        {64505,
         "Keyword \"%s\" is specfied outside a Prm-Text-Definition. \"%s\" could be supposed as userspecific "
         "here."},
        {64506,
         "Keyword \"%s\" is specfied outside a Ext-User-Prm-Data-Definition. \"%s\" could be supposed as "
         "userspecific here."},
        {64507,
         "Keyword \"%s\" is specified outside a Module-Definition. \"%s\" could be supposed as userspecific "
         "here."},
        {64508,
         "Keyword \"%s\" is specfied outside a Unit_Diag_Area-Definition. \"%s\" could be supposed as "
         "userspecific here."},
        {64509,
         "Keyword \"%s\" is specfied inside a Prm-Text-Definition. \"%s\" could be supposed as userspecific "
         "here."},
        {64510,
         "Keyword \"%s\" is specfied inside a Ext_User-Prm-Data-Definition. \"%s\" could be supposed as "
         "userspecific here."},
        {64511,
         "Keyword \"%s\" is specfied inside a Module-Definition. \"%s\" could be supposed as userspecific here."},
        {64512,
         "Keyword \"%s\" is specfied inside a Unit_Diag_Area-Definition. \"%s\" could be supposed as "
         "userspecific here."},
        {64601, "There is no MaxTsdr specified for the supported Baudrate."},
        {64602, "There is no Trdy specified for the supported Baudrate of a Master Device."},
        {64603, "There is no Tqui specified for the supported Baudrate of a Master Device."},
        {64604, "There is no Tset specified for the supported Baudrate of a Master Device."},
        {64605, "There is no Tsdi specified for the supported Baudrate of a Master Device."},
        {64606, "There is no Baudrate Support specified for the MaxTsdr."},
        {64607, "There is no Baudrate Support specified for the Time Parameter of a Master Device."},
        {64608, "Invalid Definition. The Definition of User_Prm_Data_Len is required to define \"%s\"."},
        {64609,
         "The Length of User_Prm_Data exceeds Range. The Length must be equal to the Definition of "
         "User_Prm_Data_Len."},
        {64610, "The Definition of Max_Diag_Data_Len is recommended to define \"%s\"."},
        {64611,
         "The Position of \"%s\" exceeds Range. The Position must be in the Range defined by Max_Diag_Data_Len."},
        {64612, "Redefinition of an Entry in the Diagnostic Data."},
        {64613, "The Value \"%d\" exceeds Range. The Value must be in the Range of the Unit_Diag_Area."},
        {64614, "Redefinition of an Entry in an Unit_Diag_Area."},
        {64618, "Ambigious Module_Reference \"%d\" for this Module. \"%d\" is already used by an other Module."},
        {64619, "The Definition of Max_User_Prm_Data_Len is recommended to define Ext_Module_Prm_Data_Len."},
        {64620,
         "The Length of Ext_Module_Prm_Data_Len exceeds Range. The Length must be less or equal to "
         "Max_User_Prm_Data_Len."},
        {64621, "Redefinition of an Entry in the Channel_Diag."},
        {64622, "The Definition of User_Prm_Data_Len will be invalid by use of the Keyword \"%s\"."},
        {64623, "The Definition of User_Prm_Data will be invalid by use of the Keyword \"%s\"."},
        {64624, "The Definition of Max_User_Prm_Data_Len is recommended to define \"%s\"."},
        {64625,
         "Invalid Length of User-Parameter-Definition. The User-Parameter must be in the Range defined by "
         "Max_User_Prm_Data_Len."},
        {64627, "Possibly multiple Use of Offset \"%d\" in the User-Parameter-Definition."},
        {64628, "Unresolved Reference to ExtUserPrmData. No ExtUserPrmData \"%d\" defined."},
        {64629, "Ambigious ExtUserPrmData \"%d\". \"%d\" is already used by an other ExtUserPrmData."},
        {64630, "No Reference to ExtUserPrmData \"%d\" found."},
        {64639, "Unresolved Reference to PrmText. No PrmText \"%d\" defined."},
        {64640, " Ambigious PrmText \"%d\". \"%d\" is already used by an other PrmText."},
        {64641, "No Reference to PrmText \"%d\" found."},
        {64642, "Redefinition of an Entry in the PrmText."},
        {64643, "The \"%s\" specifies not a DP-Device."},
        {64644,
         "Invalid Length of Parameter Data of this Module. The Length must be equal to Ext_Module_Prm_Data_Len."},
        {64645,
         "Invalid Length of User-Parameter-Definition. The \"%s\" must be in the Range defined by "
         "User_Prm_Data_Len."},
        {64646, "Invalid Definition. The Definition of a User-Parameter-Length is required to define \"%s\"."},
    };
    return formats;
}

// The text of message id with its placeholders (%s, %d, %04X) filled in order;
// a message that names one keyword twice gets it once in args.
inline std::string Text(int id, std::vector<std::string> args = {}) {
    const std::string& format = Formats().at(id);
    std::string text;
    size_t next = 0;
    size_t placeholders = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%') {
            size_t len = format.compare(i, 4, "%04X") == 0 ? 4 : 2;
            ++placeholders;
            if (next < args.size())
                text += args[next++];
            else if (!args.empty())
                text += args.back();
            i += len - 1;
        } else {
            text += format[i];
        }
    }
    EXPECT_TRUE(placeholders == 0 || !args.empty()) << "message " << id << " needs its arguments";
    return text;
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
