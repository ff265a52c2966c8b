// The main window's grids and summaries: the three grid layouts, copying rows
// between the document and the grid bindings, the result grid, the basic-data
// summary, the soil-name pick lists and the condition controls.
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "core/format.h"
#include "core/n_value_rows.h"
#include "core/number_text.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"
#include "ui/main_window/input_grid_slots.h"

namespace {

// Designed row counts of the input grids. A document with more rows gets a
// grid that holds them all, so that reading the grid back never drops rows,
// and a few spare ones, but never a row past the most a table can hold: a
// value typed there could not be saved.
constexpr int kNGridRows = 500;
constexpr int kSoilGridRows = 200;
constexpr int kSpareRows = 50;

int InputGridRows(int designed, int shown, size_t documentRows) {
    return std::min(std::max({designed, shown, static_cast<int>(documentRows) + kSpareRows}),
                    static_cast<int>(kMaxTableRows));
}

struct ColumnDef {
    const char* header;
    int slot;
    int decimals;
    double max;
    int inputLength;
};

// The soil grid's optional columns by gLayerColumnUsed index.
constexpr ColumnDef kSoilColumns[15] = {
    {"記号", kSoilSlotCode, 2, 99.99, 6},
    {"γ (kN/m3)", -SoilConstantSlot(1), 1, 999.9, 6},
    {"FC (%)", -SoilConstantSlot(2), 1, 100, 5},
    {"CC (%)", -SoilConstantSlot(3), 1, 100, 4},
    {"Ｉp", -SoilConstantSlot(4), 1, 100, 4},
    {"ｑu (kN/m2)", -SoilConstantSlot(5), 1, 999.9, 6},
    {"ν", -SoilConstantSlot(6), 3, 0.999, 5},
    {"Ｖs (m/s)", -SoilConstantSlot(7), 1, 9999.9, 6},
    {"Ｖp (m/s)", -SoilConstantSlot(8), 1, 9999.9, 6},
    {"Eo (kN/m2)", -SoilConstantSlot(9), 0, 999999, 6},
    {"β", -SoilConstantSlot(10), 2, 1, 6},
    {"Cc", -SoilConstantSlot(11), 3, 9.999, 6},
    {"Pc (kN/m2)", -SoilConstantSlot(12), 2, 99999.9, 7},
    {"eo", -SoilConstantSlot(13), 3, 9.999, 6},
    {"Es (kN/m2)", -SoilConstantSlot(14), 0, 999999, 6},
};

// Columns whose two-line heads need the taller header row.
bool TallHead(int k) {
    return k == 1 || k == 5 || k == 7 || k == 8 || k == 9 || k == 12 || k == 13 || k == 14;
}

constexpr ColumnDef kResultColumns[21] = {
    {"深度 (m)", -1, 2, 999.99, 6},   {"N値 (回)", -2, 0, 99, 2},
    {"FC (%)", -3, 1, 999.9, 5},      {"CC (%)", -4, 1, 99.9, 4},
    {"Ip (%)", -5, 1, 99.9, 4},       {"σz (kN/m2)", -6, 1, 999.9, 5},
    {"σ'z (kN/m2)", -7, 1, 999.9, 5}, {"γn", -8, 2, 99.99, 5},
    {"γd", -9, 2, 99.99, 5},          {"τd (kN/m2)", -10, 2, 99.99, 5},
    {"τd/σ'z", -11, 3, 99.999, 6},    {"Cn", -12, 3, 99.99, 5},
    {"N1", -13, 2, 99.99, 5},         {"ΔNf", -14, 2, 99.99, 5},
    {"Na", -15, 2, 99.99, 5},         {"τl (kN/m2)", -16, 2, 99.99, 5},
    {"τl/σ'z", -17, 3, 99.999, 6},    {"Fl", -18, 2, 99.99, 5},
    {"⊿Dcy", -19, 2, 9.99, 5},        {"⊿PL", -20, 2, 9.99, 5},
    {"β", -21, 3, 9.999, 6},
};

void SetColumnWidthTwips(SpreadGrid* grid, int col, double twips) {
    grid->setColumnWidth(
        col - 1, std::max(0, static_cast<int>(std::nearbyint(twips / grid->TwipsPerPixelX()))));
}

void SetHeaderHeightTwips(SpreadGrid* grid, int twips) {
    grid->SetHeaderRowHeight(static_cast<int>(std::nearbyint(twips / grid->TwipsPerPixelY())));
}

void PrepareHeader(SpreadGrid* grid) {
    grid->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
}

}  // namespace

