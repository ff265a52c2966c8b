#include "core/calc_driver.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace {

constexpr const char* kMsgNoData = "層データ・N値データが入力されていません";
constexpr const char* kMsgBadDepth = "N値を入力する深度または孔内水位レベルが正しくありません";
constexpr const char* kMsgCalcDepthZero = "計算深さが0ｍとなっています";
constexpr const char* kMsgDepthOrder =
    "深度が間違っています\n(上層の深度が下層の深度より深くなっています)";
constexpr const char* kMsgDeeperThanLayers =
    "N値入力による深度が層厚入力による深度より深くなっています\n"
    "(必ず層厚入力による深度の方を深くまで入力してください)";
constexpr const char* kMsgNoFc = "全ての計算位置で細粒分含有率FCが入力されていません";
constexpr const char* kMsgOverburden =
    "検討位置で土被り圧(鉛直応力)が0以下となっています（重量密度を正しく入力してください）";
constexpr const char* kMsgNoEarthquake =
    "計算条件の地震マグニチュードあるいは地表面における設計用水平加速度が0となっています";
constexpr const char* kMsgLayersTooDeep =
    "層厚入力による深度が327.67ｍを超えています\n(層厚の合計は327.67ｍまでとしてください)";
constexpr const char* kMsgEarthquakeRange =
    "計算条件の地震マグニチュードあるいは地表面における設計用水平加速度が範囲外です\n"
    "(マグニチュードは2～9.99、加速度は999cm/s2までとしてください)";
constexpr const char* kMsgUnitWeightRange =
    "重量密度が範囲外です\n(重量密度は0.1～999.9kN/m3としてください)";
constexpr const char* kMsgNotANumber =
    "計算結果が数値になりません\n(計算条件と土質定数を確認してください)";
constexpr const char* kMsgPointTooShallow =
    "N値を入力する深度が浅すぎます\n(深度は0.01ｍ以上を入力してください)";

// Depths are handled in whole centimetres held in 16 bits, as stored borings
// were calculated; a layer table must end within this.
constexpr double kMaxCentimetres = 32767;

// Nearest integer, a half going to the even neighbour (the default rounding mode).
double RoundHalfEven(double x) {
    return std::nearbyint(x);
}

// 100 x a length in metres, as the decimal product of the typed value. The
// binary product can miss a whole or a half centimetre by an ulp (100 x 2.3 is
// 229.99999999999997, 100 x 1.015 is 101.49999999999999), which would move
// a centimetre across the water level, a row out of the layer table or a
// half to the wrong neighbour; such a product is taken as the whole or half.
double Centimetres(double metres) {
    const double product = 100 * metres;
    const double half = std::nearbyint(2 * product) / 2;
    return std::fabs(product - half) <= 1e-9 * std::fmax(1.0, std::fabs(half)) ? half : product;
}

// The centimetre that a depth addresses: counted from 1 for the centimetre
// just below the base point.
double CentimetreIndex(double depth) {
    return RoundHalfEven(Centimetres(depth));
}

// The ranges of the condition boxes and of the soil grid's unit weight, which
// keeps one decimal: a weight it would show as 0.0 is none it can hold.
constexpr double kMinMagnitude = 2;
constexpr double kMaxMagnitude = 9.99;
constexpr double kMaxSurfaceAccel = 999;
constexpr double kMinUnitWeight = 0.05;
constexpr double kMaxUnitWeight = 999.9;

// Whether every result of the library for a point is a finite number.
bool AllFinite(const QuorlithArgs& a) {
    for (double value : {a.rn, a.rd, a.tauD, a.tauDRatio, a.cn, a.n1, a.deltaNf, a.na, a.tauLRatio,
                         a.tauL, a.fl, a.beta, a.plShare, a.gammaCy, a.dcyShare, a.ru, a.gRatio})
        if (!std::isfinite(value))
            return false;
    return true;
}

// A row without a depth: blank (-1) or 0.
bool HasNoDepth(double depth) {
    return depth == -1 || depth == 0;
}

