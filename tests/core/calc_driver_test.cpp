#include "core/calc_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/program_folder.h"
#include "support/boring_builder.h"
#include "support/recording_sinks.h"

namespace {

const std::string kMsgNoData = "層データ・N値データが入力されていません";
const std::string kMsgBadDepth = "N値を入力する深度または孔内水位レベルが正しくありません";
const std::string kMsgCalcDepthZero = "計算深さが0ｍとなっています";
const std::string kMsgDepthOrder =
    "深度が間違っています\n(上層の深度が下層の深度より深くなっています)";
const std::string kMsgDeeperThanLayers =
    "N値入力による深度が層厚入力による深度より深くなっています\n"
    "(必ず層厚入力による深度の方を深くまで入力してください)";
const std::string kMsgNoFc = "全ての計算位置で細粒分含有率FCが入力されていません";
const std::string kMsgOverburden =
    "検討位置で土被り圧(鉛直応力)が0以下となっています（重量密度を正しく入力してください）";
const std::string kMsgNoEarthquake =
    "計算条件の地震マグニチュードあるいは地表面における設計用水平加速度が0となっています";
const std::string kMsgLayersTooDeep =
    "層厚入力による深度が327.67ｍを超えています\n(層厚の合計は327.67ｍまでとしてください)";
const std::string kMsgPointTooShallow =
    "N値を入力する深度が浅すぎます\n(深度は0.01ｍ以上を入力してください)";
const std::string kMsgEarthquakeRange =
    "計算条件の地震マグニチュードあるいは地表面における設計用水平加速度が範囲外です\n"
    "(マグニチュードは2～9.99、加速度は999cm/s2までとしてください)";
const std::string kMsgUnitWeightRange =
    "重量密度が範囲外です\n(重量密度は0.1～999.9kN/m3としてください)";
const std::string kMsgNotANumber =
    "計算結果が数値になりません\n(計算条件と土質定数を確認してください)";

// A plain sandy boring: 10 m of sand, water at 2 m, rows every metre.
BoringBuilder SandBoring() {
    BoringBuilder b;
    b.Layer(10, 18, 10).Water(2);
    for (int z = 1; z <= 9; ++z)
        b.Row(z, 8);
    return b;
}

std::vector<double> NValues(const Document& doc) {
    std::vector<double> n;
    for (const CalcPoint& p : doc.calcPoints)
        n.push_back(p.N);
    return n;
}

struct MessageCase {
    const char* name;
    BoringBuilder boring;
    std::string message;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class CalcMessages : public testing::TestWithParam<MessageCase> {};

TEST_P(CalcMessages, FailingCheckClearsTheResultsAndSaysWhy) {
    Document doc = GetParam().boring.doc;
    // Results of an earlier run must not survive a failing one.
    doc.calcPoints.assign(3, CalcPoint{5, 1});
    doc.calcResults.assign(3, CalcResult{});
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink);
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ(GetParam().message, sink.messages[0]);
    EXPECT_TRUE(doc.calcPoints.empty());
    EXPECT_TRUE(doc.calcResults.empty());
    EXPECT_EQ(980.0, doc.calcConditions.gravity);
}

BoringBuilder With(BoringBuilder b, void (*change)(BoringBuilder&)) {
    change(b);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CalcMessages,
    testing::Values(
        MessageCase{"NoLayers", BoringBuilder().Row(1, 5), kMsgNoData},
        MessageCase{"NoRows", BoringBuilder().Layer(5, 18, 10), kMsgNoData},
        MessageCase{"OnlyBlankRows", BoringBuilder().Layer(5, 18, 10).Row(-1, 0).Row(0, 3),
                    kMsgBadDepth},
        MessageCase{"CalcDepthCutsAfterFirstRow",
                    With(BoringBuilder().Layer(12, 18, 10).Row(1, 5).Row(11, 5),
                         [](BoringBuilder& b) { b.doc.calcConditions.calcDepth = 10; }),
                    kMsgBadDepth},
        MessageCase{
            "CalcDepthZero",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.calcDepth = 0; }),
            kMsgCalcDepthZero},
        MessageCase{"DepthsOutOfOrder", BoringBuilder().Layer(5, 18, 10).Row(2, 5).Row(1, 5),
                    kMsgDepthOrder},
        MessageCase{"DepthsOutOfOrderAcrossBlankRows",
                    BoringBuilder().Layer(5, 18, 10).Row(2, 5).Row(-1, 0).Row(0, 0).Row(1.5, 5),
                    kMsgDepthOrder},
        MessageCase{"RowBelowTheLayers", BoringBuilder().Layer(5, 18, 10).Row(1, 5).Row(5.01, 5),
                    kMsgDeeperThanLayers},
        MessageCase{"NoFinesContentAnywhere", BoringBuilder().Layer(5, 18, 0).Row(1, 5).Row(2, 5),
                    kMsgNoFc},
        MessageCase{"NoFinesContentOnAnyRow",
                    With(BoringBuilder().Layer(5, 18, 10).Row(1, 5).Row(2, 5),
                         [](BoringBuilder& b) { b.doc.fcInputMode = 1; }),
                    kMsgNoFc},
        MessageCase{"ZeroUnitWeight", BoringBuilder().Layer(5, 0, 10).Row(1, 5), kMsgOverburden},
        MessageCase{"EffectiveOverburdenNotAboveZero", BoringBuilder().Layer(5, 9.8, 10).Row(1, 5),
                    kMsgOverburden},
        MessageCase{
            "ZeroMagnitude",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.magnitude = 0; }),
            kMsgNoEarthquake},
        MessageCase{
            "ZeroAcceleration",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.surfaceAccel = 0; }),
            kMsgNoEarthquake},
        MessageCase{"LayersDeeperThan32767cm",
                    BoringBuilder().Layer(300, 18, 10).Layer(27.68, 18, 10).Row(1, 5),
                    kMsgLayersTooDeep},
        MessageCase{"PointAtCentimetreZero", BoringBuilder().Layer(5, 18, 10).Row(0.005, 5),
                    kMsgPointTooShallow},
        MessageCase{"PointAboveTheBasePoint",
                    BoringBuilder().Layer(5, 18, 10).Row(-0.5, 5).Row(1, 5), kMsgPointTooShallow},
        // Conditions a file may bring that no box allows.
        MessageCase{
            "HugeMagnitude",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.magnitude = 1e308; }),
            kMsgEarthquakeRange},
        MessageCase{
            "HugeAcceleration",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.surfaceAccel = 1e308; }),
            kMsgEarthquakeRange},
        MessageCase{
            "MagnitudeBelowTwo",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.magnitude = 1.9; }),
            kMsgEarthquakeRange},
        MessageCase{
            "MagnitudeTen",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.magnitude = 10; }),
            kMsgEarthquakeRange},
        MessageCase{
            "NegativeAcceleration",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.surfaceAccel = -200; }),
            kMsgEarthquakeRange},
        MessageCase{
            "AccelerationAbove999",
            With(SandBoring(), [](BoringBuilder& b) { b.doc.calcConditions.surfaceAccel = 1000; }),
            kMsgEarthquakeRange},
        MessageCase{"TinyUnitWeight", BoringBuilder().Layer(5, 1e-300, 10).Row(1, 5),
                    kMsgUnitWeightRange},
        MessageCase{"TinyDefaultUnitWeight", BoringBuilder().Layer(5, -1e-300, 10).Row(1, 5),
                    kMsgUnitWeightRange},
        MessageCase{"HugeUnitWeight",
                    BoringBuilder().Layer(1, 18, 10).Layer(4, 1e308, 10).Row(1, 5),
                    kMsgUnitWeightRange},
        MessageCase{"NValueWithoutAFiniteResult", BoringBuilder().Layer(5, 18, 10).Row(3, 1e308),
                    kMsgNotANumber}),
    [](const testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

// The limits of the boxes themselves are calculated, and every result is a
// number.
TEST(CalcLiquefaction, ConditionsAtTheLimitsOfTheBoxesAreCalculated) {
    struct Case {
        double magnitude, accel, gamma;
    } cases[] = {
        {2, 999, 18}, {9.99, 1, 18}, {7.5, 200, 999.9}, {7.5, 200, -999.9}, {7.5, 200, 0.1}};
    for (const Case& c : cases) {
        Document doc = BoringBuilder().Layer(1, 18, 10).Layer(9, c.gamma, 10).Row(3, 8).doc;
        doc.calcConditions.magnitude = c.magnitude;
        doc.calcConditions.surfaceAccel = c.accel;
        doc.basicData.DatumToWaterLevel = 20;  // no effective weight lost to the water
        RecordingCalcMessageSink sink;
        CalcLiquefaction(doc, sink);
        EXPECT_TRUE(sink.messages.empty()) << c.magnitude << " " << c.accel << " " << c.gamma;
        ASSERT_EQ(doc.calcResults.size(), 1u);
        EXPECT_TRUE(std::isfinite(doc.calcResults[0].fl));
        EXPECT_TRUE(std::isfinite(doc.calcResults[0].tauD));
    }
}

TEST(CalcLiquefaction, MissingLibraryGivesItsMessageAndNoResults) {
    Document doc = SandBoring().doc;
    QuorlithLibrary missing(ProgramFolder() + "/no-such-folder/libquorlith.so");
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink, missing);
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_NE(std::string::npos, sink.messages[0].find("libquorlith.so"));
    EXPECT_TRUE(doc.calcPoints.empty());
    EXPECT_TRUE(doc.calcResults.empty());
}

