#include "core/quorlith_binding.h"

#include <gtest/gtest.h>

#include "core/program_folder.h"

TEST(QuorlithBinding, CallsTheLibraryBesideTheProgram) {
    QuorlithArgs a;
    a.betaMethod = 2;
    a.magnitude = 7.5;
    a.alphaMax = 350;
    a.depth = 12;
    a.sigmaZ = 220;
    a.sigmaZe = 130;
    a.nValue = 15;
    a.finesContent = 5;
    a.thickness = 1;
    std::string message;
    ASSERT_TRUE(ProgramQuorlithLibrary().Call(a, message)) << message;
    EXPECT_NEAR(0.4671, a.fl, 5e-4 * 0.4671);
    EXPECT_NEAR(2.377, a.dcyShare, 5e-4 * 2.377);
    EXPECT_EQ(ProgramFolder() + "/libquorlith.so", ProgramQuorlithLibrary().path());
}

TEST(QuorlithBinding, MissingLibraryIsAMessageNotACrash) {
    QuorlithLibrary library(ProgramFolder() + "/no-such-folder/libquorlith.so");
    QuorlithArgs a;
    std::string message;
    EXPECT_FALSE(library.Call(a, message));
    EXPECT_NE(std::string::npos, message.find("libquorlith.so")) << message;
    EXPECT_FALSE(library.Call(a, message));  // and again, still no crash
}

TEST(QuorlithBinding, LibraryWithoutTheFunctionIsAMessage) {
    QuorlithLibrary library("libm.so.6");
    QuorlithArgs a;
    std::string message;
    EXPECT_FALSE(library.Call(a, message));
    EXPECT_NE(std::string::npos, message.find("Quorlith")) << message;
}
