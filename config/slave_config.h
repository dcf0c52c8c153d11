#pragma once
// What a DP master sends to a slave described by a GSD file once modules are
// plugged and parameters set: the configuration data (the plugged modules'
// identifier bytes in slot order), the user parameter data (the device part,
// then each plugged module's part), the input and output byte counts, the
// file's limits against what the configuration uses, and the findings.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/check_message.h"
#include "config/prm_data.h"
#include "model/key_database.h"

// A parameter value asked for by name: in the device part (slot -1) or in the
// part of the module plugged in that slot (counted from 0).
struct CPrmSettingRequest {
    int m_nSlot = -1;
    std::string m_Parameter;  // the name of its ExtUserPrmData
    std::string m_Value;      // a text of its PrmText, or a number
};

struct CSlaveConfigRequest {
    // The Module lines to plug, by their index in the file (from 0), in slot
    // order. Empty: the file's default modules (a compact station's module, the
    // default module of each Slot line of a modular one), unless m_bDefaults is
    // false.
    std::vector<int> m_Modules;
    std::vector<CPrmSettingRequest> m_Settings;
    bool m_bDefaults = true;
};

// One Slot line of the SlotDefinition block: the name, default module and
// allowed modules of one position of a modular station. Slot(n) stands for the
// position n - Modul_Offset (from 0); without Modul_Offset the slots count from 1.
struct CSlotDefinition {
    int m_nNumber = 0;
    int m_nPosition = -1;
    std::string m_Name;
    int m_nLine = -1;
    int m_nDefault = -1;    // index of the Module of its default reference; -1 for none
    std::string m_Allowed;  // the allowed references as written, without blanks
    // The allowed references, each a range (one number: first = last).
    std::vector<std::pair<std::int64_t, std::int64_t>> m_AllowedReferences;

    bool Allows(std::int64_t reference) const;
};

// The input and output bytes of identifier bytes, as a DP master counts them.
struct CIoCount {
    long long m_nInputs = 0;
    long long m_nOutputs = 0;
    int m_nMissing = 0;  // bytes the last identifier claims but the list lacks
};
CIoCount CountIo(const std::vector<std::uint8_t>& identifiers);

struct CPluggedModule {
    int m_nSlot = 0;
    int m_nModule = 0;  // index of its Module line in the file
    std::string m_Name;
    std::vector<std::uint8_t> m_Cfg;
    std::vector<std::uint8_t> m_Prm;
    long long m_nInputs = 0;
    long long m_nOutputs = 0;
    std::vector<CParameterValue> m_Parameters;  // of its parameter lines, in their order
};

// Where one byte of the configuration or the user parameter data comes from.
struct CByteSource {
    std::string m_Part;                  // "the device", "module "AI" in slot 0"
    int m_nOffset = 0;                   // in its part
    std::vector<CByteWriter> m_Writers;  // none: a byte no line wrote (0)

    // The part and the offset, then a line per writer: the bits it wrote (when
    // not all), what it wrote and its line number.
    std::string Text() const;
};

// A limit the file declares (Max_Module, Max_Input_Len ...) and what the
// configuration uses of it.
struct CConfigLimit {
    std::string m_Key;
    long long m_nLimit = 0;
    long long m_nUsed = 0;
    int m_nLine = -1;
    bool Exceeded() const { return m_nUsed > m_nLimit; }
};

struct CSlaveConfig {
    std::vector<std::uint8_t> m_Cfg;
    std::vector<std::uint8_t> m_DevicePrm;
    std::vector<std::uint8_t> m_Prm;  // the device part, then the module parts
    std::vector<CPluggedModule> m_Plugged;
    std::vector<CParameterValue> m_DeviceParameters;
    std::vector<CByteSource> m_CfgSources;  // one per byte of m_Cfg
    std::vector<CByteSource> m_PrmSources;  // one per byte of m_Prm
    long long m_nInputs = 0;
    long long m_nOutputs = 0;
    std::vector<CConfigLimit> m_Limits;
    std::vector<CCheckMessage> m_Findings;
    // Requests that name nothing of the file: a module or slot that does not
    // exist, a parameter the part does not have.
    std::vector<std::string> m_RequestErrors;

    bool HasErrors() const;
};

// One Module line of the file with the bytes of its defaults.
struct CModuleListing {
    int m_nIndex = 0;
    std::string m_Name;
    int m_nLine = -1;
    std::string m_Reference;  // its module reference number as written, if any
    std::vector<std::uint8_t> m_Cfg;
    std::vector<std::uint8_t> m_Prm;
    long long m_nInputs = 0;
    long long m_nOutputs = 0;
};

struct CModuleList {
    std::vector<CModuleListing> m_Modules;
    std::vector<CCheckMessage> m_Findings;
    bool HasErrors() const;
};

// The slave-side content of a GSD file, read once from its key database (which
// it does not keep) and built into configurations on request.
class CSlaveDescription {
public:
    explicit CSlaveDescription(const CKeyDatabase& database);
    ~CSlaveDescription();
    CSlaveDescription(const CSlaveDescription&) = delete;
    CSlaveDescription& operator=(const CSlaveDescription&) = delete;

    int ModuleCount() const;
    const std::string& ModuleName(int index) const;
    // The first Module of that name (blanks around it and letter case aside); -1 for none.
    int FindModule(std::string_view name) const;
    // Modular_Station = 1.
    bool IsModular() const;
    // The modules plugged when none are named: a compact station's module; for
    // a modular one the default module of each Slot line, position by position
    // up to the first position without one.
    std::vector<int> DefaultModules() const;
    // The Slot line of a position (from 0); null for none.
    const CSlotDefinition* SlotOfPosition(int position) const;
    // How many modules the station takes: 1 for a compact station, Max_Module for
    // a modular one; -1 when the file does not say.
    long long MaxModules() const;
    // The names of the parameters the part of Module `module` sets (-1: the
    // device part), in the order of their lines.
    std::vector<std::string> ParameterNames(int module) const;

    CSlaveConfig Build(const CSlaveConfigRequest& request) const;
    CModuleList ListModules() const;

private:
    struct CData;
    std::unique_ptr<CData> m_pData;
};

// The key database of GSD text built as taluna-check builds it (written rules;
// the text ends at its first NUL byte).
void BuildConfigDatabase(std::string bytes, CKeyDatabase& database);