TEST(CalcLiquefaction, SuccessLeavesTheLabelAlone) {
    Document doc = SandBoring().doc;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(9u, doc.calcPoints.size());
    EXPECT_EQ(9u, doc.calcResults.size());
}

TEST(CalcLiquefaction, LayerTableOfExactly32767cmIsCalculated) {
    Document doc = BoringBuilder().Layer(300, 18, 10).Layer(27.67, 18, 10).Row(327.67, 30).doc;
    doc.calcConditions.calcDepth = 400;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink);
    EXPECT_TRUE(sink.messages.empty()) << sink.messages[0];
    ASSERT_EQ(1u, doc.calcPoints.size());
    EXPECT_NEAR(327.67 * 18, doc.calcPoints[0].SigmaZ, 1e-6);
}

TEST(CalcLiquefaction, DepthJustBelowHalfACentimetreIsTheFirstCentimetre) {
    Document doc = BoringBuilder().Layer(5, 18, 10).Row(0.006, 5).doc;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_NEAR(0.18, doc.calcPoints[0].SigmaZ, 1e-12);
}

// Centimetre k adds its unit weight to the sums by the rules above and below the
// water level; the water depth is not rounded to whole centimetres.
struct OverburdenCase {
    double water;
    double gamma;
    double depth;
    double sigmaZ;
    double sigmaZe;
};

