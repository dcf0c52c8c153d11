#include "lsp/lsp_server.h"

#include <algorithm>
#include <new>
#include <set>
#include <stdexcept>

#include "base/message_catalogue.h"
#include "base/string_table.h"
#include "base/text_util.h"
#include "check/keyword_catalogue.h"
#include "cli/formatters.h"
#include "lsp/gsd_outline.h"

namespace {

// Error codes of the protocol.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;

// Completion item kinds of the protocol.
constexpr int kCompletionKeyword = 14;
constexpr int kCompletionReference = 18;
constexpr int kCompletionTypeParameter = 25;

// Message types of window/showMessage.
constexpr int kMessageWarning = 2;

json JsonPosition(const SPosition& position) {
    return {{"line", position.m_nLine}, {"character", position.m_nColumn}};
}

json JsonRange(const SRange& range) {
    return {{"start", JsonPosition(range.m_Start)}, {"end", JsonPosition(range.m_End)}};
}

SPosition PositionOf(const json& params) {
    const json& position = params.at("position");
    return {position.at("line").get<int>(), position.at("character").get<int>()};
}

const std::string& UriOf(const json& params) {
    return params.at("textDocument").at("uri").get_ref<const std::string&>();
}

bool IsDataTypeRow(const SCatalogueRow& row) {
    return row.m_Check == ECheck::DTYPE || row.m_Check == ECheck::BITDEF || row.m_Check == ECheck::AREADEF;
}

// The words of the value type a catalogue row checks its value against.
std::string ValueTypeText(const SCatalogueRow& row) {
    switch (row.m_Check) {
        case ECheck::N8: return "Unsigned8";
        case ECheck::N16: return "Unsigned16";
        case ECheck::N32: return "Unsigned32";
        case ECheck::BOOL: return "Boolean (0 or 1)";
        case ECheck::S32: return "Visible-String of up to 32 characters";
        case ECheck::S256: return "Visible-String of up to 256 characters";
        case ECheck::OCTETS: return "Octet-String";
        case ECheck::XTEXT32: return "indexed Visible-String of up to 32 characters";
        case ECheck::XTEXT256: return "indexed Visible-String of up to 256 characters";
        case ECheck::END: return "none (ends a block)";
        default: break;
    }
    if (row.m_nType & TYPE_SIMPLE_STRING) return "Visible-String";
    if (row.m_nType & TYPE_SIMPLE_BOOL) return "Boolean (0 or 1)";
    if (row.m_nType & TYPE_OCTET_STRING) return "Octet-String";
    if (row.m_nType & TYPE_SIMPLE_UINT) return "Unsigned";
    return {};
}

std::string HelpTextOf(const SCatalogueRow& row) {
    return row.m_pszHelpText != nullptr ? std::string(row.m_pszHelpText) : LoadString(row.m_nHelp);
}

// The keyword of a key line (before '=' or the first blank, without an index).
std::string_view KeywordOfLine(std::string_view line) {
    size_t begin = 0;
    while (begin < line.size() && IsSpaceByte(line[begin])) ++begin;
    size_t end = begin;
    while (end < line.size() && line[end] != '=' && line[end] != '(' && !IsSpaceByte(line[end])) ++end;
    return line.substr(begin, end - begin);
}

// A number or a range of numbers in a Slot line, with its columns.
struct SNumberToken {
    size_t m_nBegin;
    size_t m_nEnd;
    long long m_nLow;
    long long m_nHigh;
};

// The module references of a Slot line: the numbers after its quoted name.
std::vector<SNumberToken> SlotReferences(std::string_view line) {
    std::vector<SNumberToken> tokens;
    const size_t open = line.find('"');
    const size_t close = open == std::string_view::npos ? open : line.find('"', open + 1);
    if (close == std::string_view::npos) return tokens;
    size_t i = close + 1;
    auto isNumberChar = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'x' || c == 'X';
    };
    auto skipBlanks = [&](size_t at) {
        while (at < line.size() && IsSpaceByte(line[at])) ++at;
        return at;
    };
    while (i < line.size() && line[i] != ';') {
        if (!isNumberChar(line[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < line.size() && isNumberChar(line[end])) ++end;
        long long low = 0;
        if (!ReadGsdNumber(line.substr(i, end - i), low)) {
            i = end;
            continue;
        }
        SNumberToken token{i, end, low, low};
        const size_t dash = skipBlanks(end);
        if (dash < line.size() && line[dash] == '-') {
            const size_t from = skipBlanks(dash + 1);
            size_t to = from;
            while (to < line.size() && isNumberChar(line[to])) ++to;
            long long high = 0;
            if (to > from && ReadGsdNumber(line.substr(from, to - from), high)) {
                token.m_nEnd = to;
                token.m_nHigh = high;
                end = to;
            }
        }
        tokens.push_back(token);
        i = end;
    }
    return tokens;
}

}  // namespace

std::string HelpPageUri(int id) {
    if (FindMessage(id) == nullptr) return {};
    return std::string("file://") + TALUNA_HELP_DIR + "/" + HelpPageName(id);
}

CLspServer::CLspServer(Writer writer) : m_Writer(std::move(writer)) {}

void CLspServer::Send(const json& message) {
    m_Writer(message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void CLspServer::Respond(const json& id, json result) {
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void CLspServer::RespondError(const json& id, int code, const std::string& text) {
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", text}}}});
}

void CLspServer::ShowMessage(int type, const std::string& text) {
    Send({{"jsonrpc", "2.0"}, {"method", "window/showMessage"}, {"params", {{"type", type}, {"message", text}}}});
}

void CLspServer::RejectFrame(const std::string& why) {
    RespondError(nullptr, kParseError, "Parse error: " + why);
}

void CLspServer::Handle(const std::string& body) {
    json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        RespondError(nullptr, kParseError, "Parse error: the message is not JSON");
        return;
    }
    try {
        Dispatch(message);
    } catch (const std::bad_alloc&) {
        // What the message needed is given back as the stack unwinds; the server goes on.
        if (message.is_object() && message.contains("id")) RespondError(message["id"], kInternalError, "out of memory");
    }
}

void CLspServer::Dispatch(const json& message) {
    if (!message.is_object()) {
        RespondError(nullptr, kInvalidRequest, "Invalid request: a message is a JSON object");
        return;
    }
    const auto method = message.find("method");
    const auto id = message.find("id");
    if (method == message.end()) return;  // a response to nothing the server asked
    if (!method->is_string()) {
        RespondError(id != message.end() ? *id : json(nullptr), kInvalidRequest,
                     "Invalid request: method is no string");
        return;
    }
    const std::string& name = method->get_ref<const std::string&>();
    // A reference, not a copy: the params of a didOpen hold the whole text.
    static const json noParams = json::object();
    const json& params = message.contains("params") ? message["params"] : noParams;
    if (id == message.end()) {
        Notification(name, params);
        return;
    }
    if (!id->is_number_integer() && !id->is_string()) {
        RespondError(nullptr, kInvalidRequest, "Invalid request: id is neither a number nor a string");
        return;
    }
    if (m_bShutdown) {
        RespondError(*id, kInvalidRequest, "Invalid request: the server is shutting down");
        return;
    }
    if (!m_bInitialized && name != "initialize") {
        RespondError(*id, kServerNotInitialized, "The server is not initialized");
        return;
    }
    try {
        json result = Request(name, params);
        if (result.is_discarded()) {
            RespondError(*id, kMethodNotFound, "Method not found: " + name);
            return;
        }
        Respond(*id, std::move(result));
    } catch (const json::exception& e) {
        RespondError(*id, kInvalidParams, std::string("Invalid params: ") + e.what());
    } catch (const std::invalid_argument& e) {
        RespondError(*id, kInvalidParams, std::string("Invalid params: ") + e.what());
    }
}

json CLspServer::Request(const std::string& method, const json& params) {
    if (method == "initialize") {
        if (m_bInitialized) throw std::invalid_argument("the server is initialized already");
        return Initialize(params);
    }
    if (method == "shutdown") {
        m_bShutdown = true;
        return nullptr;
    }
    if (method == "textDocument/hover") return Hover(params);
    if (method == "textDocument/completion") return Completion(params);
    if (method == "textDocument/documentSymbol") return DocumentSymbols(params);
    if (method == "textDocument/definition") return Definition(params);
    return json(json::value_t::discarded);
}

void CLspServer::Notification(const std::string& method, const json& params) {
    if (method == "exit") {
        m_ExitStatus = m_bShutdown ? 0 : 1;
        return;
    }
    // Before initialize, and after shutdown, notifications are dropped.
    if (!m_bInitialized || m_bShutdown) return;
    try {
        if (method == "textDocument/didOpen") DidOpen(params);
        if (method == "textDocument/didChange") DidChange(params);
        if (method == "textDocument/didSave") DidSave(params);
        if (method == "textDocument/didClose") DidClose(params);
        if (method == "workspace/didChangeConfiguration") {
            ApplySettings(params.value("settings", json::object()));
            for (auto& [uri, document] : m_Documents) Schedule(document, 0);
        }
    } catch (const json::exception& e) {
        // A notification has no answer: the client hears of its fault this way.
        ShowMessage(kMessageWarning, "taluna-lsp: " + method + " ignored: " + e.what());
    }
}

json CLspServer::Initialize(const json& params) {
    m_bInitialized = true;
    ApplySettings(params.value("initializationOptions", json::object()));
    return {{"capabilities",
             {{"textDocumentSync", {{"openClose", true}, {"change", 1}, {"save", {{"includeText", true}}}}},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", {"=", "("}}}},
              {"documentSymbolProvider", true},
              {"definitionProvider", true}}},
            {"serverInfo", {{"name", "taluna-lsp"}, {"version", TALUNA_VERSION}}}};
}

void CLspServer::ApplySettings(const json& given) {
    const json& settings = given.is_object() && given.contains("taluna") ? given["taluna"] : given;
    if (!settings.is_object()) return;
    if (auto it = settings.find("profile"); it != settings.end() && it->is_string()) {
        const std::string& profile = it->get_ref<const std::string&>();
        if (profile == "classic")
            m_Settings.m_Profile = EProfileChoice::Classic;
        else if (profile == "rev5")
            m_Settings.m_Profile = EProfileChoice::Rev5;
        else if (profile == "auto")
            m_Settings.m_Profile = EProfileChoice::Auto;
        else
            ShowMessage(kMessageWarning, "taluna-lsp: unknown profile \"" + profile + "\" (classic, rev5 or auto)");
    }
    if (auto it = settings.find("warnings"); it != settings.end() && it->is_boolean())
        m_Settings.m_bWarnings = it->get<bool>();
    if (auto it = settings.find("debounceMs"); it != settings.end() && it->is_number_integer())
        m_Settings.m_nDebounceMs = std::clamp(it->get<int>(), 0, 60000);
    bool explicitKeys = false;
    if (auto it = settings.find("userKeys"); it != settings.end() && it->is_string()) {
        m_Settings.m_UserKeys = it->get<std::string>();
        explicitKeys = true;
    }
    // The user keys are read again whenever settings arrive: the file may have changed.
    m_UserKeys = CMemoryProfileStore();
    std::string why;
    if (!m_Settings.m_UserKeys.empty()) {
        if (ReadIniFile(m_Settings.m_UserKeys, m_UserKeys, why) != EIniFile::Read && explicitKeys)
            ShowMessage(kMessageWarning,
                        "taluna-lsp: cannot read user keys from " + m_Settings.m_UserKeys + ": " + why);
    } else {
        // As taluna-check: the keys registered in the editor, when its settings file can be read.
        ReadIniFile(DefaultSettingsPath(), m_UserKeys, why);
    }
}

CCheckOptions CLspServer::Options() const {
    CCheckOptions options;
    options.m_Profile = m_Settings.m_Profile;
    options.m_bNoWarnings = !m_Settings.m_bWarnings;
    options.m_pUserKeys = &m_UserKeys;
    return options;
}

void CLspServer::Schedule(SOpenDocument& document, int delayMs) {
    document.m_Due = Clock::now() + std::chrono::milliseconds(delayMs);
}

void CLspServer::DidOpen(const json& params) {
    const json& item = params.at("textDocument");
    SOpenDocument& document = m_Documents[item.at("uri").get<std::string>()];
    document.m_Text = Utf8ToGsdBytes(item.at("text").get_ref<const std::string&>());
    document.m_nVersion = item.value("version", 0);
    document.m_pChecked.reset();
    Schedule(document, 0);
}

void CLspServer::DidChange(const json& params) {
    const auto found = m_Documents.find(UriOf(params));
    if (found == m_Documents.end()) return;
    SOpenDocument& document = found->second;
    const json& changes = params.at("contentChanges");
    // Full sync: the last change holds the whole text.
    for (const json& change : changes)
        if (!change.contains("range"))
            document.m_Text = Utf8ToGsdBytes(change.at("text").get_ref<const std::string&>());
    document.m_nVersion = params.at("textDocument").value("version", document.m_nVersion);
    Schedule(document, m_Settings.m_nDebounceMs);
}

void CLspServer::DidSave(const json& params) {
    const auto found = m_Documents.find(UriOf(params));
    if (found == m_Documents.end()) return;
    if (params.contains("text")) found->second.m_Text = Utf8ToGsdBytes(params["text"].get_ref<const std::string&>());
    Schedule(found->second, 0);
}

void CLspServer::DidClose(const json& params) {
    const std::string uri = UriOf(params);
    if (m_Documents.erase(uri) == 0) return;
    Send({{"jsonrpc", "2.0"},
          {"method", "textDocument/publishDiagnostics"},
          {"params", {{"uri", uri}, {"diagnostics", json::array()}}}});
}

std::optional<CLspServer::Clock::time_point> CLspServer::NextCheck() const {
    std::optional<Clock::time_point> next;
    for (const auto& [uri, document] : m_Documents)
        if (document.m_Due && (!next || *document.m_Due < *next)) next = document.m_Due;
    return next;
}

void CLspServer::RunDueChecks(Clock::time_point now) {
    for (auto& [uri, document] : m_Documents)
        if (document.m_Due && *document.m_Due <= now) Check(uri, document);
}

void CLspServer::Check(const std::string& uri, SOpenDocument& document) {
    document.m_Due.reset();
    document.m_pChecked.reset();
    try {
        document.m_pChecked = std::make_unique<CGsdDocument>(document.m_Text, Options());
    } catch (const std::bad_alloc&) {
    }
    if (document.m_pChecked == nullptr || document.m_pChecked->OutOfMemory()) {
        document.m_pChecked.reset();
        ShowMessage(kMessageWarning, "taluna-lsp: " + uri + " was not checked: out of memory");
        return;
    }
    Publish(uri, document);
}

void CLspServer::Publish(const std::string& uri, const SOpenDocument& document) {
    const CGsdDocument& checked = *document.m_pChecked;
    // The message is written as text, one diagnostic after the other: a file
    // with tens of thousands of findings costs their text, not a tree of them.
    std::string body = R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)";
    body += json(uri).dump(-1, ' ', false, json::error_handler_t::replace);
    body += R"(,"version":)" + std::to_string(document.m_nVersion) + R"(,"diagnostics":[)";
    std::string utf8;
    bool first = true;
    for (const CCheckMessage& row : checked.Rows()) {
        const bool error = row.m_nKind == CheckMessageKind::Error || row.m_nKind == CheckMessageKind::FatalError;
        if (!error && row.m_nKind != CheckMessageKind::Warning) continue;
        const SRange range = row.HasLine() ? checked.RangeOfLine(row.m_nLine) : SRange{};
        body += first ? R"({"range":{"start":{"line":)" : R"(,{"range":{"start":{"line":)";
        first = false;
        body += std::to_string(range.m_Start.m_nLine) + R"(,"character":)" + std::to_string(range.m_Start.m_nColumn);
        body += R"(},"end":{"line":)" + std::to_string(range.m_End.m_nLine) + R"(,"character":)" +
                std::to_string(range.m_End.m_nColumn);
        body += R"(}},"severity":)";
        body += error ? '1' : '2';
        if (row.m_nId > 0) {
            body += R"(,"code":)" + std::to_string(row.m_nId);
            // The findings of the message catalogue have a help page each.
            if (const std::string page = HelpPageUri(row.m_nId); !page.empty()) {
                body += R"(,"codeDescription":{"href":)";
                AppendJsonString(body, page);
                body += '}';
            }
        }
        body += R"(,"source":"taluna","message":)";
        utf8.clear();
        AppendUtf8(utf8, row.m_Text);
        AppendJsonString(body, utf8);
        body += '}';
    }
    body += "]}}";
    m_Writer(body);
}

const CGsdDocument* CLspServer::Checked(const json& params) {
    const auto found = m_Documents.find(UriOf(params));
    if (found == m_Documents.end()) return nullptr;
    // A request answers about the newest text: a check still waiting runs now.
    if (found->second.m_Due || found->second.m_pChecked == nullptr) Check(found->first, found->second);
    return found->second.m_pChecked.get();
}

json CLspServer::Hover(const json& params) {
    const SPosition position = PositionOf(params);
    const CGsdDocument* document = Checked(params);
    if (document == nullptr) return nullptr;
    const CKeyEntry* entry = document->EntryAt(position.m_nLine);
    if (entry == nullptr) return nullptr;
    const SCatalogueRow* row = CatalogueRowOf(*entry, document->Profile());
    if (row == nullptr) return nullptr;
    std::string help = HelpTextOf(*row);
    // Markdown: the help text's own line breaks stay breaks.
    for (size_t at = help.find("\r\n"); at != std::string::npos; at = help.find("\r\n", at + 3))
        help.replace(at, 2, "  \n");
    const std::string_view line = document->Lines().Whole(entry->m_LongLine);
    const std::string_view keyword = KeywordOfLine(line);
    // The keyword as the file spells it; the catalogue keeps it in capitals.
    std::string text =
        "**" + std::string(keyword.empty() ? std::string_view(row->m_pszKeyword) : keyword) + "**\n\n" + help;
    if (const std::string type = ValueTypeText(*row); !type.empty()) text += "\n\nValue: " + type;
    if (row->m_pszRange != nullptr) text += "\n\nRange: " + std::string(row->m_pszRange);
    const int begin = static_cast<int>(keyword.data() - line.data());
    return {{"contents", {{"kind", "markdown"}, {"value", GsdBytesToUtf8(text)}}},
            {"range",
             JsonRange({{entry->m_LongLine, begin}, {entry->m_LongLine, begin + static_cast<int>(keyword.size())}})}};
}

json CLspServer::Completion(const json& params) {
    const SPosition position = PositionOf(params);
    const CGsdDocument* document = Checked(params);
    json items = json::array();
    if (document == nullptr) return items;
    const std::string_view line = document->Lines().Whole(position.m_nLine);
    const std::string_view before =
        line.substr(0, std::min(line.size(), static_cast<size_t>(std::max(0, position.m_nColumn))));
    const size_t eq = before.find('=');
    if (eq != std::string_view::npos) {
        // A reference is typed: the numbers the file defines for it.
        const std::string_view keyword = KeywordOfLine(before.substr(0, eq));
        std::vector<SDefinition> definitions;
        if (EqualsNoCase(keyword, "Ext_User_Prm_Data_Ref"))
            definitions = document->ExtUserPrmDataDefinitions();
        else if (EqualsNoCase(keyword, "Prm_Text_Ref"))
            definitions = document->PrmTextDefinitions();
        else if (EqualsNoCase(keyword, "Slot"))
            definitions = document->ModuleReferences();
        std::set<long long> seen;
        for (const SDefinition& definition : definitions) {
            if (!seen.insert(definition.m_nNumber).second) continue;
            const std::string_view defLine = document->Lines().Whole(definition.m_pEntry->m_LongLine);
            items.push_back({{"label", std::to_string(definition.m_nNumber)},
                             {"kind", kCompletionReference},
                             {"detail", GsdBytesToUtf8(Trim(defLine))}});
        }
        return items;
    }
    // At the start of a line: the keywords of the profile and the data type words.
    std::string_view typed = before;
    while (!typed.empty() && IsSpaceByte(typed.front())) typed.remove_prefix(1);
    if (KeywordOfLine(typed).size() != typed.size()) return items;
    const int count =
        document->Profile() == ECheckProfile::Rev5 ? KeywordCatalogue::AllRowCount() : KeywordCatalogue::RowCount();
    std::set<std::string> seen;
    for (int i = 0; i < count; ++i) {
        const SCatalogueRow& row = KeywordCatalogue::Row(i);
        if (row.m_pszKeyword == nullptr || row.m_pszKeyword[0] == '\0') continue;
        // The profile's own row of a keyword is the one Find gives.
        if (KeywordCatalogue::Find(row.m_pszKeyword, document->Profile()) != &row) continue;
        if (!seen.insert(ToUpper(row.m_pszKeyword)).second) continue;
        items.push_back({{"label", row.m_pszKeyword},
                         {"kind", IsDataTypeRow(row) ? kCompletionTypeParameter : kCompletionKeyword},
                         {"documentation", GsdBytesToUtf8(HelpTextOf(row))}});
    }
    return items;
}

json CLspServer::DocumentSymbols(const json& params) {
    const CGsdDocument* document = Checked(params);
    if (document == nullptr) return json::array();
    return OutlineSymbols(*document);
}

json CLspServer::Definition(const json& params) {
    const SPosition position = PositionOf(params);
    const CGsdDocument* document = Checked(params);
    if (document == nullptr) return nullptr;
    const CKeyEntry* entry = document->EntryAt(position.m_nLine);
    if (entry == nullptr) return nullptr;
    const std::string& uri = UriOf(params);
    const std::string_view line = document->Lines().Whole(entry->m_LongLine);
    const std::string_view keyword = KeywordOfLine(line);
    auto locations = [&](const std::vector<SDefinition>& definitions, auto wanted) {
        json found = json::array();
        for (const SDefinition& definition : definitions)
            if (wanted(definition.m_nNumber))
                found.push_back({{"uri", uri}, {"range", JsonRange(document->RangeOfEntry(*definition.m_pEntry))}});
        return found;
    };
    const size_t eq = line.find('=');
    if (EqualsNoCase(keyword, "Ext_User_Prm_Data_Ref") || EqualsNoCase(keyword, "Prm_Text_Ref")) {
        long long number = 0;
        std::string_view value = eq == std::string_view::npos ? std::string_view{} : line.substr(eq + 1);
        const std::string number_text = Trim(value.substr(0, value.find(';')));
        if (!ReadGsdNumber(number_text, number)) return nullptr;
        const bool ext = EqualsNoCase(keyword, "Ext_User_Prm_Data_Ref");
        return locations(ext ? document->ExtUserPrmDataDefinitions() : document->PrmTextDefinitions(),
                         [&](long long n) { return n == number; });
    }
    if (EqualsNoCase(keyword, "Slot")) {
        const std::vector<SNumberToken> tokens = SlotReferences(line);
        const auto column = static_cast<size_t>(std::max(0, position.m_nColumn));
        // The reference under the cursor, or every reference of the line.
        for (const SNumberToken& token : tokens)
            if (position.m_nLine == entry->m_LongLine && column >= token.m_nBegin && column <= token.m_nEnd)
                return locations(document->ModuleReferences(),
                                 [&](long long n) { return n >= token.m_nLow && n <= token.m_nHigh; });
        return locations(document->ModuleReferences(), [&](long long n) {
            return std::any_of(tokens.begin(), tokens.end(),
                               [n](const SNumberToken& t) { return n >= t.m_nLow && n <= t.m_nHigh; });
        });
    }
    return nullptr;
}
