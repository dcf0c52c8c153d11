#include "config/slave_config.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_map>

#include "base/text_util.h"
#include "check/identifier_codec.h"
#include "check/process_key.h"
#include "config/prm_data.h"
#include "model/database_builder.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"
#include "model/text_lines.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Num(long long value) {
    return std::to_string(value);
}

bool IsKeyword(const CKeyEntry& entry, const char* keyword) {
    return EqualsNoCase(entry.m_Keyword, keyword);
}

bool HasErrorRow(const std::vector<CCheckMessage>& rows) {
    for (const CCheckMessage& row : rows)
        if (row.m_nKind == CheckMessageKind::Error || row.m_nKind == CheckMessageKind::FatalError) return true;
    return false;
}

// A top-level key of the file: its first occurrence outside every block.
struct STopKey {
    bool m_bPresent = false;
    std::string m_Value;
    int m_nLine = -1;
};

struct SModule {
    std::string m_Name;
    int m_nLine = -1;
    std::string m_Reference;
    std::string m_Config;
    CPartLines m_Part;
    STopKey m_PrmLen;        // its Ext_Module_Prm_Data_Len
    int m_nSafetyLine = -1;  // first F_ parameter line inside it
    std::vector<std::uint8_t> m_Cfg;
    CIoCount m_Io;
    std::vector<CCheckMessage> m_Problems;  // of its configuration data
};

// A Slot line as read, resolved once every line is known.
struct SSlotLine {
    int m_nLine = -1;
    std::string m_Number;
    std::string m_Value;
};

// The keys that bound a configuration, in the order they are listed.
constexpr const char* kLimitKeys[] = {"Max_Module",   "Max_Input_Len",         "Max_Output_Len",
                                      "Max_Data_Len", "Max_User_Prm_Data_Len", "User_Prm_Data_Len"};

CCheckMessage Row(int kind, int line, std::string text) {
    CCheckMessage row;
    row.m_nKind = kind;
    row.m_nLine = line;
    row.m_Text = std::move(text);
    return row;
}

// Reads the identifier bytes of a module's configuration string.
void ReadModuleConfig(SModule& module) {
    const std::string who = "module " + Quoted(module.m_Name);
    if (Trim(module.m_Config).empty()) {
        module.m_Problems.push_back(
            Row(CheckMessageKind::Error, module.m_nLine, "The Module line of " + who + " has no configuration data."));
        return;
    }
    for (const CConfigToken& token : TokenizeConfig(module.m_Config)) {
        if (!token.m_bByte) {
            module.m_Problems.push_back(Row(CheckMessageKind::Error, module.m_nLine,
                                            "The configuration data of " + who + " hold " +
                                                Quoted(Trim(module.m_Config.substr(token.m_nStart, token.m_nLength))) +
                                                ", which is no byte value; the bytes from there on are left out."));
            break;
        }
        module.m_Cfg.push_back(token.m_Byte);
    }
    module.m_Io = CountIo(module.m_Cfg);
    if (module.m_Io.m_nMissing > 0)
        module.m_Problems.push_back(Row(CheckMessageKind::Error, module.m_nLine,
                                        "The configuration data of " + who +
                                            " end inside an identifier: " + Num(module.m_Io.m_nMissing) +
                                            " of its bytes are missing, and it is not counted."));
}

}  // namespace

CIoCount CountIo(const std::vector<std::uint8_t>& identifiers) {
    CIoCount count;
    auto bytes = [](const CIdentLength& length) {
        return static_cast<long long>(length.m_nLength) * (length.m_bWords ? 2 : 1);
    };
    for (const CIdentifier& id : DecodeIdentifiers(identifiers)) {
        if (id.m_nMissing > 0) {
            count.m_nMissing += id.m_nMissing;
            continue;
        }
        // The general format keeps its one length in m_Input for both directions.
        if (id.HasInput()) count.m_nInputs += bytes(id.m_Input);
        if (id.HasOutput()) count.m_nOutputs += bytes(id.m_bSpecial ? id.m_Output : id.m_Input);
    }
    return count;
}

bool CSlaveConfig::HasErrors() const {
    return HasErrorRow(m_Findings);
}

bool CModuleList::HasErrors() const {
    return HasErrorRow(m_Findings);
}

