// Classification of freshly built entries: type flag, tree group, value items,
// block parents and module reference lines, from the keyword catalogue or from
// the user's registration of a keyword.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "check/keyword_catalogue.h"
#include "check/process_key.h"
#include "model/database_builder.h"
#include "model/ini_profile.h"
#include "model/key_database.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"
#include "model/text_lines.h"

namespace {

struct SBuilt {
    CMemoryProfileStore profile;
    CTalunaContext context;
    CKeyDatabase database;

    SBuilt() { context.m_pProfile = &profile; }
    void Build(std::vector<std::string> body) {
        body.insert(body.begin(), "#Profibus_DP");
        CVectorLineSource source(std::move(body));
        BuildDatabase(context, KeyClassifier(), source, database);
    }
    CKeyEntry& At(int index) { return *database.GetAt(index); }
};

struct STypeCase {
    const char* line;
    int type;
    int group;
};

// The tree's group texts hold a blank; a keyword is told from them by its
// catalogue row only while no catalogue keyword holds one.
TEST(Classification, NoCatalogueKeywordHoldsABlank) {
    for (int i = 0; i < KeywordCatalogue::AllRowCount(); ++i) {
        const std::string_view keyword = KeywordCatalogue::Row(i).m_pszKeyword;
        EXPECT_EQ(keyword.find_first_of(" \t"), std::string_view::npos) << keyword;
    }
}

// Classification leaves a Module_Reference value unsplit and sets its first
// item as for a row without a split: the row must have none.
TEST(Classification, ModuleReferenceRowsHaveNoSplit) {
    for (int i = 0; i < KeywordCatalogue::AllRowCount(); ++i) {
        const SCatalogueRow& row = KeywordCatalogue::Row(i);
        if (std::string_view(row.m_pszKeyword) != "Module_Reference") continue;
        EXPECT_EQ(row.m_Split, ESplit::None) << i;
    }
}

TEST(Classification, CatalogueRowsGiveTypeAndGroup) {
    const STypeCase cases[] = {
        {"GSD_Revision = 1", TYPE_SIMPLE_UINT, PARENT_GENERAL},
        {"gsd_revision = 1", TYPE_SIMPLE_UINT, PARENT_GENERAL},
        {"Vendor_Name = \"v\"", TYPE_SIMPLE_STRING, PARENT_GENERAL},
        {"FMS_supp = 1", TYPE_SIMPLE_BOOL, PARENT_GENERAL},
        {"12M_supp = 1", TYPE_SIMPLE_BOOL, PARENT_GENERAL},
        {"MaxTsdr_45.45 = 60", TYPE_SIMPLE_UINT, PARENT_GENERAL},
        {"Bitmap_SF = \"b\"", TYPE_SIMPLE_STRING, PARENT_GENERAL},
        {"User_Prm_Data = 1,2", TYPE_OCTET_STRING, PARENT_SLAVE},
        {"Fail_Safe = 1", TYPE_SIMPLE_BOOL, PARENT_SLAVE},
        {"Unit_Diag_Bit(1) = \"x\"", TYPE_SIMPLE_STRING, PARENT_SLAVE},
        {"Slave_Family = 3", TYPE_SIMPLE_STRING, PARENT_SLAVE},
        {"Modular_Station = 1", TYPE_SIMPLE_BOOL, PARENT_SLAVE},
        {"Download_supp = 1", TYPE_SIMPLE_BOOL, PARENT_MASTER},
        {"Max_MPS_Length = 1", TYPE_SIMPLE_UINT, PARENT_MASTER},
        {"Tsdi_12M = 1", TYPE_SIMPLE_UINT, PARENT_MASTER},
        {"Ext_Module_Prm_Data_Len = 1", TYPE_SIMPLE_UINT, PARENT_MODULE},
        {"Channel_Diag(1) = \"x\"", TYPE_SIMPLE_STRING, PARENT_MODULE},
        {"Prm_Text_Ref = 1", TYPE_SIMPLE_UINT, PARENT_MODULE},
        {"Text(0) = \"x\"", TYPE_SIMPLE_STRING, PARENT_MODULE},
        {"Unsigned8 1 0-255", TYPE_SIMPLE_STRING, PARENT_MODULE},
        {"Bit(0) 1 0-1", TYPE_SIMPLE_STRING, PARENT_MODULE},
        {"Ext_User_Prm_Data_Const(0) = 1", TYPE_OCTET_STRING, PARENT_SLAVE},
        {"Ext_User_Prm_Data_Ref(0) = 1", TYPE_SIMPLE_STRING, PARENT_SLAVE},
        // The Module_Reference row classifies nothing.
        {"Module_Reference = 5", TYPE_USER_KEY, 0},
        {"Foo = 1", TYPE_USER_KEY, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SBuilt built;
        built.Build({c.line});
        ASSERT_EQ(built.database.GetCount(), 1);
        EXPECT_EQ(built.At(0).m_TypeFlag, c.type);
        EXPECT_EQ(built.At(0).m_TreeGroup, c.group);
        EXPECT_EQ(built.At(0).m_RangeLen, "");
    }
}

struct SSplitCase {
    const char* line;
    std::vector<std::string> ready;  // expected leading value items
    std::string value;               // m_Value after classification
};

TEST(Classification, SplitRulesFillTheValueItems) {
    const SSplitCase cases[] = {
        {"GSD_Revision = 2", {"2"}, "2"},
        {"Vendor_Name = \"Maker\" ; note", {"Maker"}, "Maker"},
        {"Vendor_Name = \" Maker \"", {"Maker"}, "Maker"},
        {"Slave_Family = 3@Digital@24V", {"3@Digital@24V"}, "3@Digital@24V"},
        {"Module = \"Name\" 0x11", {"Name", "0x11"}, "0x11"},
        {"Module = \"Name\" 0x40, 0x83", {"Name", "0x40, 0x83"}, "0x40, 0x83"},
        {"Text(0) = \"abc\"", {"0", "abc"}, "abc"},
        {"Ext_User_Prm_Data_Const(0) = 0x01,0x02", {"0", "0x01,0x02"}, "0x01,0x02"},
        {"ExtUserPrmData = 1 \"Name\"", {"1", "Name"}, "Name"},
        {"Unit_Diag_Area = 16-23", {"16", "23"}, "23"},
        {"Unsigned8 1 0-255", {"1", "0-255"}, "0-255"},
        {"Bit(0) 1 0-1", {"0", "1", "0-1"}, "0-1"},
        {"BitArea(2-4) 3 0-7", {"2-4", "3", "0-7"}, "0-7"},
        {"Signed16 -5 -10--1", {"-5", "-10--1"}, "-10--1"},
        {"Foo = \"abc\" x", {"abc"}, "abc\xA7 x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SBuilt built;
        built.Build({c.line});
        ASSERT_EQ(built.database.GetCount(), 1);
        const CKeyEntry& e = built.At(0);
        ASSERT_GE(e.m_Ready.size(), 4u);
        for (size_t i = 0; i < c.ready.size(); ++i) EXPECT_EQ(e.m_Ready[i], c.ready[i]) << "item " << i;
        for (size_t i = c.ready.size(); i < 4; ++i) EXPECT_EQ(e.m_Ready[i], "") << "item " << i;
        EXPECT_EQ(e.m_Value, c.value);
    }
}

TEST(Classification, WordSplitGrowsTheItemsBeyondFour) {
    SBuilt built;
    built.Build({"Unsigned8 1 2 3 4 5"});
    ASSERT_EQ(built.database.GetCount(), 1);
    const CKeyEntry& e = built.At(0);
    const std::vector<std::string> expected = {"1", "2", "3", "4", "5", ""};
    EXPECT_EQ(e.m_Ready, expected);
    EXPECT_EQ(e.m_Value, "5");
}

TEST(Classification, ModuleBlockSetsParentsAndModuleGroup) {
    SBuilt built;
    built.Build({"Ext_User_Prm_Data_Const(0) = 1", "Module = \"M\" 0x10", "Ext_User_Prm_Data_Const(0) = 1",
                 "Ext_User_Prm_Data_Ref(0) = 1", "EndModule", "Ext_User_Prm_Data_Const(0) = 1"});
    ASSERT_EQ(built.database.GetCount(), 6);
    CKeyEntry* module = &built.At(1);
    EXPECT_EQ(built.At(0).m_TreeGroup, PARENT_SLAVE);
    EXPECT_EQ(built.At(0).m_hParent, nullptr);
    EXPECT_EQ(module->m_ModuleFlag, TYPE_MODULE_BEGIN);
    EXPECT_EQ(module->m_TreeGroup, PARENT_SLAVE);
    EXPECT_EQ(module->m_hParent, nullptr);
    EXPECT_EQ(built.At(2).m_TreeGroup, PARENT_MODULE);
    EXPECT_EQ(built.At(2).m_hParent, module);
    EXPECT_EQ(built.At(3).m_TreeGroup, PARENT_MODULE);
    EXPECT_EQ(built.At(3).m_hParent, module);
    EXPECT_EQ(built.At(4).m_hParent, module);  // the block end belongs to its block
    EXPECT_EQ(built.At(4).m_ModuleFlag, 0);
    EXPECT_EQ(built.At(5).m_TreeGroup, PARENT_SLAVE);
    EXPECT_EQ(built.At(5).m_hParent, nullptr);
}

TEST(Classification, BlockOpenersDoNotNestAndUnmatchedEndsKeepTheBlock) {
    SBuilt built;
    built.Build({"Module = \"M\" 0x10", "Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Unit_Diag_Area_End",
                 "Ext_User_Prm_Data_Const(0) = 1", "Value(1) = \"b\"", "EndModule", "Value(2) = \"c\""});
    ASSERT_EQ(built.database.GetCount(), 8);
    CKeyEntry* module = &built.At(0);
    EXPECT_EQ(built.At(1).m_ModuleFlag, TYPE_MODULE_BEGIN);
    EXPECT_EQ(built.At(1).m_hParent, module);
    EXPECT_EQ(built.At(2).m_hParent, module);
    // The area end does not match the open module, but still leaves the module
    // state, so the next B/S key is a slave key under the module.
    EXPECT_EQ(built.At(3).m_hParent, module);
    EXPECT_EQ(built.At(4).m_TreeGroup, PARENT_SLAVE);
    EXPECT_EQ(built.At(4).m_hParent, module);
    EXPECT_EQ(built.At(5).m_hParent, module);
    EXPECT_EQ(built.At(7).m_hParent, nullptr);
}

TEST(Classification, UnitDiagAreaEndClosesOnlyItsOwnBlock) {
    SBuilt built;
    built.Build({"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Unit_Diag_Area_End", "Value(1) = \"b\"", "PrmText = 1",
                 "Text(0) = \"t\"", "EndPrmText", "ExtUserPrmData = 1 \"n\"", "Unsigned8 1 0-3", "EndExtUserPrmData",
                 "Unsigned8 1 0-3"});
    ASSERT_EQ(built.database.GetCount(), 11);
    EXPECT_EQ(built.At(0).m_ModuleFlag, TYPE_MODULE_BEGIN);
    EXPECT_EQ(built.At(1).m_hParent, &built.At(0));
    EXPECT_EQ(built.At(2).m_hParent, &built.At(0));
    EXPECT_EQ(built.At(3).m_hParent, nullptr);
    EXPECT_EQ(built.At(5).m_hParent, &built.At(4));
    EXPECT_EQ(built.At(7).m_hParent, nullptr);
    EXPECT_EQ(built.At(8).m_hParent, &built.At(7));
    EXPECT_EQ(built.At(10).m_hParent, nullptr);
}

struct SReferenceCase {
    const char* line;
    bool insideModule;
    bool reference;
};

TEST(Classification, DigitKeywordsInsideAModuleAreModuleReferences) {
    const SReferenceCase cases[] = {
        {"1", true, true},   {"1a2", true, true}, {"0x1F", true, true}, {"70000", true, true},
        {"1k", true, false}, {"a1", true, false}, {"1", false, false},  {"1a2", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + (c.insideModule ? " inside" : " outside"));
        SBuilt built;
        if (c.insideModule)
            built.Build({"Module = \"M\" 0x10", c.line, "EndModule"});
        else
            built.Build({c.line});
        CKeyEntry& e = built.At(c.insideModule ? 1 : 0);
        if (c.reference) {
            EXPECT_EQ(e.m_Keyword, "Module_Reference");
            EXPECT_EQ(e.m_TypeFlag, TYPE_SIMPLE_UINT);
            EXPECT_EQ(e.m_TreeGroup, PARENT_MODULE);
            EXPECT_EQ(e.m_Ready[0], c.line);
            EXPECT_EQ(e.m_hParent, &built.At(0));
        } else {
            EXPECT_EQ(e.m_Keyword, c.line);
            EXPECT_EQ(e.m_TypeFlag, TYPE_USER_KEY);
            EXPECT_EQ(e.m_TreeGroup, 0);
        }
    }
}

struct SUserKeyCase {
    const char* registration;
    int type;
    int group;
    const char* range;
};

TEST(Classification, UserKeyRegistrationGivesTypeGroupAndRange) {
    const SUserKeyCase cases[] = {
        {"0;0;32", TYPE_SIMPLE_STRING, PARENT_GENERAL, "32"},
        {"1;1;0-100", TYPE_SIMPLE_UINT, PARENT_SLAVE, "0-100"},
        {"2;2;", TYPE_SIMPLE_BOOL, PARENT_MASTER, ""},
        {"3;3;UCHAR", TYPE_OCTET_STRING, PARENT_MODULE, "UCHAR"},
        {"7;9;x", TYPE_OCTET_STRING, PARENT_MODULE, "x"},
        {"abc;zz;r", TYPE_SIMPLE_STRING, PARENT_GENERAL, "r"},
        {"1;2;USHORT: 0..65535", TYPE_SIMPLE_UINT, PARENT_MASTER, "USHORT: 0..65535"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.registration);
        SBuilt built;
        built.profile.PutString("UserKeys", "MYKEY", c.registration);
        built.Build({"MyKey = 1"});
        ASSERT_EQ(built.database.GetCount(), 1);
        EXPECT_EQ(built.At(0).m_TypeFlag, c.type);
        EXPECT_EQ(built.At(0).m_TreeGroup, c.group);
        EXPECT_EQ(built.At(0).m_RangeLen, c.range);
        EXPECT_EQ(built.At(0).m_Ready[0], "1");
    }
}

TEST(Classification, UserKeyFieldsAreTakenOnlyWhenPresent) {
    SBuilt built;
    built.profile.PutString("UserKeys", "MYKEY", "1");
    built.Build({"MyKey = 1"});
    ASSERT_EQ(built.database.GetCount(), 1);
    EXPECT_EQ(built.At(0).m_TypeFlag, TYPE_SIMPLE_UINT);
    EXPECT_EQ(built.At(0).m_TreeGroup, 0);
    EXPECT_EQ(built.At(0).m_RangeLen, "");
}

TEST(Classification, EmptyRegistrationLeavesTheKeyUnknown) {
    SBuilt built;
    built.profile.PutString("UserKeys", "MYKEY", "");
    built.profile.PutString("UserKeys", "OTHER", "1;1;5");
    built.Build({"MyKey = 1"});
    EXPECT_EQ(built.At(0).m_TypeFlag, TYPE_USER_KEY);
    EXPECT_EQ(built.At(0).m_TreeGroup, 0);
    EXPECT_EQ(built.At(0).m_RangeLen, "");
}

TEST(Classification, CatalogueRowWinsOverARegistrationButKeepsItsRange) {
    SBuilt built;
    built.profile.PutString("UserKeys", "GSD_REVISION", "0;2;10");
    built.Build({"GSD_Revision = 5"});
    EXPECT_EQ(built.At(0).m_TypeFlag, TYPE_SIMPLE_UINT);
    EXPECT_EQ(built.At(0).m_TreeGroup, PARENT_GENERAL);
    EXPECT_EQ(built.At(0).m_RangeLen, "10");
}

TEST(Classification, ModesWithoutMeaningChangeNoEntry) {
    SBuilt built;
    built.Build({"Module = \"Name\" 0x11"});
    CKeyEntry& e = built.At(0);
    for (int mode : {4, 5, 6}) {
        SCOPED_TRACE(mode);
        built.context.m_pCurEntry = &e;
        built.context.m_pOpenBlock = nullptr;
        built.context.m_bInModule = 0;
        ProcessKey(built.context, "Module", mode, e.m_Value);
        EXPECT_EQ(e.m_Keyword, "Module");
        EXPECT_EQ(e.m_Value, "0x11");
        EXPECT_EQ(e.m_Ready[0], "Name");
        EXPECT_EQ(e.m_Ready[1], "0x11");
        EXPECT_EQ(e.m_TypeFlag, TYPE_SIMPLE_STRING);
        EXPECT_EQ(e.m_TreeGroup, PARENT_SLAVE);
        EXPECT_EQ(e.m_bSyntaxOk, 0);
        EXPECT_EQ(built.context.m_pOpenBlock, nullptr);
        EXPECT_EQ(built.context.m_bInModule, 0);
        EXPECT_EQ(built.context.m_nCheckMessages, 0);
    }
}

}  // namespace

// Keywords met again are answered from what their first meeting resolved;
// a keyword that differs from one met before in a single byte, of the same
// length and with the same first and last byte, must not take its answer.
TEST(Classification, AKeywordOneByteAwayFromAKnownOneStaysUnknown) {
    const std::pair<const char*, const char*> twins[] = {
        {"Bit", "Bxt"},
        {"Module", "Mxdule"},
        {"Module", "Modxle"},
        {"Vendor_Name", "Vxndor_Name"},
        {"Ext_User_Prm_Data_Ref", "Eyt_User_Prm_Data_Ref"},
        {"Ext_User_Prm_Data_Ref", "Ext_User_Prm_Xata_Ref"},
    };
    for (const auto& [known, twin] : twins) {
        SCOPED_TRACE(twin);
        SBuilt built;
        built.Build({std::string(known) + " = 1", std::string(twin) + " = 1", std::string(known) + " = 1",
                     std::string(twin) + " = 1"});
        for (int i = 0; i < built.database.GetCount(); ++i)
            EXPECT_EQ(built.At(i).m_Resolved.m_nRow >= 0, i % 2 == 0) << i;
    }
}
