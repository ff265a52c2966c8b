#include "core/document.h"

#include <stdexcept>

namespace {

template <typename Layer, typename Value>
Value& ConstantOf(Layer& layer, int item) {
    switch (item) {
        case 1:
            return layer.gamma;
        case 2:
            return layer.FC;
        case 3:
            return layer.CC;
        case 4:
            return layer.Ip;
        case 5:
            return layer.qu;
        case 6:
            return layer.nu;
        case 7:
            return layer.Vs;
        case 8:
            return layer.Vp;
        case 9:
            return layer.Eo;
        case 10:
            return layer.beta;
        case 11:
            return layer.Cc;
        case 12:
            return layer.Pc;
        case 13:
            return layer.eo;
        case 14:
            return layer.Es;
    }
    throw std::out_of_range("soil constant item out of range");
}

}  // namespace

double& LayerRecord::Constant(int item) {
    return ConstantOf<LayerRecord, double>(*this, item);
}

double LayerRecord::Constant(int item) const {
    return ConstantOf<const LayerRecord, const double>(*this, item);
}

void NewDocument(Document& doc) {
    doc.currentFileName.clear();
    doc.basicData.ProjectName.clear();
    doc.basicData.ShortName.clear();
    doc.basicData.Site.clear();
    doc.basicData.SurveyFrom = Today();
    doc.basicData.SurveyTo = doc.basicData.SurveyFrom;
    doc.basicData.DatumToGL = 0;
    doc.basicData.DatumToWaterLevel = 0;
    doc.basicData.DatumToDiluvium = 0;
    doc.nPoints.clear();
    doc.nConvert30 = 0;
    doc.fcInputMode = 0;
    doc.nGraphMax = 50;
    doc.layers.clear();
    doc.layerColumnUsed.fill(0);
    CalcConditions& c = doc.calcConditions;
    c.excludeClay20 = 0;
    c.excludeFines35 = 0;
    c.excludeFinesPlastic = 0;
    c.calcRange = 0;
    c.calcDepth = 20.0;
    c.magnitude = 7.5;
    c.surfaceAccel = 200.0;
    doc.calcPoints.clear();
    doc.calcResults.clear();
    c.guideEdition = 1;
    c.calcReserved.fill(0);
}
