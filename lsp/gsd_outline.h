#pragma once
// The outline of a checked document, grouped as the editor's key tree groups
// it: the general, slave, master and user-defined keys; the keys of a module
// under its Module line; the keys of a block of the revision 5 rules under the
// line that opens it.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lsp/gsd_document.h"

struct SOutlineNode {
    std::string m_Name;    // Windows-1252
    std::string m_Detail;  // Windows-1252
    int m_nKind = 0;       // a symbol kind of the protocol
    SRange m_Range;        // covers the node's children
    SRange m_Selection;    // the keyword's line
    std::vector<int> m_Children;
};

// The nodes of the outline; the first four are the groups (in the order
// general, slave, master, user-defined) and may be without children.
std::vector<SOutlineNode> BuildOutline(const CGsdDocument& document);
// The outline as the protocol's DocumentSymbol tree; groups without keys are left out.
nlohmann::json OutlineSymbols(const CGsdDocument& document);
