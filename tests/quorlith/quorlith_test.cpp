#include "quorlith.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QuorlithArgs Point(int32_t method, double alphaMax, double z, double sigmaZ, double sigmaZe,
                   double n, double fc, double dz = 1.0) {
    QuorlithArgs a;
    a.betaMethod = method;
    a.gravity = 980;
    a.magnitude = 7.5;
    a.alphaMax = alphaMax;
    a.depth = z;
    a.sigmaZ = sigmaZ;
    a.sigmaZe = sigmaZe;
    a.nValue = n;
    a.finesContent = fc;
    a.thickness = dz;
    return a;
}

QuorlithArgs Judge(QuorlithArgs a) {
    CallQuorlith(Quorlith, a);
    return a;
}

// Relative closeness to four significant digits of the published figure.
void ExpectFourDigits(double expected, double actual, const char* what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * 5e-4 + 1e-12) << what;
}

TEST(Quorlith, WorkedExampleLiquefyingPointFormulaBeta) {
    QuorlithArgs r = Judge(Point(2, 350, 12, 220, 130, 15, 5));
    ExpectFourDigits(0.65, r.rn, "rn");
    ExpectFourDigits(0.82, r.rd, "rd");
    ExpectFourDigits(41.88, r.tauD, "tauD");
    ExpectFourDigits(0.3221, r.tauDRatio, "tauDRatio");
    ExpectFourDigits(0.8682, r.cn, "cn");
    ExpectFourDigits(13.02, r.n1, "n1");
    EXPECT_EQ(0.0, r.deltaNf);
    ExpectFourDigits(13.02, r.na, "na");
    ExpectFourDigits(0.1505, r.tauLRatio, "tauLRatio");
    ExpectFourDigits(19.56, r.tauL, "tauL");
    ExpectFourDigits(0.4671, r.fl, "fl");
    ExpectFourDigits(0.3259, r.beta, "beta");
    ExpectFourDigits(2.132, r.plShare, "plShare");
    ExpectFourDigits(2.377, r.gammaCy, "gammaCy");
    ExpectFourDigits(2.377, r.dcyShare, "dcyShare");
    EXPECT_EQ(1.0, r.ru);
    ExpectFourDigits(0.03412, r.gRatio, "gRatio");

    QuorlithArgs table = Judge(Point(1, 350, 12, 220, 130, 15, 5));
    EXPECT_EQ(0.05, table.beta);
    EXPECT_EQ(r.fl, table.fl);
}

TEST(Quorlith, WorkedExampleStablePoint) {
    QuorlithArgs r = Judge(Point(2, 200, 5, 90, 60, 10, 10));
    EXPECT_DOUBLE_EQ(6.0, r.deltaNf);
    ExpectFourDigits(18.78, r.na, "na");
    ExpectFourDigits(0.1841, r.tauDRatio, "tauDRatio");
    ExpectFourDigits(0.2085, r.tauLRatio, "tauLRatio");
    ExpectFourDigits(1.133, r.fl, "fl");
    EXPECT_EQ(1.0, r.beta);
    ExpectFourDigits(0.4177, r.ru, "ru");
    EXPECT_EQ(1.0, r.gRatio);
    EXPECT_EQ(0.0, r.gammaCy);
    EXPECT_EQ(0.0, r.plShare);
    EXPECT_EQ(0.0, r.dcyShare);
}

TEST(Quorlith, RdUsesTheSinglePrecisionDepthFactor) {
    QuorlithArgs r = Judge(Point(2, 200, 10, 180, 100, 10, 0));
    EXPECT_EQ(1.0 - 0.014999999664723873 * 10.0, r.rd);
    EXPECT_NE(1.0 - 0.015 * 10.0, r.rd);
}

TEST(Quorlith, FinesIncrementPiecesMeet) {
    struct Case {
        double fc, deltaNf;
    } cases[] = {{0, 0}, {5, 0}, {7.5, 3}, {10, 6}, {15, 7}, {20, 8}, {35, 9.5}};
    for (const Case& c : cases) {
        QuorlithArgs r = Judge(Point(2, 200, 5, 90, 60, 10, c.fc));
        EXPECT_NEAR(c.deltaNf, r.deltaNf, 1e-12) << "Fc " << c.fc;
    }
}

