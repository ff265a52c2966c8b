#pragma once

#include "core/document.h"

// A boring built in code for tests: a new document calculated over the whole
// depth, with layers and N-value rows added in order.
struct BoringBuilder {
    Document doc;

    BoringBuilder() {
        NewDocument(doc);
        doc.calcConditions.calcRange = 1;
    }
    BoringBuilder& Layer(double thickness, double gamma, double fc, double cc = 0, double ip = 0) {
        LayerRecord layer;
        layer.Thickness = thickness;
        layer.gamma = gamma;
        layer.FC = fc;
        layer.CC = cc;
        layer.Ip = ip;
        doc.layers.push_back(layer);
        return *this;
    }
    BoringBuilder& Row(double depth, double n, double fc = 0) {
        doc.nPoints.push_back(NPoint{depth, n, 30, fc});
        return *this;
    }
    BoringBuilder& Water(double depth) {
        doc.basicData.DatumToWaterLevel = depth;
        return *this;
    }
};