void PrintTo(const OverburdenCase& c, std::ostream* os) {
    *os << "water " << c.water << " gamma " << c.gamma << " depth " << c.depth;
}

class Overburden : public testing::TestWithParam<OverburdenCase> {};

TEST_P(Overburden, FollowsTheWaterLevelRules) {
    const OverburdenCase& c = GetParam();
    Document doc = BoringBuilder().Layer(10, c.gamma, 10).Water(c.water).Row(c.depth, 40).doc;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink);
    ASSERT_TRUE(sink.messages.empty()) << sink.messages[0];
    EXPECT_NEAR(c.sigmaZ, doc.calcPoints[0].SigmaZ, 1e-9);
    EXPECT_NEAR(c.sigmaZe, doc.calcPoints[0].SigmaZe, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Overburden,
    testing::Values(
        // Water at 1.5 m: centimetres 1..150 above it, 151 on below.
        OverburdenCase{1.5, 18, 1.5, 27.0, 27.0}, OverburdenCase{1.5, 18, 1.51, 27.18, 27.082},
        OverburdenCase{1.5, 18, 2.0, 36.0, 27.0 + 50 * 8.2 / 100},
        // A default (negative) unit weight: 16 above the water, 18 and 8.2 below.
        OverburdenCase{1.5, -18, 1.5, 24.0, 24.0},
        OverburdenCase{1.5, -18, 2.0, 24.0 + 9.0, 24.0 + 4.1},
        // The water level in the middle of centimetre 124.
        OverburdenCase{1.234, 18, 1.24, 124 * 18 / 100.0, (123 * 18 + 8.2) / 100},
        // Water at the base point: everything is below it.
        OverburdenCase{0, 20, 3, 60.0, 3 * 10.2},
        // Water levels whose binary product with 100 falls just short of the
        // whole centimetre (229.99999999999997 for 2.3 m): that centimetre
        // still lies at the water level.
        OverburdenCase{2.3, 18, 2.4, 43.2, (230 * 18 + 10 * 8.2) / 100},
        OverburdenCase{1.15, -18, 1.2, (115 * 16 + 5 * 18) / 100.0, (115 * 16 + 5 * 8.2) / 100},
        OverburdenCase{4.1, 18, 4.1, 4.1 * 18, 4.1 * 18}));

