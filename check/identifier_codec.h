#pragma once
// The identifiers of a module's configuration data as the key editor shows and
// edits them: decoding the identifier bytes into identifiers (general and
// special format), encoding them again, and editing one identifier inside a
// configuration string without touching the text of the others.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Data direction of an identifier (bits 5-4 of a general-format byte, bits
// 7-6 of a special-format byte).
enum class EIdentIo { None = 0, In = 1, Out = 2, InOut = 3 };

// Length of the data of one direction: a count of bytes or of words, and
// whether the data are consistent over their whole length (else per unit).
struct CIdentLength {
    int m_nLength = 1;
    bool m_bWords = false;
    bool m_bWholeLength = false;

    bool operator==(const CIdentLength&) const = default;
};

struct CIdentifier {
    bool m_bSpecial = false;  // special ("Extent") format, else general ("Short")
    EIdentIo m_Io = EIdentIo::In;
    // General format: one length for every direction it has, kept in m_Input.
    // Special format: each direction has its own length byte.
    CIdentLength m_Input;
    CIdentLength m_Output;
    std::vector<std::uint8_t> m_Vendor;  // manufacturer-specific bytes, special format only
    // Special format: bits 3-0 were 15, which claims no manufacturer-specific bytes.
    bool m_bNoVendorMark = false;
    // Bytes the identifier claims but the list does not hold any more.
    int m_nMissing = 0;

    bool HasInput() const { return m_Io == EIdentIo::In || m_Io == EIdentIo::InOut; }
    bool HasOutput() const { return m_Io == EIdentIo::Out || m_Io == EIdentIo::InOut; }
    bool operator==(const CIdentifier&) const = default;
};

// Greatest length of a general-format identifier and of a length byte.
constexpr int MAX_GENERAL_LENGTH = 16;
constexpr int MAX_SPECIAL_LENGTH = 64;
constexpr int MAX_VENDOR_BYTES = 14;

// One comma-separated token of a configuration string: where it stands and its byte.
struct CConfigToken {
    size_t m_nStart = 0;
    size_t m_nLength = 0;
    bool m_bByte = false;  // whether the token is a number of at most 8 bits
    std::uint8_t m_Byte = 0;
};

// Splits a configuration string at its commas; a token is the text between
// two commas without the blanks around it. An empty string has no token.
std::vector<CConfigToken> TokenizeConfig(std::string_view config);

struct CConfigDecode {
    std::vector<CIdentifier> m_Identifiers;
    std::vector<int> m_FirstToken;  // per identifier: index of its first token
    bool m_bBytesOk = true;         // every token is a byte
    int m_nBadToken = -1;           // first token that is no byte
    bool m_bComplete = true;        // no identifier lacks bytes
};

// Decodes identifier bytes. A byte that follows a special-format identifier
// belongs to it: first the output length byte (bit 7), then the input length
// byte (bit 6), then the manufacturer-specific bytes (bits 3-0, 15 counting as 0).
std::vector<CIdentifier> DecodeIdentifiers(const std::vector<std::uint8_t>& bytes);
// Decodes a configuration string; identifiers stop before the first bad token.
CConfigDecode DecodeConfig(std::string_view config);

// The bytes of identifiers; an identifier that lacks bytes gives only the bytes it had.
std::vector<std::uint8_t> EncodeIdentifier(const CIdentifier& identifier);
std::vector<std::uint8_t> EncodeIdentifiers(const std::vector<CIdentifier>& identifiers);

// Why an identifier cannot be encoded as it stands; empty when it can.
std::string ValidateIdentifier(const CIdentifier& identifier);

// Bytes as configuration tokens "0x13,0x23" (upper-case hex digits unless `lower`).
std::string FormatConfigBytes(const std::vector<std::uint8_t>& bytes, bool lower = false);

// The configuration string with identifier `index` replaced by `identifier`;
// the text of every other token stays as written. False when the string does
// not decode or the index does not exist.
bool ReplaceIdentifierInConfig(std::string& config, int index, const CIdentifier& identifier);
// The configuration string with `identifier` inserted before identifier
// `index` (at the end when `index` is the identifier count).
bool InsertIdentifierInConfig(std::string& config, int index, const CIdentifier& identifier);

// Texts of the identifier list's columns.
std::string IdentFormatText(const CIdentifier& identifier);
std::string IoSelectText(const CIdentifier& identifier);
std::string InputLengthText(const CIdentifier& identifier);
std::string OutputLengthText(const CIdentifier& identifier);
std::string ConsistenceText(const CIdentifier& identifier);
std::string VendorText(const CIdentifier& identifier);
