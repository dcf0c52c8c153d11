#include "config/prm_data.h"

#include <algorithm>

#include "base/text_util.h"
#include "base/value_scanners.h"

namespace {

std::string Num(std::int64_t value) {
    return std::to_string(static_cast<long long>(value));
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

CCheckMessage Problem(int kind, int line, std::string text) {
    CCheckMessage row;
    row.m_nKind = kind;
    row.m_nLine = line;
    row.m_Text = std::move(text);
    return row;
}

bool IsKeyword(const CKeyEntry& entry, const char* keyword) {
    return EqualsNoCase(entry.m_Keyword, keyword);
}

bool IsChildOf(const CKeyEntry& entry, const char* opener) {
    return entry.m_hParent != nullptr && IsKeyword(*entry.m_hParent, opener);
}

// The value items of an entry that hold something, trimmed.
std::vector<std::string> Items(const CKeyEntry& entry) {
    std::vector<std::string> items;
    for (size_t i = 0; i < entry.m_Ready.size(); ++i) {
        std::string text = Trim(entry.m_Ready[i]);
        if (!text.empty()) items.push_back(std::move(text));
    }
    return items;
}

// Splits "a-b" at the dash that separates two numbers (a leading minus sign of
// either number stays with it).
bool SplitRange(std::string_view text, std::string_view& first, std::string_view& second) {
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '-' || text[i - 1] == '-') continue;
        first = text.substr(0, i);
        second = text.substr(i + 1);
        return true;
    }
    return false;
}

std::string Label(const CPrmDefinition& definition) {
    return "ExtUserPrmData " + Num(definition.m_nReference) + " " + Quoted(definition.m_Name);
}

// Reads the allowed values "min-max" or "a,b,c" (a single number is a list of one).
bool ReadAllowed(const std::string& text, CPrmDefinition& definition) {
    if (text.find(',') != std::string::npos) {
        definition.m_bRange = false;
        size_t start = 0;
        for (;;) {
            const size_t comma = text.find(',', start);
            std::int64_t value = 0;
            if (!ReadPrmNumber(std::string_view(text).substr(
                                   start, comma == std::string::npos ? std::string::npos : comma - start),
                               value))
                return false;
            definition.m_List.push_back(value);
            if (comma == std::string::npos) return true;
            start = comma + 1;
        }
    }
    std::string_view first, second;
    if (SplitRange(text, first, second)) {
        definition.m_bRange = true;
        return ReadPrmNumber(first, definition.m_nMin) && ReadPrmNumber(second, definition.m_nMax);
    }
    std::int64_t value = 0;
    if (!ReadPrmNumber(text, value)) return false;
    definition.m_bRange = false;
    definition.m_List.push_back(value);
    return true;
}

void ReadBits(const std::string& text, EPrmType type, CPrmDefinition& definition) {
    const int line = definition.m_nTypeLine;
    std::int64_t first = 0, last = 0;
    std::string_view a, b;
    bool read = false;
    if (type == EPrmType::Bit) {
        read = ReadPrmNumber(text, first);
        last = first;
    } else if (SplitRange(text, a, b)) {
        read = ReadPrmNumber(a, first) && ReadPrmNumber(b, last);
    } else {
        read = ReadPrmNumber(text, first);
        last = first;
    }
    const std::string written = std::string(PrmTypeName(type)) + "(" + text + ")";
    definition.m_bBitsOk = false;
    if (!read) {
        definition.m_Problems.push_back(
            Problem(CheckMessageKind::Error, line, written + " of " + Label(definition) + " names no bits."));
    } else if (first > last) {
        definition.m_Problems.push_back(
            Problem(CheckMessageKind::Error, line,
                    written + " of " + Label(definition) + " names its first bit after its last; it writes nothing."));
    } else if (first < 0 || last > 7) {
        definition.m_Problems.push_back(
            Problem(CheckMessageKind::Error, line,
                    written + " of " + Label(definition) + " lies outside the byte (bits 0-7); it writes nothing."));
    } else {
        definition.m_nFirstBit = static_cast<int>(first);
        definition.m_nLastBit = static_cast<int>(last);
        definition.m_bBitsOk = true;
    }
}

