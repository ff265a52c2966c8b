// What a user waits through after typing one N value and leaving the cell:
// the cell's check and the document update, the calculation, the figures
// drawn again and the figure pane painted into its backing image. It must fit
// in one frame at 60 Hz (16 ms) on the deepest borings users keep. The stages
// are measured one by one too, to show where the time goes.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <memory>

#include "core/soil_names.h"
#include "deep_boring.h"
#include "sheets/sheet_context.h"
#include "support/qt_application.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"
#include "ui/platform/fake_platform_services.h"

namespace {

// The N value typed on the middle row of the boring.
constexpr int kRow = 150;
constexpr int kColN = 2;

// The main window on the 300 m boring, shown offscreen.
struct DeepWindow {
    Document doc;
    Settings settings;
    SheetCanvases canvases;
    FakePlatformServices services;
    std::unique_ptr<frmMain> form;

    DeepWindow() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        EnsureQtApplication();
        NewDocument(doc);
        SetDefaultSoilNames(settings);
        form = std::make_unique<frmMain>(doc, settings, canvases, services);
        form->RunModal = [](QDialog&) { return 0; };
        std::string folder = doc.currentFolder;
        doc = DeepBoring();
        doc.currentFolder = folder;
        form->FormLoad();
        form->resize(1280, 900);
        form->show();
        QApplication::processEvents();
    }

    QWidget& Pane() { return *form->picShow[0]; }

    // Types one N value into the middle row and leaves the cell for the row
    // below, as the Enter key does; every call types a different value.
    void TypeN() {
        n_ = n_ == 12 ? 13 : 12;
        form->vaSpreadN->SetText(kColN, kRow, QString::number(n_));
        form->vaSpreadN_LeaveCell(kColN, kRow, kColN, kRow + 1);
    }

  private:
    int n_ = 12;
};

DeepWindow& Window() {
    static DeepWindow window;
    return window;
}

bool Calculated(DeepWindow& w) {
    const double typed = w.doc.nPoints[kRow - 1].N;
    return w.doc.calcPoints.size() == 300 && w.doc.nPoints.size() == 300 &&
           (typed == 12 || typed == 13) && w.Pane().isVisible() && w.canvases.viewMeta[1].lXM > 0;
}

void BM_EditChain_TypeOneN(benchmark::State& state) {
    DeepWindow& w = Window();
    for (auto _ : state) {
        w.TypeN();
        w.Pane().repaint();
    }
    if (!Calculated(w))
        state.SkipWithError("the value is not taken, or the boring not calculated or shown");
    state.counters["paneWidth"] = w.Pane().width();
    state.counters["paneHeight"] = w.Pane().height();
}
BENCHMARK(BM_EditChain_TypeOneN)->Unit(benchmark::kMillisecond);

// The stages of the chain, in its order.
void BM_Stage_CalcLiquefaction(benchmark::State& state) {
    DeepWindow& w = Window();
    for (auto _ : state)
        w.form->Recalculate();
}
BENCHMARK(BM_Stage_CalcLiquefaction)->Unit(benchmark::kMillisecond);

void BM_Stage_ShowResult(benchmark::State& state) {
    DeepWindow& w = Window();
    for (auto _ : state)
        w.form->ShowResult();
}
BENCHMARK(BM_Stage_ShowResult)->Unit(benchmark::kMillisecond);

void BM_Stage_DrawViews(benchmark::State& state) {
    DeepWindow& w = Window();
    const int view = static_cast<int>(state.range(0));
    for (auto _ : state)
        w.form->DrawViews(view);
}
BENCHMARK(BM_Stage_DrawViews)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_Stage_PaneRepaint(benchmark::State& state) {
    DeepWindow& w = Window();
    for (auto _ : state)
        w.Pane().repaint();
}
BENCHMARK(BM_Stage_PaneRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
