#pragma once
// The output of taluna-config: a configuration or the module list, as text for
// people or as JSON for scripts. Names and texts of the file (Windows-1252) are
// written as UTF-8; the file name as given.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "config/slave_config.h"

// Bytes as two upper-case hex digits each, separated by blanks; empty for none.
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

void WriteConfigText(std::ostream& out, const std::string& path, const CSlaveConfig& config);
void WriteConfigJson(std::ostream& out, const std::string& path, bool modular, const CSlaveConfig& config);
void WriteModulesText(std::ostream& out, const std::string& path, const CModuleList& list);
void WriteModulesJson(std::ostream& out, const std::string& path, bool modular, const CModuleList& list);
