#include "check/identifier_codec.h"

#include <cstdio>

#include "base/value_scanners.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsSpecialByte(std::uint8_t b) {
    return (b & 0x30) == 0;
}

CIdentLength DecodeLengthByte(std::uint8_t b) {
    return CIdentLength{(b & 0x3F) + 1, (b & 0x40) != 0, (b & 0x80) != 0};
}

std::uint8_t EncodeLengthByte(const CIdentLength& length) {
    return static_cast<std::uint8_t>((length.m_bWholeLength ? 0x80 : 0) | (length.m_bWords ? 0x40 : 0) |
                                     ((length.m_nLength - 1) & 0x3F));
}

std::uint8_t EncodeGeneralByte(const CIdentifier& id) {
    const CIdentLength& length = id.HasInput() ? id.m_Input : id.m_Output;
    return static_cast<std::uint8_t>((length.m_bWholeLength ? 0x80 : 0) | (length.m_bWords ? 0x40 : 0) |
                                     (static_cast<int>(id.m_Io) << 4) | ((length.m_nLength - 1) & 0x0F));
}

std::string LengthText(const CIdentLength& length) {
    const char* unit =
        length.m_bWords ? (length.m_nLength == 1 ? "Word" : "Words") : (length.m_nLength == 1 ? "Byte" : "Bytes");
    return std::to_string(length.m_nLength) + " " + unit;
}

std::string UnitConsistence(const CIdentLength& length) {
    if (length.m_bWholeLength) return "Whole length";
    return length.m_bWords ? "Word" : "Byte";
}

// Upper-case hex digits unless the string writes them in lower case only.
bool PrefersLowerHex(std::string_view config) {
    int lower = 0, upper = 0;
    for (char c : config) {
        if (c >= 'a' && c <= 'f') ++lower;
        if (c >= 'A' && c <= 'F') ++upper;
    }
    return lower > upper;
}

const char* SeparatorOf(std::string_view config) {
    return config.find(", ") != std::string_view::npos ? ", " : ",";
}

// The text span [start, end) of the tokens of identifier `index`.
bool IdentifierSpan(const std::vector<CConfigToken>& tokens, const CConfigDecode& decode, int index, size_t& start,
                    size_t& end) {
    if (index < 0 || index >= static_cast<int>(decode.m_Identifiers.size())) return false;
    const int first = decode.m_FirstToken[static_cast<size_t>(index)];
    const int next = index + 1 < static_cast<int>(decode.m_FirstToken.size())
                         ? decode.m_FirstToken[static_cast<size_t>(index) + 1]
                         : static_cast<int>(tokens.size());
    const CConfigToken& last = tokens[static_cast<size_t>(next - 1)];
    start = tokens[static_cast<size_t>(first)].m_nStart;
    end = last.m_nStart + last.m_nLength;
    return true;
}

}  // namespace