void ReadDataType(const CKeyEntry& entry, EPrmType type, CPrmDefinition& definition) {
    const int line = entry.m_LongLine;
    if (definition.m_Type != EPrmType::None) {
        definition.m_Problems.push_back(Problem(CheckMessageKind::Warning, line,
                                                Label(definition) + " has a second data type; the first (line " +
                                                    std::to_string(definition.m_nTypeLine + 1) + ") counts."));
        return;
    }
    definition.m_Type = type;
    definition.m_nTypeLine = line;
    std::vector<std::string> items = Items(entry);
    size_t next = 0;
    if (type == EPrmType::Bit || type == EPrmType::BitArea) {
        if (items.empty()) {
            definition.m_bBitsOk = false;
            definition.m_Problems.push_back(
                Problem(CheckMessageKind::Error, line, Label(definition) + " names no bits for its data type."));
        } else {
            ReadBits(items[0], type, definition);
            next = 1;
        }
    }
    if (next >= items.size()) {
        definition.m_Problems.push_back(
            Problem(CheckMessageKind::Error, line, Label(definition) + " has no default value and no allowed values."));
        return;
    }
    std::string allowed;
    for (size_t i = next + 1; i < items.size(); ++i) allowed += items[i];
    const std::string& defaultText = items[next];
    if (allowed.empty()) {
        // One word: the allowed values without a default, or a default without them.
        CPrmDefinition probe;
        if (ReadAllowed(defaultText, probe) && (probe.m_bRange || probe.m_List.size() > 1)) {
            allowed = defaultText;
            definition.m_bAllowedOk = ReadAllowed(allowed, definition);
            definition.m_nDefault = definition.m_bRange ? definition.m_nMin : definition.m_List.front();
            definition.m_Problems.push_back(
                Problem(CheckMessageKind::Error, line,
                        Label(definition) + " has no default value; " + Num(definition.m_nDefault) + " is taken."));
            return;
        }
        definition.m_Problems.push_back(
            Problem(CheckMessageKind::Error, line, Label(definition) + " has no allowed values."));
    } else if (!ReadAllowed(allowed, definition)) {
        definition.m_Problems.push_back(Problem(CheckMessageKind::Error, line,
                                                "The allowed values " + Quoted(allowed) + " of " + Label(definition) +
                                                    " are no range and no list of numbers."));
    } else {
        definition.m_bAllowedOk = true;
        if (definition.m_bRange && definition.m_nMin > definition.m_nMax)
            definition.m_Problems.push_back(Problem(
                CheckMessageKind::Error, line,
                "The range " + definition.AllowedText() + " of " + Label(definition) + " ends below its start."));
    }
    if (!ReadPrmNumber(defaultText, definition.m_nDefault)) {
        definition.m_nDefault = 0;
        definition.m_Problems.push_back(Problem(
            CheckMessageKind::Error, line,
            "The default value " + Quoted(defaultText) + " of " + Label(definition) + " is no number; 0 is taken."));
        return;
    }
    if (definition.m_bAllowedOk && !definition.Allows(definition.m_nDefault))
        definition.m_Problems.push_back(Problem(CheckMessageKind::Error, line,
                                                "The default value " + Num(definition.m_nDefault) + " of " +
                                                    Label(definition) + " lies outside its allowed values " +
                                                    definition.AllowedText() + "."));
    if (!definition.Fits(definition.m_nDefault))
        definition.m_Problems.push_back(Problem(CheckMessageKind::Error, line,
                                                "The default value " + Num(definition.m_nDefault) + " of " +
                                                    Label(definition) + " does not fit in " + definition.TypeText() +
                                                    "; only its low bits are written."));
}

// The definition's value as written into the bytes it occupies (big-endian),
// and the bits of each byte it writes.
struct SPlacedValue {
    std::uint8_t m_Bytes[4] = {};
    std::uint8_t m_Masks[4] = {};
    int m_nCount = 0;
};

SPlacedValue Place(const CPrmDefinition& definition, std::int64_t value) {
    SPlacedValue placed;
    const auto bits = static_cast<std::uint64_t>(value);
    if (definition.m_Type == EPrmType::Bit || definition.m_Type == EPrmType::BitArea) {
        const int width = definition.m_nLastBit - definition.m_nFirstBit + 1;
        const std::uint64_t fieldMask = (std::uint64_t{1} << width) - 1;
        placed.m_nCount = 1;
        placed.m_Masks[0] = static_cast<std::uint8_t>(fieldMask << definition.m_nFirstBit);
        placed.m_Bytes[0] = static_cast<std::uint8_t>((bits & fieldMask) << definition.m_nFirstBit);
        return placed;
    }
    placed.m_nCount = definition.ByteCount();
    for (int i = 0; i < placed.m_nCount; ++i) {
        placed.m_Masks[i] = 0xFF;
        placed.m_Bytes[i] = static_cast<std::uint8_t>(bits >> (8 * (placed.m_nCount - 1 - i)));
    }
    return placed;
}

