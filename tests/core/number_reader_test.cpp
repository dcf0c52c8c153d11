// The semantic check reads numbers the way the syntax check accepted them.

#include <gtest/gtest.h>

#include "base/value_scanners.h"
#include "cli/file_check.h"

namespace {

TEST(NumberReader, HexadecimalWithEitherX) {
    struct SCase {
        const char* text;
        std::int32_t value;
    } const cases[] = {
        {"0x1F", 31},
        {"0X1F", 31},
        {"0X0000", 0},
        {"12", 12},
        {" -3", -3},
        {"007", 7},
        {"1-2", 1},
        {"abc", 0},
        {"0xFFFFFFFF", -1},
        {"99999999999", 2147483647},
        {"0x1F@a", 31},
        {"3@Dig", 3},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << c.text;
}

TEST(NumberReader, IdentNumberWithCapitalXIsNotZero) {
    const std::string base =
        "#Profibus_DP\nVendor_Name = \"V\"\nModel_Name = \"M\"\nRevision = \"1\"\nProtocol_Ident = 0\n"
        "Station_Type = 0\nHardware_Release = \"1\"\nSoftware_Release = \"1\"\n9.6_supp = 1\nMaxTsdr_9.6 = 60\n"
        "Min_Slave_Intervall = 1\nModule = \"M\" 0x10\nEndModule\n";
    auto has64435 = [](const std::vector<CCheckMessage>& rows) {
        for (const auto& row : rows)
            if (row.m_nId == 64435) return true;
        return false;
    };
    EXPECT_FALSE(has64435(CheckGsdText(base + "Ident_Number = 0X1234\n", {})));
    EXPECT_TRUE(has64435(CheckGsdText(base + "Ident_Number = 0X0000\n", {})));
    EXPECT_TRUE(has64435(CheckGsdText(base + "Ident_Number = 0\n", {})));
}

}  // namespace
