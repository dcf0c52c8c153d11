#pragma once
// The framing of the protocol's messages on a byte stream: a header block of
// "Name: value" lines ended by an empty line, with Content-Length giving the
// size of the body that follows.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The largest message body taken: a document of tens of megabytes fits; a
// larger body is skipped as it arrives, without holding it.
constexpr size_t kMaxMessageBody = 256u * 1024u * 1024u;
// The largest header block; beyond it the stream is not read as messages.
constexpr size_t kMaxHeaderBlock = 8 * 1024;

class CFrameReader {
public:
    using BodyHandler = std::function<void(const std::string& body)>;
    using RejectHandler = std::function<void(const std::string& why)>;

    CFrameReader(BodyHandler body, RejectHandler reject, size_t maxBody = kMaxMessageBody)
        : m_Body(std::move(body)), m_Reject(std::move(reject)), m_nMaxBody(maxBody) {}
    // Takes the next bytes of the stream; calls the handlers for every message
    // they complete.
    void Feed(std::string_view bytes);

private:
    bool TakeHeader();

    BodyHandler m_Body;
    RejectHandler m_Reject;
    size_t m_nMaxBody;
    std::string m_Buffer;
    bool m_bInBody = false;
    size_t m_nBodyLength = 0;
    size_t m_nSkip = 0;  // bytes of a refused body still to pass over
};

// A message body framed for the stream.
std::string FrameMessage(const std::string& body);
