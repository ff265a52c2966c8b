#include "core/program_info.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramInfo, VersionFromProjectVersion) {
    EXPECT_FLOAT_EQ(2.0f, ProgramVersionFromText("2.0.0"));
    EXPECT_FLOAT_EQ(1.6f, ProgramVersionFromText("1.60"));
    EXPECT_FLOAT_EQ(1.6f, ProgramVersionFromText("1.6"));
    EXPECT_FLOAT_EQ(3.0f, ProgramVersionFromText("3"));
    EXPECT_FLOAT_EQ(0.0f, ProgramVersionFromText(""));
    EXPECT_FLOAT_EQ(0.0f, ProgramVersionFromText("v1"));
}

TEST(ProgramInfo, ThisBuildAndAccount) {
    ProgramInfo info = CurrentProgramInfo();
    EXPECT_FLOAT_EQ(ProgramVersionFromText(QM_PROGRAM_VERSION), info.programVersion);
    EXPECT_GT(info.programVersion, 0.0f);
    EXPECT_EQ(QM_COMPANY_NAME, info.companyName);
}

}  // namespace
