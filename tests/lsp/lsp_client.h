#pragma once
// taluna-lsp as a child process on two pipes, for the tests: messages are
// framed and sent, and read back one at a time.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace taluna_test {

using json = nlohmann::json;

class CServerProcess {
public:
    explicit CServerProcess(const std::vector<std::string>& args = {}) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        m_Pid = fork();
        if (m_Pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(in[0]);
            close(in[1]);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv{const_cast<char*>(TALUNA_LSP_EXE)};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(TALUNA_LSP_EXE, argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_nIn = in[1];
        m_nOut = out[0];
        signal(SIGPIPE, SIG_IGN);
    }
    ~CServerProcess() {
        CloseInput();
        if (m_nOut >= 0) close(m_nOut);
        if (m_Pid > 0 && !m_bReaped) {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, nullptr, 0);
        }
    }
    CServerProcess(const CServerProcess&) = delete;
    CServerProcess& operator=(const CServerProcess&) = delete;

    bool SendRaw(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(m_nIn, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }
    bool SendBody(const std::string& body) {
        return SendRaw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    }
    bool Send(const json& message) { return SendBody(message.dump()); }
    bool Request(int id, const std::string& method, const json& params = json::object()) {
        return Send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    }
    bool Notify(const std::string& method, const json& params = json::object()) {
        return Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }

    // The next message, or nothing when none comes within `seconds` (a server
    // that hangs fails the test instead of stopping it) or the stream ends.
    std::optional<json> Receive(int seconds = 60) {
        for (;;) {
            const size_t end = m_Buffer.find("\r\n\r\n");
            if (end != std::string::npos) {
                const size_t at = m_Buffer.find("Content-Length: ");
                if (at == std::string::npos || at > end) return std::nullopt;
                const size_t length = std::stoul(m_Buffer.substr(at + 16));
                if (m_Buffer.size() >= end + 4 + length) {
                    std::string body = m_Buffer.substr(end + 4, length);
                    m_Buffer.erase(0, end + 4 + length);
                    return json::parse(body);
                }
            }
            pollfd fd{m_nOut, POLLIN, 0};
            if (poll(&fd, 1, seconds * 1000) <= 0) return std::nullopt;
            char chunk[65536];
            const ssize_t n = read(m_nOut, chunk, sizeof chunk);
            if (n <= 0) return std::nullopt;
            m_Buffer.append(chunk, static_cast<size_t>(n));
        }
    }
    // The answer to request `id`; the notifications before it are kept in `passed`.
    std::optional<json> Answer(int id, std::vector<json>* passed = nullptr) {
        while (auto message = Receive()) {
            if (message->contains("id") && (*message)["id"] == id && !message->contains("method")) return message;
            if (passed != nullptr) passed->push_back(*message);
        }
        return std::nullopt;
    }
    // The next notification of `method`.
    std::optional<json> Next(const std::string& method) {
        while (auto message = Receive())
            if (message->value("method", "") == method) return message;
        return std::nullopt;
    }

    void CloseInput() {
        if (m_nIn >= 0) close(m_nIn);
        m_nIn = -1;
    }
    // The exit status once the process has ended (within `seconds`), -1 when
    // it has not or ended by a signal; `maxRssKb` its peak memory.
    int Wait(int seconds = 60, long* maxRssKb = nullptr) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            rusage usage{};
            const pid_t done = wait4(m_Pid, &status, WNOHANG, &usage);
            if (done == m_Pid) {
                m_bReaped = true;
                if (maxRssKb != nullptr) *maxRssKb = usage.ru_maxrss;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }
    // initialize with these options, then initialized.
    json Initialize(const json& options = json::object(), int id = 1) {
        Request(id, "initialize",
                {{"processId", nullptr},
                 {"rootUri", nullptr},
                 {"capabilities", json::object()},
                 {"initializationOptions", options}});
        auto answer = Answer(id);
        Notify("initialized");
        return answer ? *answer : json();
    }

private:
    pid_t m_Pid = -1;
    bool m_bReaped = false;
    int m_nIn = -1;
    int m_nOut = -1;
    std::string m_Buffer;
};

}  // namespace taluna_test
