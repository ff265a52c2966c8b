#include "quorlith.h"

#include <fenv.h>

#include <cmath>

namespace {

// Stress ratio tau_d / sigma_z' of the rows of StrainCurveNa.
constexpr double StressRatioAxis[10] = {0.05, 0.10, 0.15, 0.20, 0.25, 0.30, 0.35, 0.40, 0.45, 0.50};

// Cyclic shear strain (%) of the five strain curves.
constexpr double StrainLevels[5] = {8, 4, 2, 1, 0.5};

// Na at which each strain curve is reached, by stress ratio row.
constexpr double StrainCurveNa[10][5] = {
    {0, 0, 0, 0, 0},
    {3.625, 5.125, 6.625, 6.875, 7.75},
    {4.75, 6.875, 10.122, 12.3171, 13.5366},
    {5.125, 8.0, 12.3171, 15.8537, 17.8049},
    {5.25, 8.375, 13.5366, 17.8049, 20.7317},
    {5.125, 8.625, 14.2683, 19.1463, 22.561},
    {5.125, 8.625, 14.7561, 19.878, 23.9024},
    {5.0, 8.625, 15.0, 20.3659, 24.6341},
    {4.875, 8.5, 15.0, 20.7317, 25.2439},
    {4.75, 8.375, 15.0, 20.9756, 25.4878},
};

// Shear strain (fraction) and the shear modulus ratio G/G0 there.
constexpr double ModulusStrainAxis[9] = {1e-6, 1e-5, 1e-4, 3e-4, 1e-3, 3e-3, 0.1, 0.6, 1.0};
constexpr double ModulusRatioCurve[9] = {1.0, 1.0, 0.8, 0.7, 0.4, 0.2, 0.01, 0.002, 0.002};

// Beta of the 1988 edition by Na class (rows) and FL class with depth (columns):
// FL <= 0.5, 0.5 < FL <= 0.75, 0.75 < FL <= 1, each shallow (z <= 10) then deep.
constexpr double BetaTable[4][6] = {
    {0, 0, 0, 0.05, 0.05, 0.1},
    {0, 0.05, 0.05, 0.1, 0.1, 0.2},
    {0.05, 0.1, 0.1, 0.2, 0.2, 0.5},
    {0.1, 0.2, 0.2, 0.5, 0.5, 1.0},
};

// The depth factor of rd is a single-precision constant; widening it gives
// 0.014999999664723873, which the published results carry.
constexpr float kRdDepthFactor = 0.015f;

// Upper limit of the cyclic shear strain, %.
constexpr double kMaxStrain = 8.0;

// Work area: Na reached on each strain curve at the point's stress ratio.
double W[5];

// Floating-point exceptions never trap: invalid inputs give infinities or NaN.
__attribute__((constructor)) void MaskFloatingPointTraps() {
    fedisableexcept(FE_ALL_EXCEPT);
}

void CalcSafetyFactor(double g, double m, double alphaMax, double z, double sigmaZ, double sigmaZe,
                      double n, double fc, double* rn, double* rd, double* tauD, double* tauDRatio,
                      double* cn, double* n1, double* deltaNf, double* na, double* tauLRatio,
                      double* tauL, double* fl) {
    *rn = 0.1 * (m - 1.0);
    *rd = 1.0 - static_cast<double>(kRdDepthFactor) * z;
    *tauD = *rn * (alphaMax / g) * sigmaZ * *rd;
    *tauDRatio = *tauD / sigmaZe;
    *cn = std::sqrt(98.0 / sigmaZe);
    *n1 = *cn * n;
    if (fc <= 5)
        *deltaNf = 0;
    else if (fc <= 10)
        *deltaNf = 1.2 * fc - 6.0;
    else if (fc <= 20)
        *deltaNf = 0.2 * fc + 4.0;
    else
        *deltaNf = 0.1 * fc + 6.0;
    *na = *n1 + *deltaNf;
    // A negative Na has no resistance: it counts as 0 here rather than giving
    // the NaN of a negative square root, so the point is judged as liquefying.
    double rootNa = *na > 0 ? std::sqrt(*na) : 0.0;
    double ratio = 0.2565 * (16.0 * rootNa / 100.0 + std::pow(16.0 * rootNa / 80.7, 14));
    if (ratio > 0.6)
        ratio = 0.6;
    *tauLRatio = ratio;
    *tauL = ratio * sigmaZe;
    *fl = *tauLRatio / *tauDRatio;
}

void CalcReactionReduction(int32_t method, double z, double na, double fl, double* beta) {
    if (fl > 1.0) {
        *beta = 1.0;
        return;
    }
    if (method == 1) {
        int column = fl <= 0.5 ? 1 : fl <= 0.75 ? 3 : 5;
        if (z > 10)
            column += 1;
        int row = na <= 8 ? 1 : na <= 14 ? 2 : na <= 20 ? 3 : 4;
        *beta = BetaTable[row - 1][column - 1];
    } else if (method == 2) {
        // A negative Na (only from negative input) has no reaction left, as it
        // has no resistance: the formulas would turn negative below 0.
        if (na < 0)
            na = 0;
        double b;
        if (z < 10) {
            if (na <= 14)
                b = 0.0073214 * na + 0.00026786 * na * na;
            else if (na <= 20)
                b = 0.49333 - 0.065 * na + 0.0029167 * na * na;
            else if (na <= 24)
                b = 5.01 - 0.5075 * na + 0.01375 * na * na;
            else
                b = std::fmin(68.55 - 5.825 * na + 0.125 * na * na, 1.0);
        } else {
            if (na <= 8)
                b = 0.012292 * na + 0.00072917 * na * na;
            else if (na <= 16)
                b = 0.15 - 0.023125 * na + 0.0028125 * na * na;
            else
                b = std::fmin(4.1 - 0.505 * na + 0.0175 * na * na, 1.0);
        }
        *beta = b;
    }
}

void CalcLiquefactionEffects(double z, double dz, double na, double tauDRatio, double fl,
                             double* plShare, double* gammaCy, double* dcyShare, double* ru,
                             double* gRatio) {
    if (fl > 1.0) {
        *plShare = 0;
        *gammaCy = 0;
        *ru = std::pow(1.0 / fl, 7);
        *gRatio = 1.0;
        *dcyShare = dz * *gammaCy;
        return;
    }
    // The index weighs the top 20 m only: the weight falls from 10 at the surface to 0 at 20 m
    // and stays 0 below, so a deep liquefying point never lowers PL.
    double weight = z < 20.0 ? 10.0 - 0.5 * z : 0.0;
    *plShare = weight * (1.0 - fl) * dz;

    int i = 10;
    for (int k = 1; k <= 9; ++k) {
        if (tauDRatio <= StressRatioAxis[k - 1]) {
            i = k;
            break;
        }
    }
    for (int k = 1; k <= 5; ++k) {
        if (i == 1)
            W[k - 1] = StrainCurveNa[0][k - 1] * tauDRatio / StressRatioAxis[0];
        else if (i == 10)
            W[k - 1] = StrainCurveNa[9][k - 1];
        else
            W[k - 1] = StrainCurveNa[i - 2][k - 1] +
                       (StrainCurveNa[i - 1][k - 1] - StrainCurveNa[i - 2][k - 1]) *
                           (tauDRatio - StressRatioAxis[i - 2]) /
                           (StressRatioAxis[i - 1] - StressRatioAxis[i - 2]);
    }

    double strain;
    if (i == 1) {
        // At a stress ratio of 0.05 or less every curve sits at Na = 0, so the
        // strain cannot be read off; a point judged to liquefy there is given
        // the largest strain, the safe side for the displacement.
        strain = kMaxStrain;
    } else {
        int j = 5;
        for (int k = 1; k <= 4; ++k) {
            if (na <= W[k - 1]) {
                j = k;
                break;
            }
        }
        if (j == 1)
            j = 2;
        double logLow = std::log10(StrainLevels[j - 2]);
        double logHigh = std::log10(StrainLevels[j - 1]);
        double l = logLow + (na - W[j - 2]) * (logHigh - logLow) / (W[j - 1] - W[j - 2]);
        strain = std::pow(10.0, l);
        if (strain > kMaxStrain)
            strain = kMaxStrain;
    }
    *gammaCy = strain;
    *ru = 1.0;

    double g = strain / 100.0;
    int m = 9;
    for (int k = 1; k <= 8; ++k) {
        if (g <= ModulusStrainAxis[k - 1]) {
            m = k;
            break;
        }
    }
    if (m == 1)
        m = 2;
    double logG0 = std::log10(ModulusRatioCurve[m - 2]);
    double logG1 = std::log10(ModulusRatioCurve[m - 1]);
    double logX0 = std::log10(ModulusStrainAxis[m - 2]);
    double logX1 = std::log10(ModulusStrainAxis[m - 1]);
    *gRatio = std::pow(10.0, logG0 + (logG1 - logG0) * (std::log10(g) - logX0) / (logX1 - logX0));
    *dcyShare = dz * *gammaCy;
}

}  // namespace

extern "C" void Quorlith(int32_t* betaMethod, double* gravity, double* magnitude, double* alphaMax,
                         double* depth, double* sigmaZ, double* sigmaZe, double* nValue,
                         double* finesContent, double* rn, double* rd, double* tauD,
                         double* tauDRatio, double* cn, double* n1, double* deltaNf, double* na,
                         double* tauLRatio, double* tauL, double* fl, double* beta,
                         double* thickness, double* plShare, double* gammaCy, double* dcyShare,
                         double* ru, double* gRatio) {
    CalcSafetyFactor(*gravity, *magnitude, *alphaMax, *depth, *sigmaZ, *sigmaZe, *nValue,
                     *finesContent, rn, rd, tauD, tauDRatio, cn, n1, deltaNf, na, tauLRatio, tauL,
                     fl);
    CalcReactionReduction(*betaMethod, *depth, *na, *fl, beta);
    CalcLiquefactionEffects(*depth, *thickness, *na, *tauDRatio, *fl, plShare, gammaCy, dcyShare,
                            ru, gRatio);
}