std::vector<CConfigToken> TokenizeConfig(std::string_view config) {
    std::vector<CConfigToken> tokens;
    if (config.empty()) return tokens;
    size_t pos = 0;
    for (;;) {
        const size_t comma = config.find(',', pos);
        size_t start = pos;
        size_t end = comma == std::string_view::npos ? config.size() : comma;
        while (start < end && IsBlank(config[start])) ++start;
        while (end > start && IsBlank(config[end - 1])) --end;
        CConfigToken token;
        token.m_nStart = start;
        token.m_nLength = end - start;
        std::uint32_t value = 0;
        token.m_bByte = ScanNumber(config.substr(start, end - start), WIDTH_U8, &value);
        token.m_Byte = static_cast<std::uint8_t>(value);
        tokens.push_back(token);
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return tokens;
}

namespace {

// Decodes the identifier that starts at bytes[pos]; returns the position after it.
size_t DecodeOne(const std::vector<std::uint8_t>& bytes, size_t pos, CIdentifier& id) {
    const std::uint8_t b = bytes[pos++];
    id = CIdentifier{};
    if (!IsSpecialByte(b)) {
        id.m_bSpecial = false;
        id.m_Io = static_cast<EIdentIo>((b >> 4) & 0x03);
        id.m_Input = CIdentLength{(b & 0x0F) + 1, (b & 0x40) != 0, (b & 0x80) != 0};
        id.m_Output = id.m_Input;
        return pos;
    }
    id.m_bSpecial = true;
    const bool output = (b & 0x80) != 0;
    const bool input = (b & 0x40) != 0;
    id.m_Io = static_cast<EIdentIo>((output ? 2 : 0) | (input ? 1 : 0));
    const int nibble = b & 0x0F;
    id.m_bNoVendorMark = nibble == 0x0F;
    const int vendor = nibble == 0x0F ? 0 : nibble;
    auto next = [&](std::uint8_t& out) {
        if (pos >= bytes.size()) {
            ++id.m_nMissing;
            return false;
        }
        out = bytes[pos++];
        return true;
    };
    std::uint8_t lengthByte = 0;
    if (output && next(lengthByte)) id.m_Output = DecodeLengthByte(lengthByte);
    if (input && next(lengthByte)) id.m_Input = DecodeLengthByte(lengthByte);
    for (int i = 0; i < vendor; ++i) {
        std::uint8_t vendorByte = 0;
        // A missing manufacturer-specific byte is kept as a zero placeholder so
        // that the identifier still claims the same count.
        if (!next(vendorByte)) vendorByte = 0;
        id.m_Vendor.push_back(vendorByte);
    }
    return pos;
}

}  // namespace

std::vector<CIdentifier> DecodeIdentifiers(const std::vector<std::uint8_t>& bytes) {
    std::vector<CIdentifier> identifiers;
    size_t pos = 0;
    while (pos < bytes.size()) {
        CIdentifier id;
        pos = DecodeOne(bytes, pos, id);
        identifiers.push_back(std::move(id));
    }
    return identifiers;
}

CConfigDecode DecodeConfig(std::string_view config) {
    CConfigDecode result;
    const std::vector<CConfigToken> tokens = TokenizeConfig(config);
    std::vector<std::uint8_t> bytes;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].m_bByte) {
            result.m_bBytesOk = false;
            result.m_nBadToken = static_cast<int>(i);
            break;
        }
        bytes.push_back(tokens[i].m_Byte);
    }
    size_t pos = 0;
    while (pos < bytes.size()) {
        CIdentifier id;
        result.m_FirstToken.push_back(static_cast<int>(pos));
        pos = DecodeOne(bytes, pos, id);
        if (id.m_nMissing > 0) result.m_bComplete = false;
        result.m_Identifiers.push_back(std::move(id));
    }
    return result;
}

std::vector<std::uint8_t> EncodeIdentifier(const CIdentifier& id) {
    std::vector<std::uint8_t> bytes;
    if (!id.m_bSpecial) {
        bytes.push_back(EncodeGeneralByte(id));
        return bytes;
    }
    const int nibble = id.m_Vendor.empty() && id.m_bNoVendorMark ? 0x0F : static_cast<int>(id.m_Vendor.size()) & 0x0F;
    bytes.push_back(static_cast<std::uint8_t>((id.HasOutput() ? 0x80 : 0) | (id.HasInput() ? 0x40 : 0) | nibble));
    if (id.HasOutput()) bytes.push_back(EncodeLengthByte(id.m_Output));
    if (id.HasInput()) bytes.push_back(EncodeLengthByte(id.m_Input));
    bytes.insert(bytes.end(), id.m_Vendor.begin(), id.m_Vendor.end());
    const size_t missing = static_cast<size_t>(id.m_nMissing > 0 ? id.m_nMissing : 0);
    bytes.resize(missing < bytes.size() ? bytes.size() - missing : 1);
    return bytes;
}