// Per-centimetre data below the base point. Element k stands for the centimetre
// from k-1 to k cm; element 0 is the base point itself (overburden 0).
struct Profiles {
    // Index into the layers of the layer that holds each centimetre; the
    // unit weight, FC, CC and Ip of a centimetre are read through it.
    std::vector<int> layer;
    std::vector<double> sigmaZ, sigmaZe;
};

class Calculation {
  public:
    Calculation(Document& doc, CalcMessageSink& messages, QuorlithLibrary& library)
        : doc_(doc), messages_(messages), library_(library) {}

    void Run();

  private:
    // Clears the results and reports; the run ends.
    void Fail(const std::string& message) {
        doc_.calcPoints.clear();
        doc_.calcResults.clear();
        messages_.SetCalcMessage(message);
    }
    bool BuildLayerBottoms();
    bool CountPoints(std::size_t& n);
    bool CheckDepths(std::size_t n);
    void BuildProfiles();
    const LayerRecord& LayerAt(std::size_t k) const {
        return doc_.layers[static_cast<std::size_t>(profiles_.layer[k])];
    }
    double FcAt(std::size_t k) const { return std::fabs(LayerAt(k).FC); }
    double CcAt(std::size_t k) const { return std::fabs(LayerAt(k).CC); }
    double IpAt(std::size_t k) const { return std::fabs(LayerAt(k).Ip); }
    std::size_t SelectPoints(std::size_t n);
    bool JudgePoints(std::size_t n, std::size_t& calculated);

    Document& doc_;
    CalcMessageSink& messages_;
    QuorlithLibrary& library_;
    std::vector<int> bottoms_;  // cm below the base point; element 0 is the base point
    Profiles profiles_;
};

bool Calculation::BuildLayerBottoms() {
    bottoms_.assign(1, 0);
    bottoms_.reserve(doc_.layers.size() + 1);
    double bottom = 0;
    for (const LayerRecord& layer : doc_.layers) {
        bottom = RoundHalfEven(bottom + Centimetres(layer.Thickness));
        if (!(bottom <= kMaxCentimetres && bottom >= -kMaxCentimetres - 1)) {
            Fail(kMsgLayersTooDeep);
            return false;
        }
        bottoms_.push_back(static_cast<int>(bottom));
    }
    return true;
}

bool Calculation::CountPoints(std::size_t& n) {
    const std::vector<NPoint>& rows = doc_.nPoints;
    double lastDepth = 0;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->Depth > 0) {
            lastDepth = row->Depth;
            break;
        }
    }
    if (!(lastDepth > 0)) {
        Fail(kMsgBadDepth);
        return false;
    }
    const double calcDepth = doc_.calcConditions.calcDepth;
    if (calcDepth != 0 && lastDepth > calcDepth) {
        std::size_t k = 0;  // 1-based row number of the first row below the calculation depth
        while (!(rows[k].Depth > calcDepth))
            ++k;
        ++k;
        if (k <= 2) {
            Fail(kMsgBadDepth);
            return false;
        }
        n = k - 1;
    } else if (calcDepth == 0) {
        Fail(kMsgCalcDepthZero);
        return false;
    } else {
        n = rows.size();
    }
    doc_.calcPoints.assign(n, CalcPoint{});
    doc_.calcResults.assign(n, CalcResult{});
    return true;
}

bool Calculation::CheckDepths(std::size_t n) {
    const std::vector<NPoint>& rows = doc_.nPoints;
    for (std::size_t p = 0; p + 1 < n; ++p) {
        if (!(rows[p].Depth > 0))
            continue;
        double next = rows[p + 1].Depth;
        if (HasNoDepth(next)) {
            std::size_t q = p + 1;
            while (q < n && !(rows[q].Depth > 0))
                ++q;
            if (q == n)
                break;
            next = rows[q].Depth;
        }
        if (rows[p].Depth > next) {
            Fail(kMsgDepthOrder);
            return false;
        }
    }
    for (std::size_t p = 0; p < n; ++p) {
        if (rows[p].Depth > 0 && Centimetres(rows[p].Depth) > bottoms_.back()) {
            Fail(kMsgDeeperThanLayers);
            return false;
        }
    }
    // Every row with a depth must address a centimetre below the base point.
    for (std::size_t p = 0; p < n; ++p) {
        if (!HasNoDepth(rows[p].Depth) && !(CentimetreIndex(rows[p].Depth) >= 1)) {
            Fail(kMsgPointTooShallow);
            return false;
        }
    }
    return true;
}

