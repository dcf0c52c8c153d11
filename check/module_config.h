#pragma once
// The configuration data of a module: the identifier bytes after the module
// name, their check, and their decoding into identifiers for the key editor.

#include <cstdint>
#include <string>
#include <vector>

#include "model/key_entry.h"
#include "model/taluna_context.h"

// Number of bytes that follow an identifier byte and belong to it.
int FollowingBytes(std::uint8_t identifier);

// Checks the configuration string `config` of a module entry: sets the entry's
// octet count and, unless a token is no byte, its syntax flag.
void CheckModuleConfig(CTalunaContext& context, CKeyEntry& entry, std::string_view config);
