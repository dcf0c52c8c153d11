// taluna-lsp: Check GSD, key help and navigation for any editor with a client
// of the Language Server Protocol, over stdin and stdout.

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>

#include "lsp/lsp_server.h"
#include "lsp/lsp_transport.h"

namespace {

// Writes all of `bytes` to stdout; false once the client has gone.
bool WriteAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") {
            std::cout << "taluna-lsp " << TALUNA_VERSION << '\n';
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::cout << "Usage: taluna-lsp [--stdio]\n"
                         "A language server for GSD files: reads the protocol's messages on stdin\n"
                         "and answers on stdout.\n";
            return 0;
        }
        if (arg != "--stdio") {
            std::cerr << "taluna-lsp: unknown argument " << arg << '\n';
            return 2;
        }
    }
    // A client that closes the pipe ends the server through a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);

    bool clientGone = false;
    CLspServer server([&](const std::string& body) {
        if (!clientGone && !WriteAll(FrameMessage(body))) clientGone = true;
    });
    CFrameReader reader([&](const std::string& body) { server.Handle(body); },
                        [&](const std::string& why) { server.RejectFrame(why); });

    std::string chunk(64 * 1024, '\0');
    for (;;) {
        if (const auto status = server.ExitStatus()) return *status;
        if (clientGone) return 1;
        int timeout = -1;
        if (const auto next = server.NextCheck()) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*next - CLspServer::Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        pollfd in{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&in, 1, timeout);
        if (ready < 0 && errno != EINTR) return 1;
        if (ready > 0) {
            const ssize_t n = ::read(STDIN_FILENO, chunk.data(), chunk.size());
            if (n < 0 && errno != EINTR && errno != EAGAIN) return 1;
            // The client went away without exit: the server ends as after an exit without shutdown.
            if (n == 0) return server.ShutdownRequested() ? 0 : 1;
            if (n > 0) reader.Feed(std::string_view(chunk.data(), static_cast<size_t>(n)));
            // Every message already sent is read before a check runs.
            continue;
        }
        server.RunDueChecks(CLspServer::Clock::now());
    }
}