void frmMain::SetSoilDefList() {
    lstSoilDef[0]->clear();
    lstSoilDef[0]->addItem(QStringLiteral("（なし）"));
    for (const LayerRecord& row : settings.subSoilNames)
        lstSoilDef[0]->addItem(QString::fromStdString(row.SoilName));
    lstSoilDef[1]->clear();
    for (const LayerRecord& row : settings.mainSoilNames)
        lstSoilDef[1]->addItem(QString::fromStdString(row.SoilName));
}

void frmMain::SetKihonText() {
    const BasicData& b = doc.basicData;
    std::string text = b.ProjectName + "\n" + b.ShortName + "\n" + b.Site + "\n" +
                       FormatDate(b.SurveyFrom, "yyyy/mm/dd") + "～" +
                       FormatDate(b.SurveyTo, "yyyy/mm/dd") + "\n" + "基点位置\t" +
                       FormatNumber(b.DatumToGL, "###0.00#m") + "\n" + "地下水位\t" +
                       FormatNumber(b.DatumToWaterLevel, "###0.00#m") + "\n" + "洪積層\t" +
                       FormatNumber(b.DatumToDiluvium, "###0.00#m");
    txtKihon->setPlainText(QString::fromStdString(text));
}

void frmMain::SetSpreadN() {
    chkNchi[0]->setChecked(doc.nConvert30 != 0);
    chkNchi[1]->setChecked(doc.fcInputMode != 0);
    chkNchi_Click(doc.fcInputMode != 0 ? 1 : 0);
    txtNchi->setText(QString::number(doc.nGraphMax));
    if (lastFocusControl_ == txtNchi)
        FocusText = txtNchi->text();

    vaSpreadN->SetRedraw(false);
    int columns = 2 + doc.nConvert30 + doc.fcInputMode;
    vaSpreadN->SetMaxCols(columns);
    vaSpreadN->SetMaxRows(InputGridRows(kNGridRows, vaSpreadN->MaxRows(), doc.nPoints.size()));
    PrepareHeader(vaSpreadN);

    clsSpreadIn& bind = SpreadInN();
    bind.SetSpread(vaSpreadN, 0, kNDoubleSlots, 0);
    // Every new row starts as the blank row does, whichever way it was added.
    bind.SetBlankDataD(kNSlotPenetration, kBlankNPoint.Penetration);
    vaSpreadN->SetText(1, 0, QStringLiteral("深度 (m)"));
    bind.CreateCell(1, -kNSlotDepth, 2, 0, 999.99, 6);
    vaSpreadN->SetText(2, 0, QStringLiteral("Ｎ値"));
    bind.CreateCell(2, -kNSlotN, 0, 0, 9999, 4);
    int col = 3;
    if (doc.nConvert30 == 1) {
        SetHeaderHeightTwips(vaSpreadN, 400);
        vaSpreadN->SetText(col, 0, QStringLiteral("貫入量 (cm)"));
        bind.CreateCell(col, -kNSlotPenetration, 1, 0, 999.9, 5);
        ++col;
    }
    if (doc.fcInputMode == 1) {
        vaSpreadN->SetText(col, 0, QStringLiteral("FC (%)"));
        bind.CreateCell(col, -kNSlotFC, 1, 0, 100, 5);
    }

    double w = layout.Width(vaSpreadN) - vaSpreadN->ScrollBarWidthTwips() -
               vaSpreadN->ColWidthTwips(0) - 2.0 * vaSpreadN->BorderWidthTwips();
    w = w / columns - vaSpreadN->BorderWidthTwips();
    for (int c = 1; c <= columns; ++c)
        SetColumnWidthTwips(vaSpreadN, c, w);

    PutNchiData(0);
    vaSpreadN->SetRedraw(true);
    NGridOutdated = false;
}