bool CSlotDefinition::Allows(std::int64_t reference) const {
    for (const auto& [first, last] : m_AllowedReferences)
        if (reference >= first && reference <= last) return true;
    return false;
}

std::string CByteSource::Text() const {
    std::string text = m_Part + ", byte " + Num(m_nOffset);
    if (m_Writers.empty()) text += "\nno line writes it: 0";
    for (const CByteWriter& writer : m_Writers) {
        text += "\n";
        if (writer.m_nMask != 0xFF) {
            // "bit 3", "bits 4-6", or the runs of bits where they do not lie together: "bits 0-3, 6-7".
            std::string runs;
            int count = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if ((writer.m_nMask & (1u << bit)) == 0) continue;
                int last = bit;
                while (last < 7 && (writer.m_nMask & (1u << (last + 1))) != 0) ++last;
                runs += (runs.empty() ? "" : ", ") + Num(bit) + (last > bit ? "-" + Num(last) : std::string());
                count += last - bit + 1;
                bit = last;
            }
            text += (count == 1 ? "bit " : "bits ") + runs;
            text += ": ";
        }
        text += writer.m_Text;
        if (writer.m_nLine >= 0) text += ", line " + Num(static_cast<long long>(writer.m_nLine) + 1);
    }
    return text;
}

struct CSlaveDescription::CData {
    std::vector<SModule> m_Modules;
    CPartLines m_Device;
    CPrmDefinitions m_Definitions;
    STopKey m_Modular, m_UserPrmData, m_UserPrmDataLen, m_Dpv1, m_StationType, m_ModulOffset;
    STopKey m_Limits[std::size(kLimitKeys)];
    std::vector<CSlotDefinition> m_Slots;   // by position, the first line of each
    std::vector<CCheckMessage> m_Problems;  // of the file as a whole

    void Read(const CKeyDatabase& database);
    void ReadSlots(const std::vector<SSlotLine>& lines);
    int ModuleOfReference(std::int64_t reference) const;
    const CSlotDefinition* SlotOfPosition(size_t position) const;
    void NoModule(CConfigFindings& findings) const;
    std::vector<std::uint8_t> DevicePart(std::vector<CPartSetting>& settings, CConfigFindings& findings,
                                         CPartTrace& trace) const;
    std::vector<std::uint8_t> ModulePart(const SModule& module, std::vector<CPartSetting>& settings,
                                         CConfigFindings& findings, CPartTrace& trace) const;
};

