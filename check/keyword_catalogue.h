#pragma once
// The checker's fixed knowledge of the GSD keywords: one row per keyword with
// its tree group, value type, key form mode, split rule, check rule, help text
// and help page anchor.

#include <string>
#include <string_view>

#include "model/key_entry.h"

// Group values beyond the PARENT_ constants.
constexpr int GROUP_UNCHANGED = 0;
constexpr int GROUP_MODULE_OR_SLAVE = -1;  // PARENT_MODULE inside a module, else PARENT_SLAVE
// Type value that leaves the entry's type unchanged.
constexpr int TYPE_UNCHANGED = 0;

// How classification splits a value into the value items.
enum class ESplit { None, V, Q, T, X, W1, H, W };

// The value check of the check mode.
enum class ECheck {
    N8, N16, N32, BOOL, S32, FILE8, OCTETS, FAMILY, MODLINE, DIAGBIT, CHANDIAG, DIAGAREA,
    PRMREF, PRMCONST, NUMTEXT, NUMTEXT32, DTYPE, BITDEF, AREADEF, MODREF, END
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

    std::string HelpLink() const;
};

class KeywordCatalogue {
public:
    static constexpr int ROW_COUNT = 139;
    // The row of a keyword, ignoring case; null when the catalogue does not know it.
    static const SCatalogueRow* Find(std::string_view keyword);
    static const SCatalogueRow& Row(int index);
    static int RowCount() { return ROW_COUNT; }
};