void frmMain::SetSpreadS() {
    for (size_t k = 0; k < 15; ++k)
        chkSodata[k]->setChecked(doc.layerColumnUsed[k] != 0);

    auto shown = [this](int k) {
        if (k == 2 && doc.fcInputMode == 1)
            return false;
        return doc.layerColumnUsed[static_cast<size_t>(k)] != 0;
    };
    int optional = 0;
    for (int k = 0; k < 15; ++k)
        optional += shown(k) ? 1 : 0;

    vaSpreadS->SetRedraw(false);
    vaSpreadS->SetMaxCols(3 + optional);
    vaSpreadS->SetMaxRows(InputGridRows(kSoilGridRows, vaSpreadS->MaxRows(), doc.layers.size()));
    PrepareHeader(vaSpreadS);
    SetHeaderHeightTwips(vaSpreadS, 240);

    clsSpreadIn& bind = SpreadInS();
    bind.SetSpread(vaSpreadS, kSoilLongSlots, kSoilDoubleSlots, 1);
    vaSpreadS->SetText(1, 0, QStringLiteral("深度(m)"));
    bind.CreateCell(1, clsSpreadIn::kLabel, 2, 0, 999.99, 6);
    vaSpreadS->SetText(2, 0, QStringLiteral("層厚(m)"));
    bind.CreateCell(2, -kSoilSlotThickness, 2, 0, 999.99, 6);
    vaSpreadS->SetText(3, 0, QStringLiteral("土質名"));
    bind.CreateCell(3, 0, 0, 0, 0, 99);
    SetColumnWidthTwips(vaSpreadS, 1, 700);
    SetColumnWidthTwips(vaSpreadS, 2, 700);
    SetColumnWidthTwips(vaSpreadS, 3, 1800);
    int col = 4;
    for (int k = 0; k < 15; ++k) {
        if (!shown(k))
            continue;
        const ColumnDef& def = kSoilColumns[k];
        vaSpreadS->SetText(col, 0, QString::fromUtf8(def.header));
        bind.CreateCell(col, def.slot, def.decimals, 0, def.max, def.inputLength);
        SetColumnWidthTwips(vaSpreadS, col, k == 0 ? 600 : 800);
        if (TallHead(k))
            SetHeaderHeightTwips(vaSpreadS, 400);
        ++col;
    }

    PutSoilData(0);
    SetDepthColumn();
    vaSpreadS->SetRedraw(true);
    SoilGridOutdated = false;
}

void frmMain::ResetInputGrids() {
    // The rows a grid grew by belong to the document before, and so does the
    // place it was scrolled to: each grid gets the rows the new document
    // needs (none removed or added when it has them already).
    const std::pair<SpreadGrid*, int> grids[] = {
        {vaSpreadN, InputGridRows(kNGridRows, 0, doc.nPoints.size())},
        {vaSpreadS, InputGridRows(kSoilGridRows, 0, doc.layers.size())},
    };
    for (auto [grid, rows] : grids) {
        if (grid->MaxRows() < 1 || grid->MaxCols() < 1)
            continue;
        grid->SetActiveCell(1, 1);
        if (grid->MaxRows() > rows)
            grid->SetMaxRows(rows);
        grid->scrollToTop();
        grid->horizontalScrollBar()->setValue(0);
    }
}

void frmMain::SetDepthColumn() {
    double d = 0;
    int count = static_cast<int>(doc.layers.size());
    for (int i = 1; i <= count && i <= vaSpreadS->MaxRows(); ++i) {
        double thickness = doc.layers[static_cast<size_t>(i - 1)].Thickness;
        // A layer without thickness has no depth of its own; a depth left
        // from before (a row moved away by an insert) would be a false one.
        if (thickness > 0) {
            d += thickness;
            vaSpreadS->SetText(1, i, QString::fromStdString(FormatNumber(d, "##0.00")));
        } else {
            vaSpreadS->SetText(1, i, QString());
        }
    }
    for (int i = count + 1; i <= vaSpreadS->MaxRows(); ++i)
        vaSpreadS->SetText(1, i, QString());
}

namespace {

// A row the grid shows blank holds the blank row's values in every slot, the
// hidden ones too, so that a value typed into it later brings nothing back.
void PutBlankNRow(clsSpreadIn& bind, int row) {
    bind.iFG(row, 0);
    bind.DataD(kNSlotDepth, row, 0);
    bind.DataD(kNSlotN, row, kBlankNPoint.N);
    bind.DataD(kNSlotPenetration, row, kBlankNPoint.Penetration);
    bind.DataD(kNSlotFC, row, kBlankNPoint.FC);
}

}  // namespace

void frmMain::PutNchiData(int32_t row) {
    clsSpreadIn& bind = SpreadInN();
    int first = row == 0 ? 1 : row;
    int last = row == 0 ? vaSpreadN->MaxRows() : row;
    for (int i = first; i <= last; ++i) {
        if (std::optional<NPoint> p = NPointToShow(doc.nPoints, i)) {
            bind.iFG(i, 1);
            bind.DataD(kNSlotDepth, i, p->Depth);
            bind.DataD(kNSlotN, i, p->N);
            bind.DataD(kNSlotPenetration, i, p->Penetration);
            bind.DataD(kNSlotFC, i, p->FC);
        } else {
            PutBlankNRow(bind, i);
        }
    }
    bind.PrtSheet(row);
}

