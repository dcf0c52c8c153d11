// Identifier bytes of module configuration data: decoding, encoding, editing in
// a configuration string, and the round trip over the Module lines of real files.

#include "check/identifier_codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text_util.h"
#include "check/module_config.h"
#include "check/process_key.h"
#include "model/database_builder.h"
#include "model/text_lines.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct SDecodeCase {
    const char* name;
    Bytes bytes;
    size_t count;  // identifiers
    bool special;  // of the first identifier
    EIdentIo io;
    const char* input;
    const char* output;
    const char* consistence;
    const char* vendor;
};

TEST(IdentifierCodec, DecodesFirstIdentifierOfEachShape) {
    const SDecodeCase cases[] = {
        {"1 byte in", {0x10}, 1, false, EIdentIo::In, "1 Byte", "-", "Byte", "-"},
        {"4 bytes in", {0x13}, 1, false, EIdentIo::In, "4 Bytes", "-", "Byte", "-"},
        {"16 bytes out", {0x2F}, 1, false, EIdentIo::Out, "-", "16 Bytes", "Byte", "-"},
        {"2 words in/out consistent", {0xF1}, 1, false, EIdentIo::InOut, "2 Words", "2 Words", "Whole length", "-"},
        {"word units", {0x53}, 1, false, EIdentIo::In, "4 Words", "-", "Word", "-"},
        {"empty place", {0x00}, 1, true, EIdentIo::None, "-", "-", "-", "-"},
        {"special in", {0x40, 0x83}, 1, true, EIdentIo::In, "4 Bytes", "-", "Whole length", "-"},
        {"special out", {0x80, 0x41}, 1, true, EIdentIo::Out, "-", "2 Words", "Word", "-"},
        {"special in/out, vendor",
         {0xC2, 0x01, 0x03, 0xAA, 0xBB},
         1,
         true,
         EIdentIo::InOut,
         "4 Bytes",
         "2 Bytes",
         "Byte",
         "0xAA,0xBB"},
        {"mixed consistence",
         {0xC0, 0x81, 0x01},
         1,
         true,
         EIdentIo::InOut,
         "2 Bytes",
         "2 Bytes",
         "Out: Whole length, In: Byte",
         "-"},
        {"nibble 15 claims nothing", {0x0F, 0x13}, 2, true, EIdentIo::None, "-", "-", "-", "-"},
        {"list of general", {0x13, 0x23, 0x33}, 3, false, EIdentIo::In, "4 Bytes", "-", "Byte", "-"},
    };
    for (const SDecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<CIdentifier> ids = DecodeIdentifiers(c.bytes);
        ASSERT_EQ(ids.size(), c.count);
        const CIdentifier& id = ids.front();
        EXPECT_EQ(id.m_bSpecial, c.special);
        EXPECT_EQ(id.m_Io, c.io);
        EXPECT_EQ(InputLengthText(id), c.input);
        EXPECT_EQ(OutputLengthText(id), c.output);
        EXPECT_EQ(ConsistenceText(id), c.consistence);
        EXPECT_EQ(VendorText(id), c.vendor);
        EXPECT_EQ(IdentFormatText(id), c.special ? "Extent" : "Short");
        EXPECT_EQ(EncodeIdentifiers(ids), c.bytes);
    }
}

TEST(IdentifierCodec, FollowingBytesAgreeWithTheConfigurationCheck) {
    // Every identifier byte alone, followed by enough bytes: the decoder takes
    // exactly as many following bytes as the check counts.
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const auto byte = static_cast<std::uint8_t>(b);
        Bytes bytes(1 + static_cast<size_t>(FollowingBytes(byte)), 0x01);
        bytes[0] = byte;
        bytes.push_back(0x10);  // a further general identifier
        const std::vector<CIdentifier> ids = DecodeIdentifiers(bytes);
        ASSERT_EQ(ids.size(), 2u);
        EXPECT_EQ(ids[1].m_Io, EIdentIo::In);
        EXPECT_EQ(ids[0].m_nMissing, 0);
        EXPECT_EQ(EncodeIdentifiers(ids), bytes);
    }
}

TEST(IdentifierCodec, IncompleteIdentifierKeepsItsBytes) {
    const Bytes bytes = {0x13, 0xC1, 0x05};  // 0xC1 needs three following bytes
    const CConfigDecode decode = DecodeConfig("0x13,0xC1,0x05");
    EXPECT_TRUE(decode.m_bBytesOk);
    EXPECT_FALSE(decode.m_bComplete);
    ASSERT_EQ(decode.m_Identifiers.size(), 2u);
    EXPECT_EQ(decode.m_Identifiers[1].m_nMissing, 2);
    EXPECT_EQ(EncodeIdentifiers(decode.m_Identifiers), bytes);
}

TEST(IdentifierCodec, BadTokenStopsTheDecode) {
    const CConfigDecode decode = DecodeConfig("0x13, 0x123, 0x23");
    EXPECT_FALSE(decode.m_bBytesOk);
    EXPECT_EQ(decode.m_nBadToken, 1);
    EXPECT_EQ(decode.m_Identifiers.size(), 1u);
    std::string config = "0x13, 0x123";
    EXPECT_FALSE(ReplaceIdentifierInConfig(config, 0, CIdentifier{}));
    EXPECT_EQ(config, "0x13, 0x123");
}