// The value a setting asks for; false (with a finding) when it names none.
bool ResolveSetting(const CPartSetting& setting, const CPrmDefinition& definition, const CPrmTextTable* table, int line,
                    const std::string& partName, CConfigFindings& findings, std::int64_t& value) {
    const std::string wanted = Trim(setting.m_Value);
    if (table != nullptr) {
        for (const auto& [number, text] : table->m_Texts)
            if (Trim(text) == wanted) return value = number, true;
        for (const auto& [number, text] : table->m_Texts)
            if (EqualsNoCase(Trim(text), wanted)) return value = number, true;
    }
    if (ReadPrmNumber(wanted, value)) return true;
    const std::string name = "parameter " + Quoted(definition.m_Name) + " of " + partName;
    if (table != nullptr)
        findings.Error(line, Quoted(wanted) + " is not a text of " + name + " (PrmText " + Num(table->m_nReference) +
                                 "); it keeps its default.");
    else
        findings.Error(line, Quoted(wanted) + " is no number, and " + name + " has no texts; it keeps its default.");
    return false;
}

// Notes that `line` wrote the bits `mask` of byte `index`; earlier writers keep
// only the bits it left them.
void Record(CPartTrace* trace, size_t index, std::uint8_t mask, int line, const std::string& text) {
    if (trace == nullptr) return;
    if (trace->m_Writers.size() <= index) trace->m_Writers.resize(index + 1);
    std::vector<CByteWriter>& writers = trace->m_Writers[index];
    for (CByteWriter& writer : writers) writer.m_nMask = static_cast<std::uint8_t>(writer.m_nMask & ~mask);
    std::erase_if(writers, [](const CByteWriter& writer) { return writer.m_nMask == 0; });
    writers.push_back({line, mask, text});
}

}  // namespace

std::string CParameterValue::TextOf(std::int64_t value) const {
    for (const auto& [number, text] : m_Texts)
        if (number == value) return text;
    return Num(value);
}

void CConfigFindings::Add(int kind, int line, std::string text) {
    if (!m_Seen.emplace(kind, line, text).second) return;
    CCheckMessage row;
    row.m_nKind = kind;
    row.m_nLine = line;
    row.m_Text = std::move(text);
    m_Rows.push_back(std::move(row));
}

void CConfigFindings::AddAll(const std::vector<CCheckMessage>& rows) {
    for (const CCheckMessage& row : rows) Add(row.m_nKind, row.m_nLine, row.m_Text);
}

bool ReadPrmNumber(std::string_view raw, std::int64_t& value) {
    const std::string text = Trim(raw);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > (std::int64_t{1} << 40)) return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

EPrmType PrmTypeOf(std::string_view keyword) {
    static constexpr std::pair<const char*, EPrmType> kTypes[] = {{"Unsigned8", EPrmType::Unsigned8},
                                                                  {"Unsigned16", EPrmType::Unsigned16},
                                                                  {"Unsigned32", EPrmType::Unsigned32},
                                                                  {"Signed8", EPrmType::Signed8},
                                                                  {"Signed16", EPrmType::Signed16},
                                                                  {"Signed32", EPrmType::Signed32},
                                                                  {"Bit", EPrmType::Bit},
                                                                  {"BitArea", EPrmType::BitArea}};
    for (const auto& [name, type] : kTypes)
        if (EqualsNoCase(keyword, name)) return type;
    return EPrmType::None;
}

const char* PrmTypeName(EPrmType type) {
    switch (type) {
        case EPrmType::Unsigned8: return "Unsigned8";
        case EPrmType::Unsigned16: return "Unsigned16";
        case EPrmType::Unsigned32: return "Unsigned32";
        case EPrmType::Signed8: return "Signed8";
        case EPrmType::Signed16: return "Signed16";
        case EPrmType::Signed32: return "Signed32";
        case EPrmType::Bit: return "Bit";
        case EPrmType::BitArea: return "BitArea";
        case EPrmType::None: break;
    }
    return "no data type";
}