// The library's inputs for a wanted tau_d/sigma_z' and Na: sigma_z' = 98 makes
// Cn = 1, so Na = N with Fc = 0, and sigma_z follows from the ratio.
QuorlithArgs AtRatio(int32_t method, double ratio, double na, double z, double dz = 1.0) {
    double rd = 1.0 - static_cast<double>(0.015f) * z;
    double sigmaZ = ratio * 98.0 / (0.65 * (200.0 / 980.0) * rd);
    return Point(method, 200, z, sigmaZ, 98, na, 0, dz);
}

TEST(Quorlith, ResistanceIsLimitedToPointSix) {
    QuorlithArgs r = Judge(AtRatio(2, 0.5, 60, 5));
    EXPECT_EQ(0.6, r.tauLRatio);
    EXPECT_DOUBLE_EQ(0.6 / r.tauDRatio, r.fl);
}

TEST(Quorlith, StableBranchGivesFixedEffects) {
    // FL = 2 exactly: sigma_z = 0, tau_d chosen through alpha so that the ratio is half the
    // resistance.
    QuorlithArgs a = AtRatio(1, 0.1, 10, 5);
    QuorlithArgs probe = Judge(a);
    a.sigmaZ *= probe.fl / 2.0;
    QuorlithArgs r = Judge(a);
    ASSERT_NEAR(2.0, r.fl, 1e-12);
    EXPECT_NEAR(std::pow(0.5, 7), r.ru, 1e-12);
    EXPECT_EQ(1.0, r.gRatio);
    EXPECT_EQ(0.0, r.gammaCy);
    EXPECT_EQ(0.0, r.dcyShare);
    EXPECT_EQ(0.0, r.plShare);
    EXPECT_EQ(1.0, r.beta);
}

// Beta by the table and by the formulas at the class and segment boundaries,
// with FL below 0.5 (a stress ratio of 1.3 against at most 0.6).
TEST(Quorlith, BetaBoundaries) {
    struct Case {
        int32_t method;
        double z, na, beta;
    } cases[] = {
        {1, 10, 8, 0},
        {1, 10, 14, 0},
        {1, 10, 20, 0.05},
        {1, 10, 20.5, 0.1},
        {1, 10.5, 8, 0},
        {1, 10.5, 14, 0.05},
        {1, 10.5, 20, 0.1},
        {1, 10.5, 21, 0.2},
        {2, 9.9, 14, 0.0073214 * 14 + 0.00026786 * 196},
        {2, 9.9, 20, 0.49333 - 0.065 * 20 + 0.0029167 * 400},
        {2, 9.9, 24, 5.01 - 0.5075 * 24 + 0.01375 * 576},
        {2, 9.9, 30, 1.0},
        {2, 10, 8, 0.012292 * 8 + 0.00072917 * 64},
        {2, 10, 16, 0.15 - 0.023125 * 16 + 0.0028125 * 256},
        {2, 10, 16.5, 4.1 - 0.505 * 16.5 + 0.0175 * 16.5 * 16.5},
    };
    for (const Case& c : cases) {
        QuorlithArgs r = Judge(AtRatio(c.method, 1.3, c.na, c.z));
        ASSERT_LE(r.fl, 0.5) << "Na " << c.na;
        EXPECT_NEAR(c.beta, r.beta, 1e-9)
            << "method " << c.method << " z " << c.z << " Na " << c.na;
    }
}

TEST(Quorlith, BetaTableFlClassesAtFlExactlyOne) {
    QuorlithArgs a = AtRatio(1, 0.3, 10, 5);
    QuorlithArgs probe = Judge(a);
    a.sigmaZ *= probe.fl;  // FL becomes 1 (to rounding)
    QuorlithArgs r = Judge(a);
    ASSERT_NEAR(1.0, r.fl, 1e-12);
    if (r.fl <= 1.0) {
        EXPECT_EQ(0.1, r.beta);  // Na class 2, column 5
        EXPECT_EQ(1.0, r.ru);
        EXPECT_NEAR(0.0, r.plShare, 1e-9);
    }
}

TEST(Quorlith, OtherMethodsLeaveBetaAlone) {
    for (int32_t method : {0, 3}) {
        QuorlithArgs a = AtRatio(method, 0.5, 10, 5);
        a.beta = 0.777;
        QuorlithArgs r = Judge(a);
        EXPECT_LE(r.fl, 1.0);
        EXPECT_EQ(0.777, r.beta) << "method " << method;
    }
}

