#pragma once

// The liquefaction judgement of one calculation point. The library exports one
// C function; every argument is passed by reference to a variable the caller owns.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QUORLITH_EXPORT __attribute__((visibility("default")))

QUORLITH_EXPORT void Quorlith(int32_t* betaMethod, double* gravity, double* magnitude,
                              double* alphaMax, double* depth, double* sigmaZ, double* sigmaZe,
                              double* nValue, double* finesContent, double* rn, double* rd,
                              double* tauD, double* tauDRatio, double* cn, double* n1,
                              double* deltaNf, double* na, double* tauLRatio, double* tauL,
                              double* fl, double* beta, double* thickness, double* plShare,
                              double* gammaCy, double* dcyShare, double* ru, double* gRatio);

typedef void (*QuorlithFunction)(int32_t*, double*, double*, double*, double*, double*, double*,
                                 double*, double*, double*, double*, double*, double*, double*,
                                 double*, double*, double*, double*, double*, double*, double*,
                                 double*, double*, double*, double*, double*, double*);

#ifdef __cplusplus
}

// The 27 arguments in their order, as the caller keeps them.
struct QuorlithArgs {
    int32_t betaMethod = 2;  // 1 = table (1988 edition), 2 = formulas (2001 edition)
    double gravity = 980.0;
    double magnitude = 0;
    double alphaMax = 0;
    double depth = 0;
    double sigmaZ = 0;
    double sigmaZe = 0;
    double nValue = 0;
    double finesContent = 0;
    double rn = 0;
    double rd = 0;
    double tauD = 0;
    double tauDRatio = 0;
    double cn = 0;
    double n1 = 0;
    double deltaNf = 0;
    double na = 0;
    double tauLRatio = 0;
    double tauL = 0;
    double fl = 0;
    double beta = 0;  // in/out: kept when the method gives no value
    double thickness = 0;
    double plShare = 0;
    double gammaCy = 0;
    double dcyShare = 0;
    double ru = 0;
    double gRatio = 0;
};

// Calls the function with references to every field, in the library's order.
inline void CallQuorlith(QuorlithFunction f, QuorlithArgs& a) {
    f(&a.betaMethod, &a.gravity, &a.magnitude, &a.alphaMax, &a.depth, &a.sigmaZ, &a.sigmaZe,
      &a.nValue, &a.finesContent, &a.rn, &a.rd, &a.tauD, &a.tauDRatio, &a.cn, &a.n1, &a.deltaNf,
      &a.na, &a.tauLRatio, &a.tauL, &a.fl, &a.beta, &a.thickness, &a.plShare, &a.gammaCy,
      &a.dcyShare, &a.ru, &a.gRatio);
}
#endif