TEST(CalcLiquefaction, PointOnALayerBoundaryTakesTheUpperLayer) {
    BoringBuilder b;
    b.Layer(2, 18, 12, 5, 7).Layer(2, 19, 40, 25, 30).Row(2, 10).Row(2.01, 10);
    b.doc.calcConditions.excludeFinesPlastic = 1;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(b.doc, sink);
    ASSERT_EQ(2u, b.doc.calcPoints.size());
    EXPECT_EQ(12, b.doc.calcPoints[0].FC);
    EXPECT_NEAR(36.0, b.doc.calcPoints[0].SigmaZ, 1e-9);
    EXPECT_EQ(40, b.doc.calcPoints[1].FC);
    EXPECT_EQ(25, b.doc.calcPoints[1].CC);
    EXPECT_EQ(30, b.doc.calcPoints[1].Ip);
    EXPECT_EQ(0, b.doc.calcPoints[1].N);
}

TEST(CalcLiquefaction, LayerBottomsRoundEachPartialSumHalfToEven) {
    // 12.5 cm twice: bottoms at 12 and 24 cm, not 25.
    BoringBuilder b;
    b.Layer(0.125, 18, 10).Layer(0.125, 18, 40).Row(0.12, 5).Row(0.13, 5).Row(0.24, 5);
    RecordingCalcMessageSink sink;
    CalcLiquefaction(b.doc, sink);
    ASSERT_TRUE(sink.messages.empty());
    EXPECT_EQ(10, b.doc.calcPoints[0].FC);
    EXPECT_EQ(40, b.doc.calcPoints[1].FC);

    b.Row(0.25, 5);
    CalcLiquefaction(b.doc, sink);
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ(kMsgDeeperThanLayers, sink.messages[0]);
}

// Depths and thicknesses are typed in metres with decimals; their centimetres
// are those of the decimal value, not of its nearest binary fraction (100 x
// 1.1 is 110.00000000000001, 100 x 1.015 is 101.49999999999999).
TEST(CalcLiquefaction, TypedDecimalsGiveExactCentimetres) {
    // A row exactly at the bottom of the layer table is inside it.
    for (double depth : {1.1, 2.2, 4.15, 19.15}) {
        BoringBuilder b;
        b.Layer(depth, 18, 10).Water(0).Row(depth, 5);
        RecordingCalcMessageSink sink;
        CalcLiquefaction(b.doc, sink);
        EXPECT_TRUE(sink.messages.empty()) << depth << " m: " << sink.messages[0];
        ASSERT_EQ(1u, b.doc.calcPoints.size());
        EXPECT_NEAR(depth * 18, b.doc.calcPoints[0].SigmaZ, 1e-9);
    }

    // 101.5 cm goes to the even 102, both for a layer bottom and for a point.
    BoringBuilder b;
    b.Layer(1.015, 18, 10).Layer(2, 18, 40).Water(0).Row(1.02, 5);
    RecordingCalcMessageSink sink;
    CalcLiquefaction(b.doc, sink);
    ASSERT_TRUE(sink.messages.empty());
    EXPECT_EQ(10, b.doc.calcPoints[0].FC) << "the first layer ends at 102 cm";

    BoringBuilder c;
    c.Layer(1.01, 18, 10).Layer(2, 18, 40).Water(0).Row(1.015, 5);
    CalcLiquefaction(c.doc, sink);
    ASSERT_TRUE(sink.messages.empty());
    EXPECT_EQ(40, c.doc.calcPoints[0].FC) << "the point stands for centimetre 102";
    EXPECT_NEAR(1.02 * 18, c.doc.calcPoints[0].SigmaZ, 1e-9);
}

