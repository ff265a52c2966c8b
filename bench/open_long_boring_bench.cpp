// What a user waits through when opening the longest boring a project file
// holds: 32 767 N-value rows, one every centimetre down to 327.67 m, calculated
// to the deepest calculation depth, from the File menu's Open until the
// window has shown it (the grids filled, the figure drawn, the events of the
// moment handled). Also a boring of 1 000 rows, for the usual case.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/project_file.h"
#include "core/soil_names.h"
#include "sheets/sheet_context.h"
#include "support/qt_application.h"

#if __has_include("ui/main_window/frmMain.h")
#include "ui/main_window/frmMain.h"
#include "ui/platform/fake_platform_services.h"
#else
#include "ui/fake_platform_services.h"
#include "ui/frmMain.h"
#endif

namespace {

// `rows` N values one centimetre apart over 60 layers, calculated to 99 m.
Document LongBoring(int rows) {
    Document doc;
    NewDocument(doc);
    const double depth = rows / 100.0;
    for (int i = 0; i < 60; ++i) {
        LayerRecord layer;
        layer.Thickness = depth / 60;
        layer.SoilName = i % 2 == 0 ? "細砂" : "シルト";
        layer.SoilCode = i % 2 == 0 ? 700 : 400;
        layer.gamma = 18 + i % 3;
        layer.FC = 5 + (i * 7) % 40;
        doc.layers.push_back(layer);
    }
    for (int i = 1; i <= rows; ++i)
        doc.nPoints.push_back(NPoint{i / 100.0, 3.0 + (i * 11) % 40, 30, 0});
    doc.basicData.DatumToWaterLevel = 2;
    doc.calcConditions.calcDepth = 99;
    return doc;
}

struct OpenWindow {
    Document doc;
    Settings settings;
    SheetCanvases canvases;
    FakePlatformServices services;
    std::unique_ptr<frmMain> form;
    std::filesystem::path folder;

    OpenWindow() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        EnsureQtApplication();
        folder = std::filesystem::temp_directory_path() / "qm_open_long_boring_bench";
        std::filesystem::create_directories(folder);
        NewDocument(doc);
        SetDefaultSoilNames(settings);
        form = std::make_unique<frmMain>(doc, settings, canvases, services);
        form->RunModal = [](QDialog&) { return 0; };
        form->FormLoad();
        form->resize(1280, 900);
        form->show();
        QApplication::processEvents();
    }

    std::string File(int rows) {
        const std::string path = (folder / ("rows" + std::to_string(rows) + ".qmf")).string();
        if (!std::filesystem::exists(path) && WriteProjectFile(path, LongBoring(rows)) != 0)
            return {};
        return path;
    }

    // Opens the file and lets the window show it.
    bool Open(const std::string& path) {
        const bool opened = form->OpenProjectPath(path);
        QApplication::processEvents();
        form->repaint();
        QApplication::processEvents();
        return opened;
    }
};

OpenWindow& Window() {
    static OpenWindow window;
    return window;
}

void BM_OpenToIdle(benchmark::State& state) {
    OpenWindow& w = Window();
    const int rows = static_cast<int>(state.range(0));
    const std::string path = w.File(rows);
    if (path.empty()) {
        state.SkipWithError("the boring could not be written");
        return;
    }
    for (auto _ : state) {
        if (!w.Open(path)) {
            state.SkipWithError("the boring did not open");
            return;
        }
    }
    state.counters["nRows"] = static_cast<double>(w.doc.nPoints.size());
    state.counters["points"] = static_cast<double>(w.doc.calcPoints.size());
}
BENCHMARK(BM_OpenToIdle)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