void frmMain::GetNchiData(int32_t row) {
    clsSpreadIn& bind = SpreadInN();
    if (row != 0) {
        TakeNRow(doc.nPoints, row, NGridRowOf(bind.Table(), row));
        return;
    }
    std::vector<NGridRow> rows(static_cast<size_t>(bind.GetMaxFgRow()));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = NGridRowOf(bind.Table(), static_cast<int>(i + 1));
    TakeNRows(doc.nPoints, rows);
}

bool frmMain::SettleNRowsWithoutDepth(int32_t row, bool typedValue) {
    clsSpreadIn& bind = SpreadInN();
    int first = row == 0 ? 1 : row;
    int last = row == 0 ? vaSpreadN->MaxRows() : row;
    int refused = 0;  // the first refused row
    for (int i = first; i <= last; ++i) {
        switch (
            SettleNRow(NGridRowOf(bind.Table(), i), typedValue, doc.nConvert30, doc.fcInputMode)) {
            case NRowWithoutDepth::Keep:
                break;
            case NRowWithoutDepth::Refuse:
                if (refused == 0)
                    refused = i;
                PutNchiData(i);
                break;
            case NRowWithoutDepth::Clear:
                PutBlankNRow(bind, i);
                bind.PrtSheet(i);
                break;
        }
    }
    // Beside the depth the row lacks, also when the focus has left the grid.
    if (refused != 0)
        services.RefuseBeside("先に深度を入力してください", vaSpreadN,
                              vaSpreadN->CellRect(1, refused));
    return refused != 0;
}

namespace {

const LayerRecord kEmptyLayer{};

}  // namespace

void frmMain::PutSoilData(int32_t row) {
    clsSpreadIn& bind = SpreadInS();
    int first = row == 0 ? 1 : row;
    int last = row == 0 ? vaSpreadS->MaxRows() : row;
    int count = static_cast<int>(doc.layers.size());
    for (int i = first; i <= last; ++i) {
        // A layer without a thickness that holds a name, a code or a constant
        // is a row being entered: it shows what the document holds.
        const bool empty = i > count || doc.layers[static_cast<size_t>(i - 1)] == LayerRecord{};
        // An empty row holds an empty layer in every slot, so that a name
        // typed into it brings back no thickness or constant of before.
        const LayerRecord& layer = empty ? kEmptyLayer : doc.layers[static_cast<size_t>(i - 1)];
        bind.iFG(i, empty ? 0 : 1);
        bind.DataD(kSoilSlotThickness, i, layer.Thickness);
        bind.DataS(i, layer.SoilName);
        bind.DataL(kSoilSlotCode, i, layer.SoilCode);
        for (int item = 1; item <= kSoilConstantCount; ++item)
            bind.DataD(SoilConstantSlot(item), i, layer.Constant(item));
    }
    bind.PrtSheet(row);
}

namespace {

void TakeSoilRow(const clsSpreadIn& bind, int row, LayerRecord& layer) {
    layer.Thickness = bind.DataD(kSoilSlotThickness, row);
    layer.SoilName = bind.DataS(row);
    layer.SoilCode = bind.DataL(kSoilSlotCode, row);
    for (int item = 1; item <= kSoilConstantCount; ++item)
        layer.Constant(item) = bind.DataD(SoilConstantSlot(item), row);
}

}  // namespace

void frmMain::GetSoilData(int32_t row) {
    clsSpreadIn& bind = SpreadInS();
    if (row == 0) {
        int m = bind.GetMaxFgRow();
        if (m != static_cast<int>(doc.layers.size()))
            doc.layers.resize(static_cast<size_t>(m));
        // A row without data is an empty layer: what the screen no longer
        // shows must not stay in the document (and come back on a refresh).
        for (int i = 1; i <= m; ++i) {
            LayerRecord& layer = doc.layers[static_cast<size_t>(i - 1)];
            if (bind.iFG(i) == 0)
                layer = LayerRecord{};
            else
                TakeSoilRow(bind, i, layer);
        }
    } else if (bind.iFG(row) == 0) {
        if (row <= static_cast<int>(doc.layers.size()))
            doc.layers[static_cast<size_t>(row - 1)] = LayerRecord{};
    } else {
        if (row > static_cast<int>(doc.layers.size()))
            doc.layers.resize(static_cast<size_t>(row));
        TakeSoilRow(bind, row, doc.layers[static_cast<size_t>(row - 1)]);
    }
    SetDepthColumn();
}

