// The progress window over building and checking: opened and closed in pairs,
// at most one hundred steps a window, and the texts of the passes.

#include <gtest/gtest.h>

#include "check/check_gsd.h"
#include "model/text_lines.h"

namespace {

class CRecordingProgress : public IProgressSink {
public:
    void Begin(const std::string& caption) override {
        m_Events.push_back("begin " + caption);
        m_Steps.push_back(0);
        ++m_nOpen;
    }
    void SetStatus(const std::string& text) override {
        if (text.rfind("Keyword ", 0) != 0) m_Events.push_back("status " + text);
    }
    void StepIt() override {
        ASSERT_GT(m_nOpen, 0);
        ++m_Steps.back();
    }
    void End() override {
        m_Events.push_back("end");
        --m_nOpen;
    }
    std::vector<std::string> m_Events;
    std::vector<int> m_Steps;
    int m_nOpen = 0;
};

CVectorLineSource ManyKeys(int count) {
    std::vector<std::string> lines = {"#Profibus_DP"};
    for (int i = 0; i < count; ++i) lines.push_back("Vendor_Name = \"V" + std::to_string(i) + "\"");
    return CVectorLineSource(lines);
}

TEST(CheckProgress, BuildAndPassesEachShowAWindowOfAtMostOneHundredSteps) {
    for (const bool semantic : {true, false}) {
        CTalunaContext context;
        CRecordingProgress progress;
        context.m_pProgress = &progress;
        context.m_Settings.m_bNoSemanticCheck = semantic ? 0 : 1;
        const CVectorLineSource lines = ManyKeys(1000);
        CKeyDatabase database;
        RunCheckGsd(context, lines, database, &lines);
        EXPECT_EQ(progress.m_nOpen, 0);
        ASSERT_EQ(progress.m_Steps.size(), 2u);
        EXPECT_EQ(progress.m_Steps[0], 100);  // building: every line read
        EXPECT_EQ(progress.m_Steps[1], 100);  // the passes: every entry visited
        std::vector<std::string> expected = {"begin Building Database...", "end", "begin Processing GSD file...",
                                             "status Please wait while performing the syntax check..."};
        if (semantic) expected.push_back("status Please wait while performing the semantic check...");
        expected.push_back("end");
        EXPECT_EQ(progress.m_Events, expected);
    }
}

TEST(CheckProgress, EmptyDatabaseShowsNoWindowForThePasses) {
    CTalunaContext context;
    CRecordingProgress progress;
    context.m_pProgress = &progress;
    const CVectorLineSource lines({"; no header"});
    CKeyDatabase database;
    RunCheckGsd(context, lines, database, &lines);
    EXPECT_EQ(progress.m_Steps.size(), 1u);
    EXPECT_EQ(progress.m_nOpen, 0);
}

}  // namespace
