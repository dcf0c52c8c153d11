#pragma once
// The language server: takes the bodies of the client's messages one at a time
// and hands the bodies of its answers and notifications to a writer. It holds
// the open documents and checks each one once its changes have settled; the
// caller's loop asks when the next check is due and runs it (main.cpp reads
// stdin, the tests and the benchmark call it directly).

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/file_check.h"
#include "lsp/gsd_document.h"
#include "model/ini_profile.h"

using json = nlohmann::json;

struct SLspSettings {
    EProfileChoice m_Profile = EProfileChoice::Auto;
    // The user-key file; empty for the keys registered in the editor's settings.
    std::string m_UserKeys;
    bool m_bWarnings = true;
    // How long a document must stay unchanged before it is checked.
    int m_nDebounceMs = 300;
};

class CLspServer {
public:
    using Clock = std::chrono::steady_clock;
    using Writer = std::function<void(const std::string& body)>;

    explicit CLspServer(Writer writer);

    // Handles one message body (a JSON text).
    void Handle(const std::string& body);
    // Answers a message the transport could not read as one (no or a bad
    // Content-Length): a parse error without an id.
    void RejectFrame(const std::string& why);

    // When the next check is due; nothing when no document waits for one.
    std::optional<Clock::time_point> NextCheck() const;
    // Checks every document whose time has come at `now` and publishes its
    // diagnostics.
    void RunDueChecks(Clock::time_point now);

    // Once exit came: the process's exit status (0 after shutdown, else 1).
    std::optional<int> ExitStatus() const { return m_ExitStatus; }
    bool ShutdownRequested() const { return m_bShutdown; }

    const SLspSettings& Settings() const { return m_Settings; }

private:
    struct SOpenDocument {
        std::string m_Text;  // Windows-1252 bytes of the newest text
        int m_nVersion = 0;
        std::unique_ptr<CGsdDocument> m_pChecked;  // the newest text, checked; null until then
        std::optional<Clock::time_point> m_Due;    // when a check is due
    };

    void Dispatch(const json& message);
    json Request(const std::string& method, const json& params);
    void Notification(const std::string& method, const json& params);

    json Initialize(const json& params);
    void ApplySettings(const json& settings);
    void DidOpen(const json& params);
    void DidChange(const json& params);
    void DidSave(const json& params);
    void DidClose(const json& params);
    json Hover(const json& params);
    json Completion(const json& params);
    json DocumentSymbols(const json& params);
    json Definition(const json& params);

    // The checked document of a request's textDocument; checks pending changes first.
    const CGsdDocument* Checked(const json& params);
    void Check(const std::string& uri, SOpenDocument& document);
    void Publish(const std::string& uri, const SOpenDocument& document);
    void Schedule(SOpenDocument& document, int delayMs);
    CCheckOptions Options() const;

    void Send(const json& message);
    void Respond(const json& id, json result);
    void RespondError(const json& id, int code, const std::string& text);
    void ShowMessage(int type, const std::string& text);

    Writer m_Writer;
    SLspSettings m_Settings;
    CMemoryProfileStore m_UserKeys;
    bool m_bInitialized = false;
    bool m_bShutdown = false;
    std::optional<int> m_ExitStatus;
    std::map<std::string, SOpenDocument> m_Documents;
};

// The help page of a finding of the message catalogue, as a file URI in the
// installed help; empty for an id the catalogue does not hold.
std::string HelpPageUri(int id);