int CPrmDefinition::ByteCount() const {
    switch (m_Type) {
        case EPrmType::Unsigned16:
        case EPrmType::Signed16: return 2;
        case EPrmType::Unsigned32:
        case EPrmType::Signed32: return 4;
        case EPrmType::None: return 0;
        default: return 1;
    }
}

bool CPrmDefinition::Allows(std::int64_t value) const {
    if (m_bRange) return value >= m_nMin && value <= m_nMax;
    return std::find(m_List.begin(), m_List.end(), value) != m_List.end();
}

bool CPrmDefinition::Fits(std::int64_t value) const {
    switch (m_Type) {
        case EPrmType::Unsigned8: return value >= 0 && value <= 0xFF;
        case EPrmType::Unsigned16: return value >= 0 && value <= 0xFFFF;
        case EPrmType::Unsigned32: return value >= 0 && value <= 0xFFFFFFFFll;
        case EPrmType::Signed8: return value >= -128 && value <= 127;
        case EPrmType::Signed16: return value >= -32768 && value <= 32767;
        case EPrmType::Signed32: return value >= -2147483648ll && value <= 2147483647ll;
        case EPrmType::Bit:
        case EPrmType::BitArea: return value >= 0 && value < (std::int64_t{1} << (m_nLastBit - m_nFirstBit + 1));
        case EPrmType::None: break;
    }
    return false;
}

std::string CPrmDefinition::AllowedText() const {
    if (m_bRange) return Num(m_nMin) + "-" + Num(m_nMax);
    std::string text;
    for (std::int64_t value : m_List) text += (text.empty() ? "" : ",") + Num(value);
    return text;
}

std::string CPrmDefinition::TypeText() const {
    if (m_Type == EPrmType::Bit) return "Bit(" + std::to_string(m_nFirstBit) + ")";
    if (m_Type == EPrmType::BitArea)
        return "BitArea(" + std::to_string(m_nFirstBit) + "-" + std::to_string(m_nLastBit) + ")";
    return PrmTypeName(m_Type);
}

void CPrmDefinitions::Read(const CKeyDatabase& database) {
    // The record each opening entry started, by the entry.
    std::map<const CKeyEntry*, size_t> openDefinitions, openTables;
    for (const CKeyEntry* entry : database) {
        if (IsKeyword(*entry, "ExtUserPrmData")) {
            CPrmDefinition definition;
            definition.m_nLine = entry->m_LongLine;
            definition.m_Name = Trim(entry->m_Ready[1]);
            if (!ReadPrmNumber(entry->m_Ready[0], definition.m_nReference)) continue;
            openDefinitions[entry] = m_Definitions.size();
            m_DefinitionIndex.emplace(definition.m_nReference, m_Definitions.size());
            m_Definitions.push_back(std::move(definition));
        } else if (IsKeyword(*entry, "PrmText")) {
            CPrmTextTable table;
            table.m_nLine = entry->m_LongLine;
            if (!ReadPrmNumber(entry->m_Ready[0], table.m_nReference)) continue;
            openTables[entry] = m_Tables.size();
            m_TableIndex.emplace(table.m_nReference, m_Tables.size());
            m_Tables.push_back(std::move(table));
        } else if (IsChildOf(*entry, "ExtUserPrmData")) {
            const auto open = openDefinitions.find(entry->m_hParent);
            if (open == openDefinitions.end()) continue;
            CPrmDefinition& definition = m_Definitions[open->second];
            if (const EPrmType type = PrmTypeOf(entry->m_Keyword); type != EPrmType::None) {
                ReadDataType(*entry, type, definition);
            } else if (IsKeyword(*entry, "Prm_Text_Ref") && !definition.m_bTextRef) {
                definition.m_bTextRef = ReadPrmNumber(entry->m_Ready[0], definition.m_nTextRef);
                definition.m_nTextRefLine = entry->m_LongLine;
                if (!definition.m_bTextRef)
                    definition.m_Problems.push_back(
                        Problem(CheckMessageKind::Warning, entry->m_LongLine,
                                "Prm_Text_Ref of " + Label(definition) + " names no PrmText number; it has no texts."));
            }
        } else if (IsChildOf(*entry, "PrmText") && IsKeyword(*entry, "Text")) {
            const auto open = openTables.find(entry->m_hParent);
            if (open == openTables.end()) continue;
            CPrmTextTable& table = m_Tables[open->second];
            std::int64_t value = 0;
            if (ReadPrmNumber(entry->m_Ready[0], value))
                table.m_Texts.emplace_back(value, Trim(entry->m_Ready[1]));
            else
                table.m_Problems.push_back(Problem(CheckMessageKind::Warning, entry->m_LongLine,
                                                   "Text(" + Trim(entry->m_Ready[0]) + ") of PrmText " +
                                                       Num(table.m_nReference) + " has no number for its value."));
        }
    }
    for (CPrmTextTable& table : m_Tables)
        if (table.m_Texts.empty())
            table.m_Problems.push_back(
                Problem(CheckMessageKind::Error, table.m_nLine,
                        "PrmText " + Num(table.m_nReference) + " has no Text lines; its parameters have no texts."));
    for (CPrmDefinition& definition : m_Definitions)
        if (definition.m_Type == EPrmType::None)
            definition.m_Problems.push_back(Problem(CheckMessageKind::Error, definition.m_nLine,
                                                    Label(definition) + " has no data type; it writes nothing."));
}