void CSlaveDescription::CData::Read(const CKeyDatabase& database) {
    m_Definitions.Read(database);
    auto keep = [](STopKey& key, const CKeyEntry& entry, std::string_view value) {
        if (key.m_bPresent) return;
        key.m_bPresent = true;
        key.m_Value = value;
        key.m_nLine = entry.m_LongLine;
    };
    // The module whose lines follow, by order (F_ lines have no block of their own),
    // and the module each Module entry opened.
    size_t current = SIZE_MAX;
    std::unordered_map<const CKeyEntry*, size_t> moduleOf;
    bool inSlots = false;
    std::vector<SSlotLine> slots;
    for (const CKeyEntry* entry : database) {
        const CKeyEntry* parent = entry->m_hParent;
        const bool top = parent == nullptr;
        if (IsKeyword(*entry, "SlotDefinition") || IsKeyword(*entry, "EndSlotDefinition")) {
            inSlots = IsKeyword(*entry, "SlotDefinition");
            continue;
        }
        if (inSlots && IsKeyword(*entry, "Slot")) {
            slots.push_back({entry->m_LongLine, std::string(entry->m_Ready[0]), entry->m_Value.str()});
            continue;
        }
        if (IsKeyword(*entry, "Module")) {
            SModule module;
            module.m_Name = Trim(entry->m_Ready[0]);
            module.m_nLine = entry->m_LongLine;
            module.m_Config = entry->m_Ready[1];
            current = m_Modules.size();
            moduleOf[entry] = current;
            m_Modules.push_back(std::move(module));
            continue;
        }
        if (IsKeyword(*entry, "EndModule")) {
            current = SIZE_MAX;
            continue;
        }
        if (current != SIZE_MAX && entry->m_Keyword.size() > 2 && EqualsNoCase(entry->m_Keyword.substr(0, 2), "F_") &&
            m_Modules[current].m_nSafetyLine < 0)
            m_Modules[current].m_nSafetyLine = entry->m_LongLine;
        // Lines inside a module belong to the module its block opened.
        const auto opened = top ? moduleOf.end() : moduleOf.find(parent);
        SModule* owner = opened == moduleOf.end() ? nullptr : &m_Modules[opened->second];
        const bool isConst = IsKeyword(*entry, "Ext_User_Prm_Data_Const");
        const bool isRef = IsKeyword(*entry, "Ext_User_Prm_Data_Ref");
        if (isConst || isRef) {
            CPartLines* part = top ? &m_Device : owner != nullptr ? &owner->m_Part : nullptr;
            if (part == nullptr) {
                m_Problems.push_back(Row(CheckMessageKind::Warning, entry->m_LongLine,
                                         entry->m_Keyword.str() + " stands inside " + parent->m_Keyword.str() +
                                             " and belongs to no parameter data; it writes nothing."));
            } else if (isConst) {
                part->m_Consts.push_back(
                    {entry->m_LongLine, std::string(entry->m_Ready[0]), std::string(entry->m_Ready[1])});
            } else {
                part->m_Refs.push_back(
                    {entry->m_LongLine, std::string(entry->m_Ready[0]), std::string(entry->m_Ready[1])});
            }
            continue;
        }
        if (owner != nullptr) {
            if (IsKeyword(*entry, "Ext_Module_Prm_Data_Len")) keep(owner->m_PrmLen, *entry, entry->m_Ready[0]);
            if (IsKeyword(*entry, "Module_Reference") && owner->m_Reference.empty())
                owner->m_Reference = Trim(entry->m_Ready[0]);
            continue;
        }
        if (!top) continue;
        if (IsKeyword(*entry, "Modular_Station")) keep(m_Modular, *entry, entry->m_Ready[0]);
        if (IsKeyword(*entry, "User_Prm_Data")) keep(m_UserPrmData, *entry, entry->m_Ready[0]);
        if (IsKeyword(*entry, "User_Prm_Data_Len")) keep(m_UserPrmDataLen, *entry, entry->m_Ready[0]);
        if (IsKeyword(*entry, "DPV1_Slave")) keep(m_Dpv1, *entry, entry->m_Ready[0]);
        if (IsKeyword(*entry, "Station_Type")) keep(m_StationType, *entry, entry->m_Ready[0]);
        if (IsKeyword(*entry, "Modul_Offset")) keep(m_ModulOffset, *entry, entry->m_Ready[0]);
        for (size_t k = 0; k < std::size(kLimitKeys); ++k)
            if (IsKeyword(*entry, kLimitKeys[k])) keep(m_Limits[k], *entry, entry->m_Ready[0]);
    }
    for (SModule& module : m_Modules) ReadModuleConfig(module);
    ReadSlots(slots);
}

int CSlaveDescription::CData::ModuleOfReference(std::int64_t reference) const {
    for (size_t i = 0; i < m_Modules.size(); ++i) {
        std::int64_t own = 0;
        if (ReadPrmNumber(m_Modules[i].m_Reference, own) && own == reference) return static_cast<int>(i);
    }
    return -1;
}

const CSlotDefinition* CSlaveDescription::CData::SlotOfPosition(size_t position) const {
    for (const CSlotDefinition& slot : m_Slots)
        if (slot.m_nPosition >= 0 && static_cast<size_t>(slot.m_nPosition) == position) return &slot;
    return nullptr;
}

