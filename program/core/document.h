#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/date.h"

struct BasicData {
    std::string ProjectName;
    std::string ShortName;
    std::string Site;
    Date SurveyFrom;
    Date SurveyTo;
    double DatumToGL = 0;          // m below the base point, drawn only
    double DatumToWaterLevel = 0;  // m below the base point, used by the calculation
    double DatumToDiluvium = 0;    // m below the base point, drawn only
    bool operator==(const BasicData&) const = default;
};

// The standard penetration of a blow count, cm; a blank N-value row holds it.
inline constexpr double kStandardPenetration = 30;

struct NPoint {
    double Depth = -1;  // m; -1 marks a blank row, 0 counts as no depth
    double N = 0;
    double Penetration = kStandardPenetration;  // cm
    double FC = 0;                              // %; used only when FC is entered on the rows
    bool operator==(const NPoint&) const = default;
};

// Number of soil constants of a layer (unit weight to Young's modulus).
inline constexpr int kSoilConstantCount = 14;

// The most rows of a table (N values, layers, soil names) that the 16-bit
// counts of the project file and the settings file can hold.
inline constexpr int32_t kMaxTableRows = 32767;

// One soil layer, also a row of the soil-name tables. The 14 constants: above 0
// typed by the user, 0 not given, below 0 a default from the soil-name tables
// stored negated.
struct LayerRecord {
    double Thickness = 0;
    std::string SoilName;
    int32_t SoilCode = 0;  // primary kind * 100 + modifier
    double gamma = 0;
    double FC = 0;
    double CC = 0;
    double Ip = 0;
    double qu = 0;
    double nu = 0;
    double Vs = 0;
    double Vp = 0;
    double Eo = 0;
    double beta = 0;
    double Cc = 0;
    double Pc = 0;
    double eo = 0;
    double Es = 0;

    // Constant by its item number 1..14 in the order above (1 = gamma, 14 = Es).
    double& Constant(int item);
    double Constant(int item) const;
    bool operator==(const LayerRecord&) const = default;
};

struct CalcConditions {
    double magnitude = 7.5;
    double surfaceAccel = 200.0;  // cm/s2
    double calcDepth = 20.0;      // m below the base point, 0 = none given
    int calcRange = 0;            // 1 = whole depth, 0 = leave out points above the water
    int excludeClay20 = 0;
    int excludeFines35 = 0;
    int excludeFinesPlastic = 0;
    double gravity = 980.0;  // cm/s2, set by every calculation
    int guideEdition = 1;    // 0 = 1988 (table), 1 = 2001 (formulas)
    std::array<int, 9> calcReserved{};
    bool operator==(const CalcConditions&) const = default;
};

struct CalcPoint {
    double N = 0;  // 0 = the point is not calculated
    double Depth = 0;
    double SigmaZ = 0;
    double SigmaZe = 0;
    double FC = 0;
    double CC = 0;
    double Ip = 0;
    bool operator==(const CalcPoint&) const = default;
};

struct CalcResult {
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
    double beta = 0;
    double plShare = 0;
    double gammaCy = 0;
    double dcyShare = 0;
    double ru = 0;
    double gRatio = 0;
    double PLTotal = 0;   // meaningful in the last element only
    double DcyTotal = 0;  // cm, meaningful in the last element only
    bool operator==(const CalcResult&) const = default;
};

// Which soil constants the printed boring log shows; index 0..13 is item 1..14
// in LayerRecord order.
using PrintItemFlags = std::array<int, kSoilConstantCount>;

// The open boring. Arrays are 0-based: row k of the user's table is element k-1.
struct Document {
    BasicData basicData;
    std::vector<NPoint> nPoints;
    std::vector<LayerRecord> layers;
    // Index 0 = soil symbol, 1..14 = the soil constants in LayerRecord order.
    std::array<int, 15> layerColumnUsed{};
    int nConvert30 = 0;   // 1 = the penetration column is in use
    int fcInputMode = 0;  // 0 = FC from the layers, 1 = FC on the N-value rows
    int nGraphMax = 50;
    CalcConditions calcConditions;
    std::vector<CalcPoint> calcPoints;
    std::vector<CalcResult> calcResults;
    PrintItemFlags prevPrintItems{};
    std::string currentFileName;
    std::string currentFolder;
    bool operator==(const Document&) const = default;
};

// Resets the document to a new, empty boring. Keeps the current folder, the
// gravity and the last print-item choice.
void NewDocument(Document& doc);