void Calculation::BuildProfiles() {
    // A layer of negative thickness moves the bottoms back up; a later layer
    // then takes over the centimetres it covers again, and the profile still
    // ends at the bottom of the last layer.
    const int end = std::max(bottoms_.back(), 0);
    const auto size = static_cast<std::size_t>(end) + 1;
    profiles_.layer.assign(size, 0);
    for (std::size_t i = 0; i < doc_.layers.size(); ++i) {
        const int top = std::max(bottoms_[i], 0);
        const int bottom = std::min(bottoms_[i + 1], end);
        for (int k = top + 1; k <= bottom; ++k)
            profiles_.layer[static_cast<std::size_t>(k)] = static_cast<int>(i);
    }

    // The sign of the unit weight selects the rule above the water level: a
    // default taken from the soil-name tables (stored negated) counts 2 less.
    profiles_.sigmaZ.assign(size, 0.0);
    profiles_.sigmaZe.assign(size, 0.0);
    const double water = Centimetres(doc_.basicData.DatumToWaterLevel);
    double total = 0;
    double effective = 0;
    for (std::size_t k = 1; k < size; ++k) {
        const double gamma = LayerAt(k).gamma;
        if (static_cast<double>(k) <= water) {
            const double add = gamma >= 0 ? gamma : std::fabs(gamma) - 2;
            total += add;
            effective += add;
        } else {
            total += std::fabs(gamma);
            effective += std::fabs(gamma) - 9.8;
        }
        profiles_.sigmaZ[k] = total / 100;
        profiles_.sigmaZe[k] = effective / 100;
    }
}

// Decides which points are calculated; returns how many lack a fines content.
std::size_t Calculation::SelectPoints(std::size_t n) {
    const CalcConditions& c = doc_.calcConditions;
    std::size_t missingFc = 0;
    for (std::size_t p = 0; p < n; ++p) {
        const NPoint& row = doc_.nPoints[p];
        CalcPoint& point = doc_.calcPoints[p];
        point.N = row.N;
        point.Depth = row.Depth;
        if (HasNoDepth(row.Depth)) {
            point.N = 0;
            continue;
        }
        const auto k = static_cast<std::size_t>(CentimetreIndex(row.Depth));
        // Every point states its layer's clay content and plasticity, as the
        // exclusion rules read them, whether or not a rule needs them.
        point.CC = CcAt(k);
        point.Ip = IpAt(k);

        // FC typed on the rows is left out only above the limits; FC of the
        // layers already at them. Stored borings were judged this way.
        if (doc_.fcInputMode == 1) {
            point.FC = row.FC;
            if (point.FC == 0) {
                ++missingFc;
                point.N = 0;
            } else if (point.FC > 35 && c.excludeFines35 == 1) {
                point.N = 0;
            } else if (point.FC > 35 && c.excludeFinesPlastic == 1) {
                if (point.CC > 10 || point.Ip > 15)
                    point.N = 0;
            }
        } else {
            point.FC = FcAt(k);
            if (point.FC == 0) {
                ++missingFc;
                point.N = 0;
            } else if (point.FC >= 35 && c.excludeFines35 == 1) {
                point.N = 0;
            } else if (point.FC >= 35 && c.excludeFinesPlastic == 1) {
                if (point.CC >= 10 || point.Ip >= 15)
                    point.N = 0;
            }
        }
        if (c.excludeClay20 == 1 && point.CC >= 20)
            point.N = 0;
        if (c.calcRange == 0 && row.Depth < doc_.basicData.DatumToWaterLevel)
            point.N = 0;
    }
    return missingFc;
}