// A plain point at 1 m, and one at 3 m in a layer with the given FC, CC and Ip
// (or FC on the row).
struct ExclusionCase {
    const char* name;
    int fcInputMode;
    double fc;  // of the layer, or of the row with fcInputMode 1
    double cc;
    double ip;
    int clay20, fines35, finesPlastic;
    bool calculated;
};

void PrintTo(const ExclusionCase& c, std::ostream* os) {
    *os << c.name;
}

class Exclusion : public testing::TestWithParam<ExclusionCase> {};

TEST_P(Exclusion, LeavesOutThePointOrNot) {
    const ExclusionCase& c = GetParam();
    BoringBuilder b;
    b.Layer(2, 18, 10).Layer(3, 18, c.fcInputMode == 1 ? 0 : c.fc, c.cc, c.ip).Row(1, 10, 10);
    b.Row(3, 10, c.fcInputMode == 1 ? c.fc : 0);
    b.doc.fcInputMode = c.fcInputMode;
    b.doc.calcConditions.excludeClay20 = c.clay20;
    b.doc.calcConditions.excludeFines35 = c.fines35;
    b.doc.calcConditions.excludeFinesPlastic = c.finesPlastic;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(b.doc, sink);
    ASSERT_TRUE(sink.messages.empty()) << sink.messages[0];
    ASSERT_EQ(2u, b.doc.calcPoints.size());
    EXPECT_EQ(c.calculated ? 10 : 0, b.doc.calcPoints[1].N);
    EXPECT_EQ(std::abs(c.fc), b.doc.calcPoints[1].FC);
    EXPECT_EQ(std::abs(c.cc), b.doc.calcPoints[1].CC);
    EXPECT_EQ(std::abs(c.ip), b.doc.calcPoints[1].Ip);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Exclusion,
    testing::Values(
        // FC on the rows: the limits themselves stay in.
        ExclusionCase{"RowsFc35", 1, 35, 0, 0, 0, 1, 0, true},
        ExclusionCase{"RowsFcAbove35", 1, 35.1, 0, 0, 0, 1, 0, false},
        ExclusionCase{"RowsCc10", 1, 40, 10, 0, 0, 0, 1, true},
        ExclusionCase{"RowsCcAbove10", 1, 40, 10.1, 0, 0, 0, 1, false},
        ExclusionCase{"RowsIp15", 1, 40, 0, 15, 0, 0, 1, true},
        ExclusionCase{"RowsIpAbove15", 1, 40, 0, 15.1, 0, 0, 1, false},
        ExclusionCase{"RowsPlasticOnlyAbove35", 1, 35, 30, 30, 0, 0, 1, true},
        // FC from the layers: the limits themselves are left out.
        ExclusionCase{"LayersFc35", 0, 35, 0, 0, 0, 1, 0, false},
        ExclusionCase{"LayersFcBelow35", 0, 34.9, 0, 0, 0, 1, 0, true},
        ExclusionCase{"LayersCc10", 0, 35, 10, 0, 0, 0, 1, false},
        ExclusionCase{"LayersCcBelow10", 0, 35, 9.9, 0, 0, 0, 1, true},
        ExclusionCase{"LayersIp15", 0, 35, 0, 15, 0, 0, 1, false},
        ExclusionCase{"LayersDefaultsReadAsMagnitudes", 0, -40, -12, 0, 0, 0, 1, false},
        ExclusionCase{"LayersSwitchOff", 0, 90, 90, 90, 0, 0, 0, true},
        // Clay content of 20 % or more, whichever the FC source.
        ExclusionCase{"Clay20Layers", 0, 10, 20, 0, 1, 0, 0, false},
        ExclusionCase{"Clay20Rows", 1, 10, 20, 0, 1, 0, 0, false},
        ExclusionCase{"ClayBelow20", 0, 10, 19.9, 0, 1, 0, 0, true},
        ExclusionCase{"Clay20DefaultReadAsMagnitude", 0, 10, -20, 0, 1, 0, 0, false}),
    [](const testing::TestParamInfo<ExclusionCase>& info) { return std::string(info.param.name); });