void frmMain::SetCalcCondition() {
    const CalcConditions& c = doc.calcConditions;
    txtMagu->setText(QString::fromStdString(NumberText(c.magnitude)));
    txtKasokudo->setText(QString::fromStdString(NumberText(c.surfaceAccel)));
    txtCalcDepth->setText(QString::fromStdString(NumberText(c.calcDepth)));
    // A box that keeps the focus through a new document restores the new
    // document's value when it refuses a text, not the old one's.
    for (QLineEdit* box : {txtMagu, txtKasokudo, txtCalcDepth})
        if (lastFocusControl_ == box)
            FocusText = box->text();
    const int values[4] = {c.calcRange, c.excludeClay20, c.excludeFines35, c.excludeFinesPlastic};
    settingConditions_ = true;
    for (size_t i = 0; i < 4; ++i)
        chkEkidata[i]->setChecked(values[i] != 0);
    // Only one fines exclusion can be chosen; a document that holds both
    // shows the plastic one disabled behind the wider one, and keeps it.
    chkEkidata[3]->setEnabled(values[2] == 0);
    chkEkidata[2]->setEnabled(values[2] != 0 || values[3] == 0);
    if (c.guideEdition == 1)
        optTigenShitei1[0]->setChecked(true);
    else
        optTigenShitei1[1]->setChecked(true);
    settingConditions_ = false;
}

void frmMain::ShowResult() {
    int count = static_cast<int>(std::min(doc.calcPoints.size(), doc.calcResults.size()));
    int k = 0;
    for (int i = 0; i < count; ++i)
        if (doc.calcPoints[static_cast<size_t>(i)].N != 0)
            ++k;
    if (k == 0) {
        vaSpreadE->hide();
        return;
    }
    vaSpreadE->show();
    vaSpreadE->SetMaxRows(k + 1);
    clsSpreadIn& bind = SpreadInE();
    bind.ResetSpread(vaSpreadE);
    int r = 0;
    for (int i = 0; i < count; ++i) {
        const CalcPoint& p = doc.calcPoints[static_cast<size_t>(i)];
        if (p.N == 0)
            continue;
        const CalcResult& q = doc.calcResults[static_cast<size_t>(i)];
        ++r;
        const double values[21] = {p.Depth,    p.N,       p.FC,  p.CC,   p.Ip,        p.SigmaZ,
                                   p.SigmaZe,  q.rn,      q.rd,  q.tauD, q.tauDRatio, q.cn,
                                   q.n1,       q.deltaNf, q.na,  q.tauL, q.tauLRatio, q.fl,
                                   q.dcyShare, q.plShare, q.beta};
        bind.iFG(r, 1);
        for (int s = 1; s <= 21; ++s)
            bind.DataD(s, r, values[s - 1]);
    }
    const CalcResult& last = doc.calcResults[static_cast<size_t>(count - 1)];
    bind.iFG(k + 1, 1);
    bind.DataD(19, k + 1, last.DcyTotal);
    bind.DataD(20, k + 1, last.PLTotal);
    bind.PrtSheet(0);
    for (int row = 1; row <= k; ++row)
        vaSpreadE->SetText(0, row, QString::number(row));
    vaSpreadE->SetText(0, k + 1, QStringLiteral("∑"));
    for (int c = 1; c <= 21; ++c)
        if (c != 19 && c != 20)
            vaSpreadE->SetText(c, k + 1, QString());
}

void frmMain::SetSpreadE() {
    vaSpreadE->SetMaxCols(21);
    PrepareHeader(vaSpreadE);
    SetHeaderHeightTwips(vaSpreadE, 400);
    clsSpreadIn& bind = SpreadInE();
    bind.SetSpread(vaSpreadE, 0, 21, 0);
    for (int c = 1; c <= 21; ++c) {
        const ColumnDef& def = kResultColumns[c - 1];
        vaSpreadE->SetText(c, 0, QString::fromUtf8(def.header));
        if (c == 14 || c == 21)
            bind.CreateCell2(c, def.slot, def.decimals, 0, def.max, def.inputLength, 1);
        else
            bind.CreateCell(c, def.slot, def.decimals, 0, def.max, def.inputLength);
        SetColumnWidthTwips(vaSpreadE, c, c == 11 || c == 17 ? 900 : 800);
    }
    vaSpreadE->setColumnHidden(3, doc.layerColumnUsed[3] == 0);
    vaSpreadE->setColumnHidden(4, doc.layerColumnUsed[4] == 0);
}