std::vector<std::uint8_t> EncodeIdentifiers(const std::vector<CIdentifier>& identifiers) {
    std::vector<std::uint8_t> bytes;
    for (const CIdentifier& id : identifiers) {
        const std::vector<std::uint8_t> one = EncodeIdentifier(id);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

std::string ValidateIdentifier(const CIdentifier& id) {
    const int limit = id.m_bSpecial ? MAX_SPECIAL_LENGTH : MAX_GENERAL_LENGTH;
    const std::string range = "1 to " + std::to_string(limit);
    if (!id.m_bSpecial && id.m_Io == EIdentIo::None) return "The short format needs IN, OUT or IN/OUT.";
    if (id.HasInput() && (id.m_Input.m_nLength < 1 || id.m_Input.m_nLength > limit))
        return "The input length must lie in the range " + range + ".";
    if (id.HasOutput() && (id.m_Output.m_nLength < 1 || id.m_Output.m_nLength > limit))
        return "The output length must lie in the range " + range + ".";
    if (!id.m_bSpecial && id.m_Io == EIdentIo::InOut && !(id.m_Input == id.m_Output))
        return "In the short format IN/OUT has one length for both directions.";
    if (!id.m_bSpecial && !id.m_Vendor.empty()) return "Only the extended format has vendor specific bytes.";
    if (static_cast<int>(id.m_Vendor.size()) > MAX_VENDOR_BYTES)
        return "At most " + std::to_string(MAX_VENDOR_BYTES) + " vendor specific bytes are possible.";
    return {};
}

std::string FormatConfigBytes(const std::vector<std::uint8_t>& bytes, bool lower) {
    std::string text;
    char buffer[8];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, lower ? "0x%02x" : "0x%02X", bytes[i]);
        if (i > 0) text += ',';
        text += buffer;
    }
    return text;
}

namespace {

std::string FormatLike(std::string_view config, const CIdentifier& id) {
    std::string text = FormatConfigBytes(EncodeIdentifier(id), PrefersLowerHex(config));
    const std::string separator = SeparatorOf(config);
    if (separator != ",") {
        std::string spaced;
        for (char c : text) {
            spaced += c;
            if (c == ',') spaced += ' ';
        }
        text = spaced;
    }
    return text;
}

}  // namespace

bool ReplaceIdentifierInConfig(std::string& config, int index, const CIdentifier& identifier) {
    const CConfigDecode decode = DecodeConfig(config);
    if (!decode.m_bBytesOk) return false;
    const std::vector<CConfigToken> tokens = TokenizeConfig(config);
    size_t start = 0, end = 0;
    if (!IdentifierSpan(tokens, decode, index, start, end)) return false;
    config.replace(start, end - start, FormatLike(config, identifier));
    return true;
}

bool InsertIdentifierInConfig(std::string& config, int index, const CIdentifier& identifier) {
    const CConfigDecode decode = DecodeConfig(config);
    if (!decode.m_bBytesOk) return false;
    const int count = static_cast<int>(decode.m_Identifiers.size());
    if (index < 0 || index > count) return false;
    const std::string text = FormatLike(config, identifier);
    if (count == 0) {
        config = text;
        return true;
    }
    const std::vector<CConfigToken> tokens = TokenizeConfig(config);
    const std::string separator = SeparatorOf(config);
    if (index == count) {
        const CConfigToken& last = tokens.back();
        config.insert(last.m_nStart + last.m_nLength, separator + text);
    } else {
        size_t start = 0, end = 0;
        IdentifierSpan(tokens, decode, index, start, end);
        config.insert(start, text + separator);
    }
    return true;
}

std::string IdentFormatText(const CIdentifier& id) {
    return id.m_bSpecial ? "Extent" : "Short";
}

std::string IoSelectText(const CIdentifier& id) {
    switch (id.m_Io) {
        case EIdentIo::In: return "IN";
        case EIdentIo::Out: return "OUT";
        case EIdentIo::InOut: return "IN/OUT";
        case EIdentIo::None: break;
    }
    return "-";
}

std::string InputLengthText(const CIdentifier& id) {
    return id.HasInput() ? LengthText(id.m_Input) : "-";
}

std::string OutputLengthText(const CIdentifier& id) {
    return id.HasOutput() ? LengthText(id.m_Output) : "-";
}

std::string ConsistenceText(const CIdentifier& id) {
    if (!id.m_bSpecial || id.m_Io == EIdentIo::In) return id.m_Io == EIdentIo::None ? "-" : UnitConsistence(id.m_Input);
    if (id.m_Io == EIdentIo::Out) return UnitConsistence(id.m_Output);
    if (id.m_Io == EIdentIo::None) return "-";
    if (id.m_Input == id.m_Output || UnitConsistence(id.m_Input) == UnitConsistence(id.m_Output))
        return UnitConsistence(id.m_Input);
    return "Out: " + UnitConsistence(id.m_Output) + ", In: " + UnitConsistence(id.m_Input);
}

std::string VendorText(const CIdentifier& id) {
    return id.m_Vendor.empty() ? "-" : FormatConfigBytes(id.m_Vendor);
}