bool Calculation::JudgePoints(std::size_t n, std::size_t& calculated) {
    const CalcConditions& c = doc_.calcConditions;
    CalcResult& last = doc_.calcResults[n - 1];
    // dz reaches up to the nearest row above that has a depth (the base point
    // when there is none); a blank row in between does not shorten it.
    double depthAbove = 0;
    for (std::size_t p = 0; p < n; ++p) {
        CalcPoint& point = doc_.calcPoints[p];
        const double depth = doc_.nPoints[p].Depth;
        if (point.N != 0) {
            ++calculated;
            const auto k = static_cast<std::size_t>(CentimetreIndex(depth));
            point.SigmaZ = profiles_.sigmaZ[k];
            point.SigmaZe = profiles_.sigmaZe[k];
            if (point.SigmaZ == 0 || !(point.SigmaZe > 0)) {
                Fail(kMsgOverburden);
                return false;
            }
            if (c.magnitude == 0 || c.surfaceAccel == 0) {
                Fail(kMsgNoEarthquake);
                return false;
            }
            // What the condition boxes allow; a file may bring anything, and
            // the library gives no number outside it (1e308 makes τd infinite).
            if (!(c.magnitude >= kMinMagnitude && c.magnitude <= kMaxMagnitude) ||
                !(c.surfaceAccel > 0 && c.surfaceAccel <= kMaxSurfaceAccel)) {
                Fail(kMsgEarthquakeRange);
                return false;
            }

            CalcResult& r = doc_.calcResults[p];
            QuorlithArgs a;
            a.betaMethod = static_cast<int32_t>(c.guideEdition + 1);
            a.gravity = c.gravity;
            a.magnitude = c.magnitude;
            a.alphaMax = c.surfaceAccel;
            a.depth = point.Depth;
            a.sigmaZ = point.SigmaZ;
            a.sigmaZe = point.SigmaZe;
            a.nValue = point.N;
            a.finesContent = point.FC;
            a.beta = r.beta;
            a.thickness = depth - depthAbove;
            std::string failure;
            if (!library_.Call(a, failure)) {
                Fail(failure);
                return false;
            }
            if (!AllFinite(a)) {
                Fail(kMsgNotANumber);
                return false;
            }
            r.rn = a.rn;
            r.rd = a.rd;
            r.tauD = a.tauD;
            r.tauDRatio = a.tauDRatio;
            r.cn = a.cn;
            r.n1 = a.n1;
            r.deltaNf = a.deltaNf;
            r.na = a.na;
            r.tauLRatio = a.tauLRatio;
            r.tauL = a.tauL;
            r.fl = a.fl;
            r.beta = a.beta;
            r.plShare = a.plShare;
            r.gammaCy = a.gammaCy;
            r.dcyShare = a.dcyShare;
            r.ru = a.ru;
            r.gRatio = a.gRatio;
            last.PLTotal += r.plShare;
            last.DcyTotal += r.dcyShare;
        }
        if (!HasNoDepth(depth))
            depthAbove = depth;
    }
    return true;
}

void Calculation::Run() {
    doc_.calcConditions.gravity = 980.0;
    if (doc_.layers.empty() || doc_.nPoints.empty()) {
        Fail(kMsgNoData);
        return;
    }
    if (!BuildLayerBottoms())
        return;
    std::size_t n = 0;
    if (!CountPoints(n) || !CheckDepths(n))
        return;
    for (const LayerRecord& layer : doc_.layers) {
        const double gamma = std::fabs(layer.gamma);
        if (gamma != 0 && !(gamma >= kMinUnitWeight && gamma <= kMaxUnitWeight)) {
            Fail(kMsgUnitWeightRange);
            return;
        }
    }
    BuildProfiles();
    const std::size_t missingFc = SelectPoints(n);
    if (missingFc == n) {
        Fail(kMsgNoFc);
        return;
    }
    std::size_t calculated = 0;
    if (!JudgePoints(n, calculated))
        return;
    if (calculated == 0)
        messages_.SetCalcMessage(kMsgBadDepth);
}

}  // namespace

void CalcLiquefaction(Document& doc, CalcMessageSink& messages, QuorlithLibrary& library) {
    Calculation(doc, messages, library).Run();
}
