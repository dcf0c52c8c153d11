#include "configcli/config_report.h"

#include <algorithm>
#include <cstdio>

#include "cli/formatters.h"

namespace {

std::string Utf8(const std::string& text) {
    return Cp1252ToUtf8(text);
}

std::string PathText(const std::string& path) {
    return IsUtf8(path) ? path : Cp1252ToUtf8(path);
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) {
    return bytes.empty() ? std::string("-") : HexBytes(bytes);
}

std::string Count(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void FindingsText(std::ostream& out, const std::vector<CCheckMessage>& findings) {
    if (findings.empty()) {
        out << "Findings: none\n";
        return;
    }
    out << "Findings:\n";
    for (const CCheckMessage& row : findings) out << Utf8(row.RowText()) << '\n';
}

void FindingsJson(std::ostream& out, const std::vector<CCheckMessage>& findings) {
    out << "  \"findings\": [";
    bool first = true;
    for (const CCheckMessage& row : findings) {
        out << (first ? "\n" : ",\n") << "    {\"kind\": " << JsonString(row.KindText()) << ", \"line\": ";
        if (row.HasLine())
            out << row.m_nLine << ", \"lineNumber\": " << (static_cast<long long>(row.m_nLine) + 1);
        else
            out << "null, \"lineNumber\": null";
        out << ", \"text\": " << JsonString(Utf8(row.m_Text)) << "}";
        first = false;
    }
    out << (first ? "]\n" : "\n  ]\n");
}

void Head(std::ostream& out, const std::string& path, bool modular) {
    out << "{\n  \"tool\": \"taluna-config\",\n  \"version\": \"" TALUNA_VERSION "\",\n  \"file\": "
        << JsonString(PathText(path)) << ",\n  \"modular\": " << (modular ? "true" : "false") << ",\n";
}

}  // namespace

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t byte : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", byte);
        if (!text.empty()) text += ' ';
        text += buf;
    }
    return text;
}

void WriteConfigText(std::ostream& out, const std::string& path, const CSlaveConfig& config) {
    out << path << '\n';
    out << "Plugged modules: " << config.m_Plugged.size() << '\n';
    for (const CPluggedModule& module : config.m_Plugged)
        out << "  Slot " << module.m_nSlot << "  #" << module.m_nModule << " \"" << Utf8(module.m_Name) << "\"  cfg "
            << Bytes(module.m_Cfg) << "  prm " << Bytes(module.m_Prm) << "  inputs " << module.m_nInputs << "  outputs "
            << module.m_nOutputs << '\n';
    out << "Configuration data:  " << Bytes(config.m_Cfg) << "  ("
        << Count(static_cast<long long>(config.m_Cfg.size()), "byte", "bytes") << ")\n";
    out << "User parameter data: " << Bytes(config.m_Prm) << "  ("
        << Count(static_cast<long long>(config.m_Prm.size()), "byte", "bytes") << ")\n";
    out << "  device part:       " << Bytes(config.m_DevicePrm) << "  ("
        << Count(static_cast<long long>(config.m_DevicePrm.size()), "byte", "bytes") << ")\n";
    out << "Inputs: " << Count(config.m_nInputs, "byte", "bytes")
        << "  Outputs: " << Count(config.m_nOutputs, "byte", "bytes") << '\n';
    if (config.m_Limits.empty()) {
        out << "Limits: none declared\n";
    } else {
        out << "Limits (used of allowed):\n";
        size_t width = 0;
        for (const CConfigLimit& limit : config.m_Limits) width = std::max(width, limit.m_Key.size());
        for (const CConfigLimit& limit : config.m_Limits)
            out << "  " << limit.m_Key << std::string(width - limit.m_Key.size() + 2, ' ') << limit.m_nUsed << " of "
                << limit.m_nLimit << (limit.Exceeded() ? "  EXCEEDED" : "") << '\n';
    }
    FindingsText(out, config.m_Findings);
}

void WriteConfigJson(std::ostream& out, const std::string& path, bool modular, const CSlaveConfig& config) {
    Head(out, path, modular);
    out << "  \"cfg\": \"" << HexBytes(config.m_Cfg) << "\",\n";
    out << "  \"device_prm\": \"" << HexBytes(config.m_DevicePrm) << "\",\n";
    out << "  \"prm\": \"" << HexBytes(config.m_Prm) << "\",\n";
    out << "  \"inputs\": " << config.m_nInputs << ",\n  \"outputs\": " << config.m_nOutputs << ",\n";
    out << "  \"plugged\": [";
    bool first = true;
    for (const CPluggedModule& module : config.m_Plugged) {
        out << (first ? "\n" : ",\n") << "    {\"slot\": " << module.m_nSlot << ", \"index\": " << module.m_nModule
            << ", \"name\": " << JsonString(Utf8(module.m_Name)) << ", \"cfg\": \"" << HexBytes(module.m_Cfg)
            << "\", \"prm\": \"" << HexBytes(module.m_Prm) << "\", \"inputs\": " << module.m_nInputs
            << ", \"outputs\": " << module.m_nOutputs << "}";
        first = false;
    }
    out << (first ? "],\n" : "\n  ],\n");
    out << "  \"limits\": [";
    first = true;
    for (const CConfigLimit& limit : config.m_Limits) {
        out << (first ? "\n" : ",\n") << "    {\"key\": " << JsonString(limit.m_Key)
            << ", \"limit\": " << limit.m_nLimit << ", \"used\": " << limit.m_nUsed
            << ", \"exceeded\": " << (limit.Exceeded() ? "true" : "false")
            << ", \"lineNumber\": " << (static_cast<long long>(limit.m_nLine) + 1) << "}";
        first = false;
    }
    out << (first ? "],\n" : "\n  ],\n");
    FindingsJson(out, config.m_Findings);
    out << "}\n";
}

void WriteModulesText(std::ostream& out, const std::string& path, const CModuleList& list) {
    out << path << '\n';
    for (const CModuleListing& module : list.m_Modules) {
        out << "#" << module.m_nIndex << "  \"" << Utf8(module.m_Name) << "\"";
        if (!module.m_Reference.empty()) out << "  reference " << Utf8(module.m_Reference);
        out << "  cfg " << Bytes(module.m_Cfg) << "  prm " << Bytes(module.m_Prm) << "  inputs " << module.m_nInputs
            << "  outputs " << module.m_nOutputs << '\n';
    }
    FindingsText(out, list.m_Findings);
}

void WriteModulesJson(std::ostream& out, const std::string& path, bool modular, const CModuleList& list) {
    Head(out, path, modular);
    out << "  \"modules\": [";
    bool first = true;
    for (const CModuleListing& module : list.m_Modules) {
        out << (first ? "\n" : ",\n") << "    {\"index\": " << module.m_nIndex
            << ", \"name\": " << JsonString(Utf8(module.m_Name))
            << ", \"reference\": " << (module.m_Reference.empty() ? "null" : JsonString(Utf8(module.m_Reference)))
            << ", \"lineNumber\": " << (static_cast<long long>(module.m_nLine) + 1) << ", \"cfg\": \""
            << HexBytes(module.m_Cfg) << "\", \"prm\": \"" << HexBytes(module.m_Prm)
            << "\", \"inputs\": " << module.m_nInputs << ", \"outputs\": " << module.m_nOutputs << "}";
        first = false;
    }
    out << (first ? "],\n" : "\n  ],\n");
    FindingsJson(out, list.m_Findings);
    out << "}\n";
}
