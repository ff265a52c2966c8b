#pragma once

#include "core/document.h"

// The example boring that the run command opens (examples/example.qmf): a
// fill and loose sands over silt and gravel, water at 1.8 m, twenty N-values.
inline Document ExampleBoring() {
    Document doc;
    NewDocument(doc);
    BasicData& b = doc.basicData;
    b.ProjectName = "（仮称）港南三丁目共同住宅新築工事 地盤調査";
    b.ShortName = "港南三丁目 No.1";
    b.Site = "東京都港区港南三丁目";
    b.SurveyFrom = {2024, 5, 13};
    b.SurveyTo = {2024, 5, 15};
    b.DatumToGL = 0.0;
    b.DatumToWaterLevel = 1.8;
    b.DatumToDiluvium = 16.0;

    struct LayerRow {
        double thickness;
        const char* name;
        int code;
        double gamma, fc, cc, ip;
    };
    const LayerRow layers[] = {
        {1.6, "埋め土", 200, 17.0, 30.0, 0, 0}, {3.4, "シルト質細砂", 701, 18.0, 22.0, 0, 0},
        {4.5, "細砂", 700, 18.5, 8.0, 0, 0},    {2.5, "シルト", 400, 16.5, 85.0, 25.0, 28.0},
        {4.0, "中砂", 700, 19.0, 6.0, 0, 0},    {4.0, "砂礫(礫質土)", 800, 20.0, 4.0, 0, 0},
    };
    for (const LayerRow& row : layers) {
        LayerRecord layer;
        layer.Thickness = row.thickness;
        layer.SoilName = row.name;
        layer.SoilCode = row.code;
        layer.gamma = row.gamma;
        layer.FC = row.fc;
        layer.CC = row.cc;
        layer.Ip = row.ip;
        doc.layers.push_back(layer);
    }
    const double n[] = {3, 4, 6, 8, 9, 12, 15, 14, 16, 3, 4, 18, 22, 25, 28, 35, 42, 50, 50, 50};
    for (int i = 0; i < 20; ++i)
        doc.nPoints.push_back(NPoint{i + 1.15, n[i], 30, 0});
    // Soil symbol, unit weight, FC, CC and Ip are shown in the soil grid.
    for (int k = 0; k <= 4; ++k)
        doc.layerColumnUsed[static_cast<size_t>(k)] = 1;
    doc.calcConditions.calcDepth = 20;
    return doc;
}