TEST(Quorlith, PlShareWeighsTheTopTwentyMetresOnly) {
    struct Case {
        double z;
        double weight;
    };
    for (Case c : {Case{0.5, 9.75}, Case{19.9, 0.05}, Case{20.0, 0.0}, Case{20.1, 0.0},
                   Case{24.0, 0.0}, Case{60.0, 0.0}}) {
        QuorlithArgs r = Judge(AtRatio(2, 0.5, 5, c.z));
        ASSERT_LT(r.fl, 1.0) << "z " << c.z;
        EXPECT_NEAR(c.weight * (1 - r.fl), r.plShare, 1e-12) << "z " << c.z;
        EXPECT_GE(r.plShare, 0.0) << "z " << c.z;
        EXPECT_GT(r.dcyShare, 0.0) << "Dcy is not depth-weighted, z " << c.z;
    }
}

TEST(Quorlith, StrainRowTenTakesTheLastRowWithoutInterpolation) {
    QuorlithArgs at48 = Judge(AtRatio(2, 0.48, 15, 5));
    QuorlithArgs at90 = Judge(AtRatio(2, 0.9, 15, 5));
    EXPECT_EQ(at48.gammaCy, at90.gammaCy);
    // Na 15 lies on the 2 % curve of row 10 exactly.
    EXPECT_NEAR(2.0, at48.gammaCy, 1e-9);
    // At 0.45 exactly, row 9: Na 15 again on the 2 % curve.
    QuorlithArgs at45 = Judge(AtRatio(2, 0.45, 15, 5));
    EXPECT_NEAR(0.45, at45.tauDRatio, 1e-12);
    EXPECT_NEAR(2.0, at45.gammaCy, 1e-6);
}

TEST(Quorlith, StrainExtrapolatesAndIsCappedAtEightPercent) {
    // Below W(1): extrapolated above 8 % and capped.
    QuorlithArgs loose = Judge(AtRatio(2, 0.5, 2, 5, 2.0));
    EXPECT_EQ(8.0, loose.gammaCy);
    EXPECT_EQ(16.0, loose.dcyShare);
    // Above W(5) of row 10 (25.4878) but still FL <= 1: below 0.5 %.
    QuorlithArgs dense = Judge(AtRatio(2, 0.9, 27, 5));
    ASSERT_LE(dense.fl, 1.0);
    EXPECT_LT(dense.gammaCy, 0.5);
    EXPECT_GT(dense.gammaCy, 0.0);
    EXPECT_GT(dense.gRatio, 0.0);
    EXPECT_LE(dense.gRatio, 1.0);
}

// The cases the method leaves open: the library returns ordinary numbers.
TEST(Quorlith, LowStressRatioLiquefactionGivesTheLargestStrain) {
    QuorlithArgs r = Judge(AtRatio(2, 0.04, 0.5, 5));
    ASSERT_LE(r.fl, 1.0);
    EXPECT_EQ(8.0, r.gammaCy);
    EXPECT_EQ(8.0, r.dcyShare);
    EXPECT_EQ(1.0, r.ru);
    EXPECT_TRUE(std::isfinite(r.gRatio));
    double expected = std::pow(10.0, std::log10(0.2) + (std::log10(0.01) - std::log10(0.2)) *
                                                           (std::log10(0.08) - std::log10(3e-3)) /
                                                           (std::log10(0.1) - std::log10(3e-3)));
    EXPECT_NEAR(expected, r.gRatio, 1e-12);
}

TEST(Quorlith, NegativeNaHasNoResistance) {
    QuorlithArgs r = Judge(AtRatio(2, 0.2, -3, 5));
    EXPECT_EQ(-3.0, r.na);
    EXPECT_EQ(0.0, r.tauLRatio);
    EXPECT_EQ(0.0, r.fl);
    EXPECT_EQ(0.0, r.beta);
    EXPECT_EQ(8.0, r.gammaCy);
    EXPECT_TRUE(std::isfinite(r.gRatio));
}

TEST(Quorlith, InvalidInputsGiveInfinitiesSilently) {
    QuorlithArgs r = Judge(Point(2, 200, 5, 90, 0, 10, 0));
    EXPECT_TRUE(std::isinf(r.tauDRatio));
    EXPECT_TRUE(std::isinf(r.cn));
}

}  // namespace
