#include "core/program_info.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramInfo, VersionFromProjectVersion) {
    EXPECT_DOUBLE_EQ(2.0, ProgramVersionFromText("2.0.0"));
    EXPECT_DOUBLE_EQ(1.6, ProgramVersionFromText("1.60"));
    EXPECT_DOUBLE_EQ(1.6, ProgramVersionFromText("1.6"));
    EXPECT_DOUBLE_EQ(3.0, ProgramVersionFromText("3"));
    EXPECT_DOUBLE_EQ(0.0, ProgramVersionFromText(""));
    EXPECT_DOUBLE_EQ(0.0, ProgramVersionFromText("v1"));
}

TEST(ProgramInfo, ThisBuildAndAccount) {
    ProgramInfo info = CurrentProgramInfo();
    EXPECT_DOUBLE_EQ(ProgramVersionFromText(QM_PROGRAM_VERSION), info.programVersion);
    EXPECT_GT(info.programVersion, 0.0);
    EXPECT_EQ(QM_COMPANY_NAME, info.companyName);
}

}  // namespace
