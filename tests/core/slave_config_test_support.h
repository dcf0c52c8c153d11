#pragma once
// Helpers of the slave configuration tests: GSD text from lines, a configuration
// built from it, bytes as hex and the findings as rows.

#include <initializer_list>
#include <string>
#include <vector>

#include "config/slave_config.h"
#include "model/key_database.h"

namespace slave_config_test {

// A GSD text: the header line, then the lines, each ended by CR LF.
inline std::string Gsd(std::initializer_list<std::string> lines) {
    std::string text = "#Profibus_DP\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

inline CSlaveConfig Configure(const std::string& text, const CSlaveConfigRequest& request = {}) {
    CKeyDatabase database;
    BuildConfigDatabase(text, database);
    const CSlaveDescription description(database);
    return description.Build(request);
}

inline CModuleList ListModules(const std::string& text) {
    CKeyDatabase database;
    BuildConfigDatabase(text, database);
    const CSlaveDescription description(database);
    return description.ListModules();
}

inline std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

inline std::string Rows(const std::vector<CCheckMessage>& findings) {
    std::string text;
    for (const CCheckMessage& row : findings) text += row.RowText() + "\n";
    return text;
}

}  // namespace slave_config_test
