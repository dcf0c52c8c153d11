#pragma once
// Helpers shared by the key-check suites: run the Check GSD flow over a small
// text and compare the output rows by kind, line and text.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/check_message.h"
#include "check/check_gsd.h"
#include "cli/file_check.h"
#include "model/ini_profile.h"
#include "model/key_database.h"
#include "model/taluna_context.h"
#include "model/text_lines.h"

namespace taluna_test {

// One output row as the tests compare it.
struct Row {
    int kind;
    int line;
    std::string text;

    bool operator==(const Row& other) const { return kind == other.kind && line == other.line && text == other.text; }
};

inline std::ostream& operator<<(std::ostream& os, const Row& row) {
    return os << "{kind " << row.kind << ", line " << row.line << ", \"" << row.text << "\"}";
}

inline const Row kFinished{CheckMessageKind::Note, 0, "... check finished without errors."};

inline Row Err(int line, std::string text) {
    return {CheckMessageKind::Error, line, std::move(text)};
}
inline Row Warn(int line, std::string text) {
    return {CheckMessageKind::Warning, line, std::move(text)};
}

inline std::vector<Row> ToRows(const std::vector<CCheckMessage>& messages) {
    std::vector<Row> rows;
    for (const auto& m : messages) rows.push_back({m.m_nKind, m.m_nLine, m.m_Text});
    return rows;
}

// The rows strictly between "Start Syntax-Check..." and "Stop Syntax-Check...".
inline std::vector<Row> SyntaxSection(const std::vector<CCheckMessage>& messages) {
    std::vector<Row> rows;
    bool inside = false;
    for (const auto& m : messages) {
        if (m.m_nKind == CheckMessageKind::Note && m.m_Text == "Start Syntax-Check...") {
            inside = true;
            continue;
        }
        if (m.m_nKind == CheckMessageKind::Note && m.m_Text == "Stop Syntax-Check...") break;
        if (inside) rows.push_back({m.m_nKind, m.m_nLine, m.m_Text});
    }
    return rows;
}

// The syntax rows of a GSD text "#Profibus_DP" + "\n" + body (so the body's
// first line is line 1), checked without the semantic pass.
inline std::vector<Row> SyntaxRows(const std::string& body, const IProfileStore* userKeys = nullptr) {
    CCheckOptions options;
    options.m_bNoSemantic = true;
    options.m_pUserKeys = userKeys;
    return SyntaxSection(CheckGsdText("#Profibus_DP\n" + body, options));
}

// Collects the output window's rows.
class CRowSink : public IMessageSink {
public:
    void AddRow(const CCheckMessage& message) override { m_Rows.push_back(message); }
    void Clear() override { m_Rows.clear(); }
    std::vector<CCheckMessage> m_Rows;
};

// A document checked with the whole flow, whose database can be inspected after
// the run.
struct CCheckedText {
    CVectorLineSource m_Lines;
    CKeyDatabase m_Database;
    CRowSink m_Sink;
    CMemoryProfileStore m_Profile;
    CTalunaContext m_Context;

    explicit CCheckedText(const std::string& body) : m_Lines(SplitLines("#Profibus_DP\n" + body)) {
        m_Context.m_pMessages = &m_Sink;
        m_Context.m_pProfile = &m_Profile;
        m_Context.m_Settings.m_bNoSemanticCheck = 1;
    }
    void Run() { RunCheckGsd(m_Context, m_Lines, m_Database, this); }
    // The entry whose first line is `line`, or null.
    CKeyEntry* EntryAtLine(int line) const {
        for (const auto& e : m_Database)
            if (e->m_LongLine == line) return e;
        return nullptr;
    }
};

}  // namespace taluna_test
