#pragma once
// The user parameter data of a DP slave as a master builds them from a GSD file:
// the numbered parameter definitions (ExtUserPrmData) with their texts (PrmText),
// and the bytes of one part (the device's or one module's) written from its
// Ext_User_Prm_Data_Const and Ext_User_Prm_Data_Ref lines.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/check_message.h"
#include "model/key_database.h"

// The user parameter data a DP slave takes at most; nothing is written beyond.
constexpr int MAX_PRM_BYTES = 244;

// Findings of one configuration, each listed once however often it is met.
class CConfigFindings {
public:
    void Add(int kind, int line, std::string text);
    void Error(int line, std::string text) { Add(CheckMessageKind::Error, line, std::move(text)); }
    void Warning(int line, std::string text) { Add(CheckMessageKind::Warning, line, std::move(text)); }
    void AddAll(const std::vector<CCheckMessage>& rows);
    const std::vector<CCheckMessage>& Rows() const { return m_Rows; }

private:
    std::set<std::tuple<int, int, std::string>> m_Seen;
    std::vector<CCheckMessage> m_Rows;
};

// A whole number as GSD files write parameter values: decimal or 0x hexadecimal,
// with an optional sign, blanks around it; false for anything else and for
// magnitudes beyond 40 bits, which no parameter holds.
bool ReadPrmNumber(std::string_view text, std::int64_t& value);

enum class EPrmType { None, Unsigned8, Unsigned16, Unsigned32, Signed8, Signed16, Signed32, Bit, BitArea };

// The data type of a keyword (Unsigned8 ... BitArea, any letter case); None for others.
EPrmType PrmTypeOf(std::string_view keyword);
const char* PrmTypeName(EPrmType type);

// One ExtUserPrmData definition.
struct CPrmDefinition {
    std::int64_t m_nReference = 0;
    std::string m_Name;
    int m_nLine = -1;
    EPrmType m_Type = EPrmType::None;
    int m_nTypeLine = -1;
    // The bits a Bit or BitArea writes; whether they lie in one byte in order.
    int m_nFirstBit = 0;
    int m_nLastBit = 7;
    bool m_bBitsOk = true;
    std::int64_t m_nDefault = 0;
    // The allowed values: a range m_nMin-m_nMax, or the values of m_List.
    bool m_bAllowedOk = false;
    bool m_bRange = true;
    std::int64_t m_nMin = 0;
    std::int64_t m_nMax = 0;
    std::vector<std::int64_t> m_List;
    bool m_bTextRef = false;
    std::int64_t m_nTextRef = 0;
    int m_nTextRefLine = -1;
    // Faults of the definition itself, reported wherever it is used.
    std::vector<CCheckMessage> m_Problems;

    int ByteCount() const;
    bool Allows(std::int64_t value) const;
    // Whether the data type can hold the value at all.
    bool Fits(std::int64_t value) const;
    std::string AllowedText() const;
    std::string TypeText() const;
};

// One PrmText table: its values and texts in the order written.
struct CPrmTextTable {
    std::int64_t m_nReference = 0;
    int m_nLine = -1;
    std::vector<std::pair<std::int64_t, std::string>> m_Texts;
    std::vector<CCheckMessage> m_Problems;
};

// Every definition and text table of a file; the first of each number counts.
class CPrmDefinitions {
public:
    void Read(const CKeyDatabase& database);
    const CPrmDefinition* Find(std::int64_t reference) const;
    const CPrmTextTable* FindTexts(std::int64_t reference) const;

private:
    std::vector<CPrmDefinition> m_Definitions;
    std::vector<CPrmTextTable> m_Tables;
    std::map<std::int64_t, size_t> m_DefinitionIndex;
    std::map<std::int64_t, size_t> m_TableIndex;
};

// The parameter lines of one part as written.
struct CConstLine {
    int m_nLine = -1;
    std::string m_Offset;
    std::string m_Bytes;
};
struct CRefLine {
    int m_nLine = -1;
    std::string m_Offset;
    std::string m_Reference;
};
struct CPartLines {
    std::vector<CConstLine> m_Consts;
    std::vector<CRefLine> m_Refs;
    bool Empty() const { return m_Consts.empty() && m_Refs.empty(); }
};

// A value asked for a parameter by its name: a text of its PrmText or a number.
struct CPartSetting {
    std::string m_Parameter;
    std::string m_Value;
    bool m_bMatched = false;  // set when a parameter of the part has the name
};

// A line that wrote bits of a byte, and what it wrote there.
struct CByteWriter {
    int m_nLine = -1;
    std::uint8_t m_nMask = 0xFF;  // the bits of the byte it wrote that no later line wrote again
    std::string m_Text;           // "Ext_User_Prm_Data_Const(0)", "Ext_User_Prm_Data_Ref(1): "Mode" = 1 ..."
};

// The value one parameter line of a part writes, with its definition and texts:
// what a configurator shows and offers for it.
struct CParameterValue {
    CPrmDefinition m_Definition;
    std::vector<std::pair<std::int64_t, std::string>> m_Texts;  // of its PrmText, in the order written
    int m_nLine = -1;                                           // its Ext_User_Prm_Data_Ref line
    std::int64_t m_nOffset = 0;
    std::int64_t m_nValue = 0;
    bool m_bSet = false;  // a setting gave the value, not the default

    // The text of a value: the first text of its PrmText for it, else the number.
    std::string TextOf(std::int64_t value) const;
};

// How a part came about: per byte the lines that wrote it, and the value of
// every parameter line that wrote something.
struct CPartTrace {
    std::vector<std::vector<CByteWriter>> m_Writers;
    std::vector<CParameterValue> m_Values;
};

// The bytes of one part: the Const bytes at their offsets, then each Ref's value
// (its setting, else its default) at its offset; as long as the furthest byte
// written. `partName` names the part in findings ("the device", "module "X"").
// With a trace, also how each byte came about.
std::vector<std::uint8_t> BuildPart(const CPartLines& lines, const CPrmDefinitions& definitions,
                                    const std::string& partName, std::vector<CPartSetting>& settings,
                                    CConfigFindings& findings, CPartTrace* trace = nullptr);
