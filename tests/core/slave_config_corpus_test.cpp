// Every real GSD file gives its module list and its configurations without a
// crash, and what a module shows in the list is what it brings when plugged.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/slave_config.h"
#include "corpus_files.h"
#include "model/key_database.h"
#include "model/text_lines.h"

namespace {

using taluna_test::CorpusFiles;
using taluna_test::ReadAll;

void ExpectRowsInFile(const std::vector<CCheckMessage>& rows, int lineCount) {
    for (const CCheckMessage& row : rows) {
        EXPECT_TRUE(row.m_nKind == CheckMessageKind::Error || row.m_nKind == CheckMessageKind::Warning);
        EXPECT_LT(row.m_nLine, lineCount) << row.m_Text;
        EXPECT_FALSE(row.m_Text.empty());
    }
}

TEST(SlaveConfigCorpus, EveryFileListsItsModulesAndPlugsEachOfThem) {
    const auto files = CorpusFiles();
    ASSERT_GT(files.size(), 500u);
    size_t modules = 0, withParameters = 0, slotDefaults = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::string bytes = ReadAll(path);
        const int lineCount = static_cast<int>(SplitLines(CutAtNul(bytes)).size());
        CKeyDatabase database;
        BuildConfigDatabase(bytes, database);
        const CSlaveDescription description(database);
        const CModuleList list = description.ListModules();
        ExpectRowsInFile(list.m_Findings, lineCount);
        ASSERT_EQ(static_cast<int>(list.m_Modules.size()), description.ModuleCount());

        const CSlaveConfig byDefault = description.Build({});
        EXPECT_TRUE(byDefault.m_RequestErrors.empty());
        ExpectRowsInFile(byDefault.m_Findings, lineCount);
        const std::vector<int> defaults = description.DefaultModules();
        ASSERT_EQ(byDefault.m_Plugged.size(), defaults.size());
        for (size_t slot = 0; slot < defaults.size(); ++slot)
            EXPECT_EQ(byDefault.m_Plugged[slot].m_nModule, defaults[slot]);
        if (description.IsModular()) {
            if (!defaults.empty()) ++slotDefaults;
            EXPECT_EQ(defaults.empty(), description.SlotOfPosition(0) == nullptr);
        } else {
            EXPECT_EQ(defaults.size(), description.ModuleCount() > 0 ? 1u : 0u);
        }
        EXPECT_EQ(byDefault.m_CfgSources.size(), byDefault.m_Cfg.size());
        EXPECT_EQ(byDefault.m_PrmSources.size(), byDefault.m_Prm.size());
        EXPECT_LE(byDefault.m_DevicePrm.size(), 244u);

        for (const CModuleListing& module : list.m_Modules) {
            EXPECT_LE(module.m_Prm.size(), 244u);
            EXPECT_GE(module.m_nInputs, 0);
            EXPECT_GE(module.m_nOutputs, 0);
            CSlaveConfigRequest request;
            request.m_Modules = {module.m_nIndex};
            const CSlaveConfig config = description.Build(request);
            ASSERT_TRUE(config.m_RequestErrors.empty());
            ASSERT_EQ(config.m_Plugged.size(), 1u);
            const CPluggedModule& plugged = config.m_Plugged[0];
            EXPECT_EQ(plugged.m_Name, module.m_Name);
            EXPECT_EQ(plugged.m_Cfg, module.m_Cfg);
            EXPECT_EQ(plugged.m_Prm, module.m_Prm);
            EXPECT_EQ(config.m_Cfg, module.m_Cfg);
            EXPECT_EQ(config.m_DevicePrm, byDefault.m_DevicePrm);
            EXPECT_EQ(config.m_Prm.size(), config.m_DevicePrm.size() + module.m_Prm.size());
            EXPECT_EQ(config.m_nInputs, module.m_nInputs);
            EXPECT_EQ(config.m_nOutputs, module.m_nOutputs);
            ++modules;
            if (!module.m_Prm.empty()) ++withParameters;
        }
    }
    // The files hold thousands of modules, many with parameter data.
    EXPECT_GT(modules, 10000u);
    EXPECT_GT(withParameters, 5000u);
    // The modular files with a SlotDefinition block get its default modules.
    EXPECT_GT(slotDefaults, 35u);
}

}  // namespace
