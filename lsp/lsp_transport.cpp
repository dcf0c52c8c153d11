#include "lsp/lsp_transport.h"

#include <algorithm>

#include "base/text_util.h"

void CFrameReader::Feed(std::string_view bytes) {
    while (!bytes.empty()) {
        if (m_nSkip > 0) {
            const size_t n = std::min(m_nSkip, bytes.size());
            m_nSkip -= n;
            bytes.remove_prefix(n);
            continue;
        }
        if (m_bInBody) {
            const size_t n = std::min(m_nBodyLength - m_Buffer.size(), bytes.size());
            m_Buffer.append(bytes.substr(0, n));
            bytes.remove_prefix(n);
            if (m_Buffer.size() == m_nBodyLength) {
                m_bInBody = false;
                std::string body;
                body.swap(m_Buffer);
                m_Body(body);
            }
            continue;
        }
        // Header bytes: taken up to the end of the header block.
        const size_t before = m_Buffer.size();
        m_Buffer.append(bytes);
        const size_t end = m_Buffer.find("\r\n\r\n", before >= 3 ? before - 3 : 0);
        if (end == std::string::npos) {
            if (m_Buffer.size() > kMaxHeaderBlock) {
                m_Buffer.clear();
                m_Reject("header block too long");
            }
            return;
        }
        const size_t used = end + 4 - before;
        bytes.remove_prefix(used);
        m_Buffer.resize(end + 4);
        TakeHeader();
    }
}

bool CFrameReader::TakeHeader() {
    const std::string header = std::move(m_Buffer);
    m_Buffer.clear();
    long long length = -1;
    size_t pos = 0;
    while (pos < header.size()) {
        size_t eol = header.find("\r\n", pos);
        if (eol == std::string::npos) eol = header.size();
        const std::string_view line(header.data() + pos, eol - pos);
        pos = eol + 2;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        if (!EqualsNoCase(Trim(line.substr(0, colon)), "Content-Length")) continue;
        const std::string value = Trim(line.substr(colon + 1));
        if (value.empty() || value.size() > 12 || value.find_first_not_of("0123456789") != std::string::npos) {
            length = -2;
            continue;
        }
        length = std::stoll(value);
    }
    if (length < 0) {
        m_Reject(length == -1 ? "no Content-Length header" : "bad Content-Length header");
        return false;
    }
    if (static_cast<unsigned long long>(length) > m_nMaxBody) {
        m_nSkip = static_cast<size_t>(length);
        m_Reject("message body of " + std::to_string(length) + " bytes is too large");
        return false;
    }
    m_nBodyLength = static_cast<size_t>(length);
    if (m_nBodyLength == 0) {
        m_Body(std::string());
        return true;
    }
    m_bInBody = true;
    m_Buffer.reserve(m_nBodyLength);
    return true;
}

std::string FrameMessage(const std::string& body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}