TEST(CalcLiquefaction, EveryPointCarriesItsLayersClayAndPlasticity) {
    BoringBuilder b;
    b.Layer(1.5, 18, 40, 8, 9).Layer(5, -18, 10, -25, -28).Row(1, 10).Row(2, 10).Row(3, 12);
    RecordingCalcMessageSink sink;
    struct Switches {
        int clay20, fines35, finesPlastic;
    };
    // No switch, each switch alone, and both fines switches (only a hand-edited
    // file can set both): the values never depend on which rule ran.
    for (Switches s : {Switches{0, 0, 0}, Switches{1, 0, 0}, Switches{0, 1, 0}, Switches{0, 0, 1},
                       Switches{0, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << s.clay20 << s.fines35 << s.finesPlastic);
        b.doc.calcConditions.excludeClay20 = s.clay20;
        b.doc.calcConditions.excludeFines35 = s.fines35;
        b.doc.calcConditions.excludeFinesPlastic = s.finesPlastic;
        CalcLiquefaction(b.doc, sink);
        ASSERT_EQ(3u, b.doc.calcPoints.size());
        EXPECT_EQ(8, b.doc.calcPoints[0].CC);
        EXPECT_EQ(9, b.doc.calcPoints[0].Ip);
        // Defaults taken from the soil-name tables are stored negated.
        for (std::size_t p : {1u, 2u}) {
            EXPECT_EQ(25, b.doc.calcPoints[p].CC);
            EXPECT_EQ(28, b.doc.calcPoints[p].Ip);
        }
    }
    b.doc.calcConditions.excludeFines35 = 1;
    b.doc.calcConditions.excludeFinesPlastic = 1;
    CalcLiquefaction(b.doc, sink);
    EXPECT_EQ(0, b.doc.calcPoints[0].N) << "the 35 % rule wins";
    EXPECT_EQ(10, b.doc.calcPoints[1].N);
    b.doc.calcConditions.excludeClay20 = 1;
    CalcLiquefaction(b.doc, sink);
    EXPECT_EQ(0, b.doc.calcPoints[1].N);
    EXPECT_EQ(0, b.doc.calcPoints[2].N);
}

TEST(CalcLiquefaction, CalculationDepthCutsTheRows) {
    struct Case {
        std::vector<double> depths;
        double calcDepth;
        size_t points;
    };
    for (const Case& c : {Case{{1, 2, 3, 11}, 10, 3}, Case{{1, -1, 11}, 10, 2},
                          Case{{1, 2, 3, 11}, 20, 4}, Case{{1, 2, 10}, 10, 3}}) {
        BoringBuilder b;
        b.Layer(12, 18, 10);
        for (double z : c.depths)
            b.Row(z, 10);
        b.doc.calcConditions.calcDepth = c.calcDepth;
        RecordingCalcMessageSink sink;
        CalcLiquefaction(b.doc, sink);
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(c.points, b.doc.calcPoints.size()) << "calculation depth " << c.calcDepth;
    }
}

TEST(CalcLiquefaction, WaterLevelRangeLeavesOutPointsAboveIt) {
    Document doc = SandBoring().doc;  // water at 2 m
    doc.calcConditions.calcRange = 0;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink);
    EXPECT_EQ((std::vector<double>{0, 8, 8, 8, 8, 8, 8, 8, 8}), NValues(doc));

    // Every point above the water: the points stay, uncalculated, and the
    // label says so.
    doc.basicData.DatumToWaterLevel = 9.5;
    CalcLiquefaction(doc, sink);
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ(kMsgBadDepth, sink.messages[0]);
    EXPECT_EQ(std::vector<double>(9, 0.0), NValues(doc));
    ASSERT_EQ(9u, doc.calcResults.size());
    EXPECT_EQ(0, doc.calcResults[8].PLTotal);
    EXPECT_EQ(0, doc.calcResults[8].DcyTotal);
}

TEST(CalcLiquefaction, BlankRowBesideRowsWithoutFinesContentCalculatesNothing) {
    // A blank row is not a row without FC, so the run ends as one that
    // calculated no point: the points stay.
    Document doc = BoringBuilder().Layer(5, 18, 0).Row(1, 5).Row(-1, 0).Row(2, 5).doc;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(doc, sink);
    EXPECT_EQ(std::vector<std::string>{kMsgBadDepth}, sink.messages);
    EXPECT_EQ(std::vector<double>(3, 0.0), NValues(doc));
}

