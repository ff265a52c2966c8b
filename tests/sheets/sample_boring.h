#pragma once

#include <cmath>
#include <string>

#include "core/document.h"

// A boring that exercises every panel of the boring log: N rows with a blank
// row and a short penetration, layers with every soil pattern and overlay, a
// groundwater level and calculation results with FL values on and beyond the
// axis.
inline Document SampleBoring() {
    Document doc;
    doc.basicData.ProjectName = "臨海部倉庫新築工事";
    doc.basicData.ShortName = "倉庫";
    doc.basicData.Site = "東京都江東区";
    doc.basicData.SurveyFrom = {2008, 3, 5};
    doc.basicData.SurveyTo = {2008, 3, 12};
    doc.basicData.DatumToGL = 0.5;
    doc.basicData.DatumToWaterLevel = 2.0;
    doc.basicData.DatumToDiluvium = 14.25;
    doc.nConvert30 = 1;
    const double ns[] = {3, 5, 8, 4, 2, 12, 15, 20, 25, 60, 18, 22, 30, 35, 41, 50, 55, 48, 45};
    for (int i = 0; i < 19; ++i) {
        NPoint p;
        p.Depth = 1.15 + i;
        p.N = ns[i];
        p.FC = 5 + 3 * i;
        doc.nPoints.push_back(p);
    }
    doc.nPoints[6] = NPoint{};  // a blank row breaks the line
    doc.nPoints[15].Penetration = 10;
    doc.fcInputMode = 0;
    struct L {
        double t;
        const char* name;
        int code;
    };
    const L layers[] = {
        {1.2, "埋土", 101},       {2.3, "シルト混り細砂", 202},
        {1.5, "粘土", 303},       {2.0, "砂質シルト", 404},
        {1.8, "シルト", 505},     {2.2, "細砂", 606},
        {2.5, "中砂", 707},       {1.9, "粗砂", 808},
        {3.1, "砂礫", 900},       {0, "", 0},
        {2.0, "固結シルト", 503},
    };
    double gamma = 17.0;
    for (const L& l : layers) {
        LayerRecord r;
        r.Thickness = l.t;
        r.SoilName = l.name;
        r.SoilCode = l.code;
        r.gamma = -gamma;
        r.FC = 10 + gamma;
        r.Vs = 120 + 10 * gamma;
        gamma += 0.5;
        doc.layers.push_back(r);
    }
    doc.layerColumnUsed[0] = 1;
    doc.layerColumnUsed[1] = 1;  // gamma
    doc.layerColumnUsed[2] = 1;  // FC
    doc.layerColumnUsed[7] = 1;  // Vs
    doc.nGraphMax = 50;
    const double fls[] = {0.45, 0.8, 1.1, 0.95, 2.2, 3.0, 1.6, 0.6};
    for (int i = 0; i < 8; ++i) {
        CalcPoint p;
        p.N = 10;
        p.Depth = 2.15 + i;
        doc.calcPoints.push_back(p);
        CalcResult r;
        r.fl = fls[i];
        doc.calcResults.push_back(r);
    }
    return doc;
}

// A deep boring: N rows every metre to `metres`, `layerCount` layers of equal
// thickness with changing soil codes, and one calculation point per N row.
inline Document DeepBoring(int metres, int layerCount) {
    Document doc;
    doc.basicData.DatumToWaterLevel = 1.5;
    for (int i = 0; i < metres; ++i) {
        NPoint p;
        p.Depth = 0.3 + i;
        p.N = std::fmod(7.0 * i, 55.0);
        doc.nPoints.push_back(p);
        CalcPoint c;
        c.N = p.N;
        c.Depth = p.Depth;
        doc.calcPoints.push_back(c);
        CalcResult r;
        r.fl = std::fmod(0.37 * i, 3.0);
        doc.calcResults.push_back(r);
    }
    for (int i = 0; i < layerCount; ++i) {
        LayerRecord l;
        l.Thickness = static_cast<double>(metres) / layerCount;
        l.SoilName = "シルト混り砂";
        l.SoilCode = 100 * (1 + i % 9) + i % 9;
        l.gamma = 18;
        l.Vs = 200 + i;
        doc.layers.push_back(l);
    }
    doc.layerColumnUsed[1] = 1;
    doc.layerColumnUsed[7] = 1;
    return doc;
}