// Slot(n) = "name" default allowed, as the written rules leave the line (they do
// not know it): the number in R0, and the value with a marker for the closing
// parenthesis of the number and one for the closing quote of the name.
void CSlaveDescription::CData::ReadSlots(const std::vector<SSlotLine>& lines) {
    std::int64_t first = 1;
    if (m_ModulOffset.m_bPresent && (!ReadPrmNumber(m_ModulOffset.m_Value, first) || first < 0)) {
        m_Problems.push_back(Row(CheckMessageKind::Warning, m_ModulOffset.m_nLine,
                                 "The value " + Quoted(Trim(m_ModulOffset.m_Value)) +
                                     " of Modul_Offset is no slot number; the slots count from 1."));
        first = 1;
    }
    for (const SSlotLine& line : lines) {
        auto warn = [&](const std::string& text) {
            m_Problems.push_back(Row(CheckMessageKind::Warning, line.m_nLine, text));
        };
        std::int64_t number = 0;
        if (!ReadPrmNumber(line.m_Number, number) || number < 0 || number > 255) {
            warn("The Slot line names no slot number from 0 to 255; it is not used.");
            continue;
        }
        CSlotDefinition slot;
        slot.m_nNumber = static_cast<int>(number);
        slot.m_nLine = line.m_nLine;
        const std::string who = "Slot(" + Num(number) + ")";
        const size_t close = line.m_Value.find(MARKER_CHAR);
        const size_t quote = close == std::string::npos ? close : line.m_Value.find(MARKER_CHAR, close + 1);
        if (quote == std::string::npos) {
            warn(who + " has no quoted name; it is not used.");
            continue;
        }
        slot.m_Name = Trim(std::string_view(line.m_Value).substr(close + 1, quote - close - 1));
        const std::string tail = Trim(std::string_view(line.m_Value).substr(quote + 1));
        const size_t blank = tail.find_first_of(" \t");
        const std::string defaultText = tail.substr(0, blank);
        for (char c : blank == std::string::npos ? std::string() : tail.substr(blank))
            if (c != ' ' && c != '\t') slot.m_Allowed += c;
        if (number < first) {
            warn(who + " lies before the first slot of the modules (" +
                 (m_ModulOffset.m_bPresent ? "Modul_Offset = " + Num(first) : std::string("slot 1")) +
                 "); it is not used.");
            continue;
        }
        slot.m_nPosition = static_cast<int>(number - first);
        if (const CSlotDefinition* earlier = SlotOfPosition(static_cast<size_t>(slot.m_nPosition))) {
            warn(who + " is defined again; the first (line " + Num(static_cast<long long>(earlier->m_nLine) + 1) +
                 ") counts.");
            continue;
        }
        // The allowed references: a comma list, a range or a single reference.
        bool allowedOk = !slot.m_Allowed.empty();
        size_t start = 0;
        while (allowedOk) {
            const size_t comma = slot.m_Allowed.find(',', start);
            const std::string item =
                slot.m_Allowed.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            const size_t dash = item.find('-', 1);
            std::int64_t low = 0, high = 0;
            if (dash != std::string::npos && slot.m_Allowed.find(',') == std::string::npos)
                allowedOk = ReadPrmNumber(item.substr(0, dash), low) && ReadPrmNumber(item.substr(dash + 1), high);
            else
                allowedOk = ReadPrmNumber(item, low) && ReadPrmNumber(item, high);
            if (allowedOk) slot.m_AllowedReferences.emplace_back(low, high);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (!allowedOk) {
            warn("The allowed modules " + Quoted(slot.m_Allowed) + " of " + who +
                 " are no list or range of module references; the slot takes any module.");
            slot.m_AllowedReferences = {{INT64_MIN, INT64_MAX}};
        }
        std::int64_t reference = 0;
        if (!ReadPrmNumber(defaultText, reference))
            warn(who + " names no default module reference; the slot has no default module.");
        else if ((slot.m_nDefault = ModuleOfReference(reference)) < 0)
            warn(who + " names the default module reference " + Num(reference) +
                 ", which no Module of the file has; the slot has no default module.");
        m_Slots.push_back(std::move(slot));
    }
}

void CSlaveDescription::CData::NoModule(CConfigFindings& findings) const {
    std::int64_t type = 0;
    if (m_StationType.m_bPresent && ReadPrmNumber(m_StationType.m_Value, type) && type == 1)
        findings.Error(m_StationType.m_nLine,
                       "The file describes a DP master (Station_Type = 1) and defines no Module; there is nothing "
                       "to plug.");
    else
        findings.Error(-1, "The file defines no Module; there is nothing to plug.");
}

std::vector<std::uint8_t> CSlaveDescription::CData::DevicePart(std::vector<CPartSetting>& settings,
                                                               CConfigFindings& findings, CPartTrace& trace) const {
    if (!m_Device.Empty()) return BuildPart(m_Device, m_Definitions, "the device", settings, findings, &trace);
    // Without parameter lines the device part is User_Prm_Data, as long as User_Prm_Data_Len says.
    std::vector<std::uint8_t> data;
    auto traced = [&] {
        const size_t written = std::min(trace.m_Writers.size(), data.size());
        trace.m_Writers.resize(data.size());
        for (size_t i = written; i < data.size(); ++i)
            trace.m_Writers[i].push_back(
                {m_UserPrmDataLen.m_nLine, 0xFF,
                 "padding to User_Prm_Data_Len = " + Num(static_cast<long long>(data.size()))});
        return data;
    };
    if (m_UserPrmData.m_bPresent) {
        for (const CConfigToken& token : TokenizeConfig(m_UserPrmData.m_Value)) {
            if (!token.m_bByte) {
                findings.Error(m_UserPrmData.m_nLine,
                               "User_Prm_Data holds " +
                                   Quoted(Trim(m_UserPrmData.m_Value.substr(token.m_nStart, token.m_nLength))) +
                                   ", which is no byte value; the bytes from there on are left out.");
                break;
            }
            if (data.size() >= static_cast<size_t>(MAX_PRM_BYTES)) {
                findings.Error(m_UserPrmData.m_nLine, "User_Prm_Data holds more than the " + Num(MAX_PRM_BYTES) +
                                                          " bytes a DP slave takes; the bytes beyond are left out.");
                break;
            }
            data.push_back(token.m_Byte);
            trace.m_Writers.push_back({{m_UserPrmData.m_nLine, 0xFF, "User_Prm_Data"}});
        }
    }
    if (!m_UserPrmDataLen.m_bPresent) return data;
    std::int64_t length = 0;
    if (!ReadPrmNumber(m_UserPrmDataLen.m_Value, length) || length < 0) {
        findings.Warning(m_UserPrmDataLen.m_nLine, "The value " + Quoted(Trim(m_UserPrmDataLen.m_Value)) +
                                                       " of User_Prm_Data_Len is no length; User_Prm_Data is "
                                                       "taken as it stands.");
        return data;
    }
    if (length > MAX_PRM_BYTES) {
        findings.Error(m_UserPrmDataLen.m_nLine, "User_Prm_Data_Len = " + Num(length) + " exceeds the " +
                                                     Num(MAX_PRM_BYTES) + " bytes a DP slave takes; " +
                                                     Num(MAX_PRM_BYTES) + " are sent.");
        length = MAX_PRM_BYTES;
    }
    if (data.size() > static_cast<size_t>(length))
        findings.Error(m_UserPrmData.m_nLine, "User_Prm_Data holds " + Num(static_cast<long long>(data.size())) +
                                                  " bytes, more than User_Prm_Data_Len = " + Num(length) +
                                                  "; the bytes beyond are left out.");
    data.resize(static_cast<size_t>(length), 0);
    return traced();
}

std::vector<std::uint8_t> CSlaveDescription::CData::ModulePart(const SModule& module,
                                                               std::vector<CPartSetting>& settings,
                                                               CConfigFindings& findings, CPartTrace& trace) const {
    const std::string who = "module " + Quoted(module.m_Name);
    findings.AddAll(module.m_Problems);
    if (module.m_nSafetyLine >= 0)
        findings.Warning(module.m_nSafetyLine,
                         "The F_ parameter lines of " + who + " are not part of the parameter data built here.");
    std::vector<std::uint8_t> data = BuildPart(module.m_Part, m_Definitions, who, settings, findings, &trace);
    if (!module.m_PrmLen.m_bPresent) return data;
    std::int64_t length = 0;
    if (!ReadPrmNumber(module.m_PrmLen.m_Value, length) || length < 0) {
        findings.Warning(module.m_PrmLen.m_nLine, "The value " + Quoted(Trim(module.m_PrmLen.m_Value)) +
                                                      " of Ext_Module_Prm_Data_Len of " + who +
                                                      " is no length; its parameter data are not padded.");
        return data;
    }
    if (data.size() > static_cast<size_t>(length)) {
        findings.Error(module.m_PrmLen.m_nLine,
                       "The parameter data of " + who + " hold " + Num(static_cast<long long>(data.size())) +
                           " bytes, more than its Ext_Module_Prm_Data_Len = " + Num(length) + ".");
        return data;
    }
    if (length > MAX_PRM_BYTES) {
        findings.Error(module.m_PrmLen.m_nLine,
                       "Ext_Module_Prm_Data_Len = " + Num(length) + " of " + who + " exceeds the " +
                           Num(MAX_PRM_BYTES) + " bytes a DP slave takes; it is padded to " + Num(MAX_PRM_BYTES) + ".");
        length = MAX_PRM_BYTES;
    }
    const size_t written = data.size();
    data.resize(static_cast<size_t>(length), 0);
    trace.m_Writers.resize(data.size());
    for (size_t i = written; i < data.size(); ++i)
        trace.m_Writers[i].push_back(
            {module.m_PrmLen.m_nLine, 0xFF, "padding to Ext_Module_Prm_Data_Len = " + Num(length)});
    return data;
}

CSlaveDescription::CSlaveDescription(const CKeyDatabase& database) : m_pData(std::make_unique<CData>()) {
    m_pData->Read(database);
}

CSlaveDescription::~CSlaveDescription() = default;

int CSlaveDescription::ModuleCount() const {
    return static_cast<int>(m_pData->m_Modules.size());
}

const std::string& CSlaveDescription::ModuleName(int index) const {
    return m_pData->m_Modules.at(static_cast<size_t>(index)).m_Name;
}

int CSlaveDescription::FindModule(std::string_view name) const {
    const std::string wanted = Trim(name);
    for (size_t i = 0; i < m_pData->m_Modules.size(); ++i)
        if (m_pData->m_Modules[i].m_Name == wanted) return static_cast<int>(i);
    for (size_t i = 0; i < m_pData->m_Modules.size(); ++i)
        if (EqualsNoCase(m_pData->m_Modules[i].m_Name, wanted)) return static_cast<int>(i);
    return -1;
}

bool CSlaveDescription::IsModular() const {
    std::int64_t value = 0;
    return m_pData->m_Modular.m_bPresent && ReadPrmNumber(m_pData->m_Modular.m_Value, value) && value == 1;
}

std::vector<int> CSlaveDescription::DefaultModules() const {
    std::vector<int> modules;
    if (ModuleCount() == 0) return modules;
    if (!IsModular()) return {0};
    for (size_t position = 0;; ++position) {
        const CSlotDefinition* slot = m_pData->SlotOfPosition(position);
        if (slot == nullptr || slot->m_nDefault < 0) return modules;
        modules.push_back(slot->m_nDefault);
    }
}

const CSlotDefinition* CSlaveDescription::SlotOfPosition(int position) const {
    return position < 0 ? nullptr : m_pData->SlotOfPosition(static_cast<size_t>(position));
}

long long CSlaveDescription::MaxModules() const {
    if (!IsModular()) return 1;
    std::int64_t limit = 0;
    const STopKey& key = m_pData->m_Limits[0];
    return key.m_bPresent && ReadPrmNumber(key.m_Value, limit) && limit >= 0 ? static_cast<long long>(limit) : -1;
}

std::vector<std::string> CSlaveDescription::ParameterNames(int module) const {
    const CData& d = *m_pData;
    std::vector<std::string> names;
    if (module >= ModuleCount()) return names;
    const CPartLines& part = module < 0 ? d.m_Device : d.m_Modules[static_cast<size_t>(module)].m_Part;
    for (const CRefLine& line : part.m_Refs) {
        std::int64_t reference = 0;
        const CPrmDefinition* definition =
            ReadPrmNumber(line.m_Reference, reference) ? d.m_Definitions.Find(reference) : nullptr;
        if (definition != nullptr && std::find(names.begin(), names.end(), definition->m_Name) == names.end())
            names.push_back(definition->m_Name);
    }
    return names;
}

CSlaveConfig CSlaveDescription::Build(const CSlaveConfigRequest& request) const {
    const CData& d = *m_pData;
    CSlaveConfig config;
    CConfigFindings findings;
    findings.AddAll(d.m_Problems);
    const int moduleCount = ModuleCount();
    if (moduleCount == 0) d.NoModule(findings);

    std::vector<int> plugged = request.m_Modules;
    if (plugged.empty() && request.m_bDefaults) plugged = DefaultModules();
    for (int index : plugged)
        if (index < 0 || index >= moduleCount)
            config.m_RequestErrors.push_back("There is no Module #" + Num(index) + "; the file has " +
                                             Num(moduleCount) + " (#0 to #" + Num(moduleCount - 1) + ").");
    if (!config.m_RequestErrors.empty()) return config;
    if (!IsModular() && plugged.size() > 1)
        findings.Error(d.m_Modular.m_nLine, "A compact station (Modular_Station absent or 0) takes one module; " +
                                                Num(static_cast<long long>(plugged.size())) + " are plugged.");
    if (IsModular() && plugged.empty() && moduleCount > 0)
        findings.Warning(d.m_Modular.m_nLine, "No module is plugged: the configuration data are empty.");

    // The settings of each part: index 0 the device, 1 + slot the modules.
    std::vector<std::vector<CPartSetting>> settings(plugged.size() + 1);
    for (const CPrmSettingRequest& setting : request.m_Settings) {
        if (setting.m_nSlot >= static_cast<int>(plugged.size()) || setting.m_nSlot < -1) {
            config.m_RequestErrors.push_back("There is no slot #" + Num(setting.m_nSlot) + " for " +
                                             Quoted(setting.m_Parameter) + "; " +
                                             Num(static_cast<long long>(plugged.size())) + " modules are plugged.");
            continue;
        }
        settings[static_cast<size_t>(setting.m_nSlot + 1)].push_back({setting.m_Parameter, setting.m_Value});
    }
    if (!config.m_RequestErrors.empty()) return config;

    auto sources = [](std::vector<CByteSource>& to, const std::string& part, CPartTrace& trace) {
        for (size_t i = 0; i < trace.m_Writers.size(); ++i)
            to.push_back({part, static_cast<int>(i), std::move(trace.m_Writers[i])});
    };
    CPartTrace deviceTrace;
    config.m_DevicePrm = d.DevicePart(settings[0], findings, deviceTrace);
    config.m_Prm = config.m_DevicePrm;
    config.m_DeviceParameters = std::move(deviceTrace.m_Values);
    sources(config.m_PrmSources, "the device part", deviceTrace);
    for (size_t slot = 0; slot < plugged.size(); ++slot) {
        const SModule& module = d.m_Modules[static_cast<size_t>(plugged[slot])];
        CPluggedModule part;
        part.m_nSlot = static_cast<int>(slot);
        part.m_nModule = plugged[slot];
        part.m_Name = module.m_Name;
        part.m_Cfg = module.m_Cfg;
        CPartTrace trace;
        part.m_Prm = d.ModulePart(module, settings[slot + 1], findings, trace);
        part.m_Parameters = std::move(trace.m_Values);
        const std::string who = "module " + Quoted(module.m_Name) + " in slot #" + Num(static_cast<long long>(slot));
        sources(config.m_PrmSources, "the part of " + who, trace);
        for (size_t i = 0; i < part.m_Cfg.size(); ++i)
            config.m_CfgSources.push_back(
                {who, static_cast<int>(i), {{module.m_nLine, 0xFF, "the configuration data of its Module line"}}});
        part.m_nInputs = module.m_Io.m_nInputs;
        part.m_nOutputs = module.m_Io.m_nOutputs;
        if (const CSlotDefinition* definition = d.SlotOfPosition(slot)) {
            std::int64_t reference = 0;
            const std::string slotText = "Slot(" + Num(definition->m_nNumber) + ") " + Quoted(definition->m_Name) +
                                         " takes the modules " + definition->m_Allowed;
            if (!ReadPrmNumber(module.m_Reference, reference))
                findings.Error(definition->m_nLine,
                               slotText + "; " + who + " has no module reference and may not stand there.");
            else if (!definition->Allows(reference))
                findings.Error(definition->m_nLine, slotText + "; " + who + " has the reference " + Num(reference) +
                                                        " and may not stand there.");
        }
        config.m_Cfg.insert(config.m_Cfg.end(), part.m_Cfg.begin(), part.m_Cfg.end());
        config.m_Prm.insert(config.m_Prm.end(), part.m_Prm.begin(), part.m_Prm.end());
        config.m_nInputs += part.m_nInputs;
        config.m_nOutputs += part.m_nOutputs;
        config.m_Plugged.push_back(std::move(part));
    }
    for (size_t part = 0; part < settings.size(); ++part)
        for (const CPartSetting& setting : settings[part])
            if (!setting.m_bMatched)
                config.m_RequestErrors.push_back((part == 0
                                                      ? std::string("The device part")
                                                      : "Module " + Quoted(config.m_Plugged[part - 1].m_Name) +
                                                            " in slot #" + Num(static_cast<long long>(part - 1))) +
                                                 " has no parameter " + Quoted(setting.m_Parameter) + ".");

    // What a DP slave takes at most, whatever the file declares.
    const struct {
        long long m_nUsed;
        const char* m_pszWhat;
    } bounds[] = {{static_cast<long long>(config.m_Cfg.size()), "bytes of configuration data"},
                  {config.m_nInputs, "bytes of input data"},
                  {config.m_nOutputs, "bytes of output data"},
                  {static_cast<long long>(config.m_Prm.size()), "bytes of user parameter data"}};
    for (const auto& bound : bounds)
        if (bound.m_nUsed > MAX_PRM_BYTES)
            findings.Error(-1, "The configuration has " + Num(bound.m_nUsed) + " " + bound.m_pszWhat +
                                   "; a DP slave takes at most " + Num(MAX_PRM_BYTES) + ".");

    const long long used[] = {static_cast<long long>(plugged.size()),
                              config.m_nInputs,
                              config.m_nOutputs,
                              config.m_nInputs + config.m_nOutputs,
                              static_cast<long long>(config.m_Prm.size()),
                              static_cast<long long>(config.m_Prm.size())};
    const char* what[] = {"modules plugged",
                          "bytes of input data",
                          "bytes of output data",
                          "bytes of input and output data",
                          "bytes of user parameter data",
                          "bytes of user parameter data"};
    const size_t userPrmDataLen = std::size(kLimitKeys) - 1;
    for (size_t k = 0; k < std::size(kLimitKeys); ++k) {
        const STopKey& key = d.m_Limits[k];
        if (!key.m_bPresent) continue;
        // User_Prm_Data_Len bounds the whole parameter data only where Max_User_Prm_Data_Len is not declared.
        if (k == userPrmDataLen && d.m_Limits[k - 1].m_bPresent) continue;
        std::int64_t limit = 0;
        if (!ReadPrmNumber(key.m_Value, limit)) {
            findings.Warning(key.m_nLine, "The value " + Quoted(Trim(key.m_Value)) + " of " + kLimitKeys[k] +
                                              " is no number; the configuration is not compared with it.");
            continue;
        }
        CConfigLimit row{kLimitKeys[k], static_cast<long long>(limit), used[k], key.m_nLine};
        if (row.Exceeded())
            findings.Error(key.m_nLine, "The configuration exceeds " + row.m_Key + " = " + Num(row.m_nLimit) +
                                            ": it has " + Num(row.m_nUsed) + " " + what[k] + ".");
        config.m_Limits.push_back(std::move(row));
    }

    std::int64_t dpv1 = 0;
    if (d.m_Dpv1.m_bPresent && ReadPrmNumber(d.m_Dpv1.m_Value, dpv1) && dpv1 == 1 && config.m_DevicePrm.size() < 3)
        findings.Error(d.m_Dpv1.m_nLine,
                       "DPV1_Slave = 1: the user parameter data must begin with the three DP-V1 status bytes, but "
                       "the device part has " +
                           Num(static_cast<long long>(config.m_DevicePrm.size())) + ".");
    config.m_Findings = findings.Rows();
    return config;
}

CModuleList CSlaveDescription::ListModules() const {
    const CData& d = *m_pData;
    CModuleList list;
    CConfigFindings findings;
    findings.AddAll(d.m_Problems);
    if (d.m_Modules.empty()) d.NoModule(findings);
    for (size_t i = 0; i < d.m_Modules.size(); ++i) {
        const SModule& module = d.m_Modules[i];
        std::vector<CPartSetting> none;
        CPartTrace trace;
        CModuleListing listing;
        listing.m_nIndex = static_cast<int>(i);
        listing.m_Name = module.m_Name;
        listing.m_nLine = module.m_nLine;
        listing.m_Reference = module.m_Reference;
        listing.m_Cfg = module.m_Cfg;
        listing.m_Prm = d.ModulePart(module, none, findings, trace);
        listing.m_nInputs = module.m_Io.m_nInputs;
        listing.m_nOutputs = module.m_Io.m_nOutputs;
        list.m_Modules.push_back(std::move(listing));
    }
    list.m_Findings = findings.Rows();
    return list;
}

void BuildConfigDatabase(std::string bytes, CKeyDatabase& database) {
    bytes.resize(CutAtNul(bytes).size());
    CTextLineSource lines{std::move(bytes)};
    CTalunaContext context;
    BuildDatabase(context, KeyClassifier(), lines, database);
}