TEST(CalcLiquefaction, FailureAfterSomeLibraryCallsClearsEverything) {
    // Light ground below the water: the effective overburden falls to 0 at
    // 9.5 m, after the points at 1 and 5 m have been judged.
    BoringBuilder b;
    b.Layer(2, 18, 10).Layer(10, 5, 10).Water(2).Row(1, 5).Row(5, 5).Row(10, 5);
    RecordingCalcMessageSink sink;
    CalcLiquefaction(b.doc, sink);
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ(kMsgOverburden, sink.messages[0]);
    EXPECT_TRUE(b.doc.calcPoints.empty());
    EXPECT_TRUE(b.doc.calcResults.empty());
}

// The driver hands the library the point as it prepared it: the results must
// be the library's for exactly those inputs.
TEST(CalcLiquefaction, PassesEachPointToTheLibrary) {
    for (int edition : {0, 1}) {
        BoringBuilder b;
        b.Layer(3, 17, 10).Layer(12, -19, 25).Water(1.5).Row(2, 6).Row(-1, 0).Row(4, 12).Row(12, 9);
        b.doc.calcConditions.guideEdition = edition;
        b.doc.calcConditions.magnitude = 7.5;
        b.doc.calcConditions.surfaceAccel = 350;
        b.doc.calcConditions.gravity = 0;  // set again by the run
        RecordingCalcMessageSink sink;
        CalcLiquefaction(b.doc, sink);
        ASSERT_TRUE(sink.messages.empty());
        ASSERT_EQ(4u, b.doc.calcPoints.size());

        struct Expected {
            size_t index;
            double sigmaZ, sigmaZe, fc, dz;
        };
        // 17 per cm to 1.5 m, then 17 (7.2 effective) to 3 m, then 19 (9.2).
        const Expected expected[] = {
            {0, (150 * 17 + 50 * 17) / 100.0, (150 * 17 + 50 * 7.2) / 100.0, 10, 2},
            {2, (150 * 17 + 150 * 17 + 100 * 19) / 100.0,
             (150 * 17 + 150 * 7.2 + 100 * 9.2) / 100.0, 25, 2},
            {3, (150 * 17 + 150 * 17 + 900 * 19) / 100.0,
             (150 * 17 + 150 * 7.2 + 900 * 9.2) / 100.0, 25, 8},
        };
        double plTotal = 0, dcyTotal = 0;
        for (const Expected& e : expected) {
            const CalcPoint& p = b.doc.calcPoints[e.index];
            const CalcResult& r = b.doc.calcResults[e.index];
            EXPECT_NEAR(e.sigmaZ, p.SigmaZ, 1e-9);
            EXPECT_NEAR(e.sigmaZe, p.SigmaZe, 1e-9);
            EXPECT_EQ(e.fc, p.FC);

            QuorlithArgs a;
            a.betaMethod = edition + 1;
            a.gravity = 980;
            a.magnitude = 7.5;
            a.alphaMax = 350;
            a.depth = p.Depth;
            a.sigmaZ = e.sigmaZ;
            a.sigmaZe = e.sigmaZe;
            a.nValue = p.N;
            a.finesContent = e.fc;
            a.thickness = e.dz;
            std::string message;
            ASSERT_TRUE(ProgramQuorlithLibrary().Call(a, message));
            const double expectedOut[] = {a.rn, a.rd,      a.tauD,    a.tauDRatio, a.cn,
                                          a.n1, a.deltaNf, a.na,      a.tauLRatio, a.tauL,
                                          a.fl, a.beta,    a.plShare, a.gammaCy,   a.dcyShare,
                                          a.ru, a.gRatio};
            const double actualOut[] = {r.rn, r.rd,      r.tauD,    r.tauDRatio, r.cn,
                                        r.n1, r.deltaNf, r.na,      r.tauLRatio, r.tauL,
                                        r.fl, r.beta,    r.plShare, r.gammaCy,   r.dcyShare,
                                        r.ru, r.gRatio};
            for (size_t i = 0; i < std::size(expectedOut); ++i)
                EXPECT_NEAR(expectedOut[i], actualOut[i], 1e-9 * (1 + std::abs(expectedOut[i])))
                    << "point " << e.index << " output " << i << " edition " << edition;
            plTotal += a.plShare;
            dcyTotal += a.dcyShare;
        }
        EXPECT_EQ(0, b.doc.calcPoints[1].N);
        EXPECT_EQ(980.0, b.doc.calcConditions.gravity);
        EXPECT_NEAR(plTotal, b.doc.calcResults[3].PLTotal, 1e-9);
        EXPECT_NEAR(dcyTotal, b.doc.calcResults[3].DcyTotal, 1e-9);
        EXPECT_GT(b.doc.calcResults[3].DcyTotal, 0);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(0, b.doc.calcResults[i].PLTotal);
            EXPECT_EQ(0, b.doc.calcResults[i].DcyTotal);
        }
    }
}