TEST(IdentifierCodec, TokensKeepTheirPositions) {
    const std::vector<CConfigToken> tokens = TokenizeConfig("0x13 ,  19,0x1");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].m_nStart, 0u);
    EXPECT_EQ(tokens[0].m_nLength, 4u);
    EXPECT_EQ(tokens[1].m_nStart, 8u);
    EXPECT_EQ(tokens[1].m_Byte, 19);
    EXPECT_EQ(tokens[2].m_Byte, 1);
    EXPECT_TRUE(TokenizeConfig("").empty());
}

TEST(IdentifierCodec, ValidationNamesWhatCannotBeEncoded) {
    CIdentifier id;
    EXPECT_EQ(ValidateIdentifier(id), "");
    id.m_Input.m_nLength = 17;
    EXPECT_NE(ValidateIdentifier(id), "");
    id.m_bSpecial = true;
    EXPECT_EQ(ValidateIdentifier(id), "");
    id.m_Input.m_nLength = 65;
    EXPECT_NE(ValidateIdentifier(id), "");
    id = CIdentifier{};
    id.m_Io = EIdentIo::InOut;
    id.m_Output.m_nLength = 2;
    EXPECT_NE(ValidateIdentifier(id), "");  // one length for both in the short format
    id = CIdentifier{};
    id.m_Io = EIdentIo::None;
    EXPECT_NE(ValidateIdentifier(id), "");
    id.m_bSpecial = true;
    id.m_Vendor.assign(15, 0);
    EXPECT_NE(ValidateIdentifier(id), "");
}

TEST(IdentifierCodec, ReplaceKeepsTheTextOfOtherTokens) {
    struct SCase {
        const char* config;
        int index;
        Bytes bytes;
        const char* expected;
    };
    const SCase cases[] = {
        {"0x13, 19,0x23", 1, {0x17}, "0x13, 0x17,0x23"},
        {"0x40,0x83, 0x10", 0, {0x10}, "0x10, 0x10"},
        {"0x10", 0, {0xC0, 0x01, 0x02}, "0xC0,0x01,0x02"},
        {"0xf1,0xf3", 1, {0x2f}, "0xf1,0x2f"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.config);
        std::string config = c.config;
        const std::vector<CIdentifier> ids = DecodeIdentifiers(c.bytes);
        ASSERT_EQ(ids.size(), 1u);
        ASSERT_TRUE(ReplaceIdentifierInConfig(config, c.index, ids[0]));
        EXPECT_EQ(config, c.expected);
    }
    std::string config = "0x10";
    EXPECT_FALSE(ReplaceIdentifierInConfig(config, 1, CIdentifier{}));
}

TEST(IdentifierCodec, InsertBeforeAnIdentifierOrAtTheEnd) {
    CIdentifier id;  // general, 1 byte in: 0x10
    struct SCase {
        const char* config;
        int index;
        const char* expected;
    };
    const SCase cases[] = {
        {"0x13,0x23", 0, "0x10,0x13,0x23"},
        {"0x13, 0x23", 1, "0x13, 0x10, 0x23"},
        {"0x40,0x83", 1, "0x40,0x83,0x10"},
        {"", 0, "0x10"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.config);
        std::string config = c.config;
        ASSERT_TRUE(InsertIdentifierInConfig(config, c.index, id));
        EXPECT_EQ(config, c.expected);
    }
    std::string config = "0x13";
    EXPECT_FALSE(InsertIdentifierInConfig(config, 2, id));
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Decoding and encoding the configuration bytes of every Module line of every
// real file gives the same bytes, and replacing each identifier by itself
// leaves every configuration string's bytes unchanged.
TEST(IdentifierCodec, RoundTripOverTheCorpus) {
    int modules = 0;
    for (const auto& file : std::filesystem::directory_iterator(TALUNA_CORPUS_DIR)) {
        if (file.path().filename() == "README.md") continue;
        SCOPED_TRACE(file.path().filename().string());
        CTalunaContext context;
        CVectorLineSource lines(SplitLines(CutAtNul(ReadFile(file.path()))));
        CKeyDatabase database;
        BuildDatabase(context, KeyClassifier(), lines, database);
        for (const auto& entry : database) {
            if (!EqualsNoCase(entry->m_Keyword, "Module")) continue;
            const std::string config(entry->m_Ready[1]);
            SCOPED_TRACE(config);
            const CConfigDecode decode = DecodeConfig(config);
            if (!decode.m_bBytesOk) continue;
            ++modules;
            Bytes bytes;
            for (const CConfigToken& token : TokenizeConfig(config)) bytes.push_back(token.m_Byte);
            EXPECT_EQ(EncodeIdentifiers(decode.m_Identifiers), bytes);
            std::string edited = config;
            for (size_t i = 0; i < decode.m_Identifiers.size(); ++i)
                ASSERT_TRUE(ReplaceIdentifierInConfig(edited, static_cast<int>(i), decode.m_Identifiers[i]));
            Bytes after;
            for (const CConfigToken& token : TokenizeConfig(edited)) after.push_back(token.m_Byte);
            EXPECT_EQ(after, bytes);
        }
    }
    EXPECT_GT(modules, 100);
}

}  // namespace
