#pragma once
// Registrations of keywords outside the catalogue: reading and writing them in
// the `UserKeys` section of the user's profile.

#include <string>
#include <string_view>

#include "model/key_entry.h"
#include "model/seams.h"

struct CUserKeyRegistration {
    int m_nDataType = 0;  // 0 string, 1 integer, 2 bool, 3 octet string
    int m_nGroup = 0;     // 0 general, 1 slave, 2 master, 3 module
    std::string m_Range;

    // The dialog's presets for an entry: from its type flag, tree group and range text.
    static CUserKeyRegistration FromEntry(const CKeyEntry& entry);
    // "%d;%d;%s"
    std::string Format() const;
    int TypeFlag() const;
    int TreeGroup() const;
};

// Writes the registration of `keyword` (stored upper-cased), updates `Summary`,
// and gives `entry` (if any) the registered type, group and range at once.
void RegisterUserKey(IProfileStore& profile, std::string_view keyword, const CUserKeyRegistration& registration,
                     CKeyEntry* entry);
// The `Summary` value as one keyword a line ("..no keys defined.." when empty).
std::string RegisteredKeysText(const IProfileStore& profile);