// dz reaches up to the nearest row that has a depth, whether that row was
// calculated or not; blank rows and rows at 0 do not count.
TEST(CalcLiquefaction, ThicknessReachesUpToTheNearestRowWithADepth) {
    struct Case {
        std::vector<std::pair<double, double>> rows;  // depth, N
        double dz;                                    // of the last row
    };
    for (const Case& c : {Case{{{1, 5}, {3, 5}}, 2}, Case{{{1, 5}, {-1, 0}, {3, 5}}, 2},
                          Case{{{1, 5}, {0, 0}, {3, 5}}, 2}, Case{{{1, 0}, {3, 5}}, 2},
                          Case{{{-1, 0}, {3, 5}}, 3}, Case{{{3, 5}, {3, 5}}, 0}}) {
        BoringBuilder b;
        b.Layer(5, 18, 10).Water(0);
        for (auto [z, n] : c.rows)
            b.Row(z, n);
        RecordingCalcMessageSink sink;
        CalcLiquefaction(b.doc, sink);
        ASSERT_TRUE(sink.messages.empty());
        const CalcResult& r = b.doc.calcResults.back();
        ASSERT_LT(r.fl, 1);  // loose sand, so the shares carry dz
        EXPECT_NEAR(c.dz * r.gammaCy, r.dcyShare, 1e-12) << "rows: " << c.rows.size();
        EXPECT_NEAR((10 - 0.5 * 3) * (1 - r.fl) * c.dz, r.plShare, 1e-12);
    }
}

TEST(CalcLiquefaction, LiquefactionBelowTwentyMetresNeverLowersPl) {
    // Loose sand to 26 m, a row every metre from 2 m: every point liquefies.
    BoringBuilder b;
    b.Layer(26, 18, 10).Water(1);
    for (int z = 2; z <= 25; ++z)
        b.Row(z, 3);
    b.doc.calcConditions.calcDepth = 30;
    RecordingCalcMessageSink sink;
    CalcLiquefaction(b.doc, sink);
    ASSERT_TRUE(sink.messages.empty());
    ASSERT_EQ(24u, b.doc.calcResults.size());
    double top20 = 0;
    double dcy = 0;
    for (std::size_t p = 0; p < 24; ++p) {
        const CalcResult& r = b.doc.calcResults[p];
        ASSERT_LT(r.fl, 1) << "row " << p;
        if (b.doc.calcPoints[p].Depth < 20) {
            EXPECT_GT(r.plShare, 0) << "row " << p;
            top20 += r.plShare;
        } else {
            EXPECT_EQ(0, r.plShare) << "row " << p;
        }
        dcy += r.dcyShare;
        EXPECT_GT(r.dcyShare, 0) << "Dcy is not depth-weighted, row " << p;
    }
    EXPECT_NEAR(top20, b.doc.calcResults.back().PLTotal, 1e-9);
    EXPECT_NEAR(dcy, b.doc.calcResults.back().DcyTotal, 1e-9);

    // Cutting the calculation at 20 m gives the same PL.
    b.doc.calcConditions.calcDepth = 20;
    CalcLiquefaction(b.doc, sink);
    EXPECT_NEAR(top20, b.doc.calcResults.back().PLTotal, 1e-9);
}

}  // namespace
