#pragma once
// The checker's fixed knowledge of the GSD keywords: one row per keyword with
// its tree group, value type, key form mode, split rule, check rule, help text
// and help page anchor.

#include <functional>
#include <string>
#include <string_view>

#include "model/check_profile.h"
#include "model/key_entry.h"

// Group values beyond the PARENT_ constants.
constexpr int GROUP_UNCHANGED = 0;
constexpr int GROUP_MODULE_OR_SLAVE = -1;  // PARENT_MODULE inside a module, else PARENT_SLAVE
// Type value that leaves the entry's type unchanged.
constexpr int TYPE_UNCHANGED = 0;

// How classification splits a value into the value items (SLOT: the index,
// the quoted name, the default and the allowed references of a Slot line).
enum class ESplit { None, V, Q, T, X, W1, H, W, SLOT };

// The value check of the check mode.
enum class ECheck {
    N8,
    N16,
    N32,
    BOOL,
    S32,
    FILE8,
    OCTETS,
    FAMILY,
    MODLINE,
    DIAGBIT,
    CHANDIAG,
    DIAGAREA,
    PRMREF,
    PRMCONST,
    NUMTEXT,
    NUMTEXT32,
    DTYPE,
    BITDEF,
    AREADEF,
    MODREF,
    END,
    // Checks of the revision 5 profile: strings of up to 256 characters, indexed
    // texts of up to 32 or 256 characters, a bit area that may be one bit wide,
    // a Slot line, and any well-formed line.
    S256,
    XTEXT32,
    XTEXT256,
    XAREA,
    SLOT,
    ANY
};

// How firmly a revision 5 row's revision is known.
enum class EFirmness { Written, Stated, Inferred, Open };
// Revision of a row whose revision is not pinned down.
constexpr int REVISION_OPEN = -1;

// The blocks a row opens, closes or belongs inside.
enum EBlock {
    BLOCK_NONE,
    BLOCK_MODULE,
    BLOCK_EXT_USER_PRM_DATA,
    BLOCK_SLOTS,
    BLOCK_INTERFACE,
    BLOCK_DIAG_TYPE,
    BLOCK_X_AREA,
    BLOCK_DATA_AREA,
    BLOCK_JOKER,
    BLOCK_FIRMWARE,
};

struct SCatalogueRow {
    const char* m_pszKeyword;
    int m_nGroup;
    int m_nType;
    int m_nForm;
    ESplit m_Split;
    ECheck m_Check;
    const char* m_pszRange;  // range text of N8/N16 rows with a range, else null
    int m_nHelp;
    int m_nLabels[4];
    const char* m_pszAnchor;  // help anchor where it differs from the keyword, else null
    // Rows of the revision 5 profile only: the revision that brought the keyword
    // (0 for the written catalogue), how firmly that is known, the block the row
    // opens or closes or stands in, and its help text.
    int m_nRevision = 0;
    EFirmness m_Firmness = EFirmness::Written;
    EBlock m_Opens = BLOCK_NONE;
    EBlock m_Closes = BLOCK_NONE;
    EBlock m_Inside = BLOCK_NONE;
    const char* m_pszHelpText = nullptr;

    std::string HelpLink() const;
    bool IsRev5() const { return m_nRevision != 0; }
    // Findings about rows not firmly dated are warnings, never errors.
    bool IsLenient() const { return m_Firmness == EFirmness::Inferred || m_Firmness == EFirmness::Open; }
};

class KeywordCatalogue {
public:
    static constexpr int ROW_COUNT = 139;
    // The row of a keyword, ignoring case; null when the catalogue does not know it.
    // The rows of the revision 5 profile are found only in that profile.
    static const SCatalogueRow* Find(std::string_view keyword, ECheckProfile profile = ECheckProfile::Classic);
    // Rows 0 .. RowCount()-1 are the written catalogue; the revision 5 rows follow
    // up to AllRowCount().
    // Asked for every entry: inline.
    static const SCatalogueRow& Row(int index) {
        return index < ROW_COUNT ? s_pWrittenRows[index] : s_pRev5Rows[index - ROW_COUNT];
    }
    // The index of a row of this catalogue, as Row() takes it.
    static int IndexOf(const SCatalogueRow& row) {
        const std::less<const SCatalogueRow*> before;
        if (!before(&row, s_pWrittenRows) && before(&row, s_pWrittenRows + ROW_COUNT))
            return static_cast<int>(&row - s_pWrittenRows);
        return ROW_COUNT + static_cast<int>(&row - s_pRev5Rows);
    }
    static int RowCount() { return ROW_COUNT; }
    static int AllRowCount();
    // The name of a block, as its opener is spelt.
    static const char* BlockName(EBlock block);
    // The closer of a block, as it is spelt.
    static const char* BlockEndName(EBlock block);

private:
    // The written rows and the revision 5 rows.
    static const SCatalogueRow* const s_pWrittenRows;
    static const SCatalogueRow* const s_pRev5Rows;
};

// The catalogue row of an entry's keyword under `profile`: the one its build
// resolved when that was under the same profile, else looked up now.
inline const SCatalogueRow* CatalogueRowOf(const CKeyEntry& entry, ECheckProfile profile) {
    const CKeyEntry::SResolution& resolved = entry.m_Resolved;
    if (resolved.m_bValid && resolved.Profile() == profile)
        return resolved.m_nRow < 0 ? nullptr : &KeywordCatalogue::Row(resolved.m_nRow);
    return KeywordCatalogue::Find(entry.m_Keyword, profile);
}