const CPrmDefinition* CPrmDefinitions::Find(std::int64_t reference) const {
    const auto found = m_DefinitionIndex.find(reference);
    return found == m_DefinitionIndex.end() ? nullptr : &m_Definitions[found->second];
}

const CPrmTextTable* CPrmDefinitions::FindTexts(std::int64_t reference) const {
    const auto found = m_TableIndex.find(reference);
    return found == m_TableIndex.end() ? nullptr : &m_Tables[found->second];
}

std::vector<std::uint8_t> BuildPart(const CPartLines& lines, const CPrmDefinitions& definitions,
                                    const std::string& partName, std::vector<CPartSetting>& settings,
                                    CConfigFindings& findings, CPartTrace* trace) {
    std::vector<std::uint8_t> data;
    auto beyond = [&](int line, const std::string& what) {
        findings.Error(line, what + " of " + partName + " reaches beyond the " + std::to_string(MAX_PRM_BYTES) +
                                 " bytes of user parameter data a DP slave takes; the bytes from there on are left "
                                 "out.");
    };

    for (const CConstLine& line : lines.m_Consts) {
        const std::string what = "Ext_User_Prm_Data_Const(" + Trim(line.m_Offset) + ")";
        std::int64_t offset = 0;
        if (!ReadPrmNumber(line.m_Offset, offset) || offset < 0) {
            findings.Error(line.m_nLine, what + " of " + partName + " has no offset; it writes nothing.");
            continue;
        }
        size_t start = 0;
        for (std::int64_t at = offset;; ++at) {
            const size_t comma = line.m_Bytes.find(',', start);
            const std::string token =
                line.m_Bytes.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            std::uint32_t byte = 0;
            if (!ScanNumber(token, WIDTH_U8, &byte)) {
                findings.Error(line.m_nLine, what + " of " + partName + ": " + Quoted(Trim(token)) +
                                                 " is no byte value; the bytes from there on are left out.");
                break;
            }
            if (at >= MAX_PRM_BYTES) {
                beyond(line.m_nLine, what);
                break;
            }
            if (data.size() <= static_cast<size_t>(at)) data.resize(static_cast<size_t>(at) + 1, 0);
            data[static_cast<size_t>(at)] = static_cast<std::uint8_t>(byte);
            Record(trace, static_cast<size_t>(at), 0xFF, line.m_nLine, what);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }

    // Per bit of the part: the Ref line that wrote it, so that a second writer is named.
    std::vector<const CRefLine*> writers;
    std::vector<const CPrmDefinition*> writerDefinitions;
    for (const CRefLine& line : lines.m_Refs) {
        const std::string what = "Ext_User_Prm_Data_Ref(" + Trim(line.m_Offset) + ")";
        std::int64_t offset = 0, reference = 0;
        if (!ReadPrmNumber(line.m_Offset, offset) || offset < 0) {
            findings.Error(line.m_nLine, what + " of " + partName + " has no offset; it writes nothing.");
            continue;
        }
        if (!ReadPrmNumber(line.m_Reference, reference)) {
            findings.Error(line.m_nLine, what + " of " + partName + " names no ExtUserPrmData number.");
            continue;
        }
        const CPrmDefinition* definition = definitions.Find(reference);
        if (definition == nullptr) {
            findings.Error(line.m_nLine, what + " of " + partName + " refers to ExtUserPrmData " + Num(reference) +
                                             ", which the file does not define; it writes nothing.");
            continue;
        }
        findings.AddAll(definition->m_Problems);
        const CPrmTextTable* table = nullptr;
        if (definition->m_bTextRef) {
            table = definitions.FindTexts(definition->m_nTextRef);
            if (table == nullptr)
                findings.Warning(definition->m_nTextRefLine, "Prm_Text_Ref of " + Label(*definition) +
                                                                 " names PrmText " + Num(definition->m_nTextRef) +
                                                                 ", which the file does not define.");
            else
                findings.AddAll(table->m_Problems);
        }
        if (definition->m_Type == EPrmType::None || !definition->m_bBitsOk) continue;

        std::int64_t value = definition->m_nDefault;
        bool set = false;
        for (CPartSetting& setting : settings) {
            if (!EqualsNoCase(Trim(setting.m_Parameter), definition->m_Name)) continue;
            setting.m_bMatched = true;
            std::int64_t wanted = 0;
            if (!ResolveSetting(setting, *definition, table, line.m_nLine, partName, findings, wanted)) continue;
            value = wanted;
            set = true;
            const std::string name = "parameter " + Quoted(definition->m_Name) + " of " + partName;
            if (definition->m_bAllowedOk && !definition->Allows(value))
                findings.Error(line.m_nLine, "The value " + Num(value) + " set for " + name +
                                                 " lies outside its allowed values " + definition->AllowedText() + ".");
            if (!definition->Fits(value))
                findings.Error(line.m_nLine, "The value " + Num(value) + " set for " + name + " does not fit in " +
                                                 definition->TypeText() + "; only its low bits are written.");
        }

        std::string written;
        if (trace != nullptr) {
            CParameterValue shown;
            shown.m_Definition = *definition;
            shown.m_Definition.m_Problems.clear();
            if (table != nullptr) shown.m_Texts = table->m_Texts;
            shown.m_nLine = line.m_nLine;
            shown.m_nOffset = offset;
            shown.m_nValue = value;
            shown.m_bSet = set;
            const std::string text = shown.TextOf(value);
            written = "parameter " + Quoted(definition->m_Name) + " = " + Num(value) +
                      (text != Num(value) ? " " + Quoted(text) : std::string()) + " (" + what + " = " + Num(reference) +
                      ")";
            trace->m_Values.push_back(std::move(shown));
        }
        const SPlacedValue placed = Place(*definition, value);
        for (int i = 0; i < placed.m_nCount; ++i) {
            const std::int64_t at = offset + i;
            if (at >= MAX_PRM_BYTES) {
                beyond(line.m_nLine, what);
                break;
            }
            const auto index = static_cast<size_t>(at);
            if (data.size() <= index) data.resize(index + 1, 0);
            if (writers.size() < data.size() * 8) {
                writers.resize(data.size() * 8, nullptr);
                writerDefinitions.resize(data.size() * 8, nullptr);
            }
            const std::uint8_t mask = placed.m_Masks[i];
            for (int bit = 0; bit < 8; ++bit) {
                if ((mask & (1u << bit)) == 0) continue;
                const size_t slot = index * 8 + static_cast<size_t>(bit);
                if (writers[slot] != nullptr) {
                    findings.Error(line.m_nLine, "Parameters " + Quoted(writerDefinitions[slot]->m_Name) + " (line " +
                                                     std::to_string(writers[slot]->m_nLine + 1) + ") and " +
                                                     Quoted(definition->m_Name) + " of " + partName +
                                                     " both write byte " + Num(at) +
                                                     "; the later one overwrites the earlier.");
                }
                writers[slot] = &line;
                writerDefinitions[slot] = definition;
            }
            data[index] = static_cast<std::uint8_t>((data[index] & ~mask) | (placed.m_Bytes[i] & mask));
            Record(trace, index, mask, line.m_nLine, written);
        }
    }
    if (trace != nullptr) trace->m_Writers.resize(data.size());
    return data;
}
