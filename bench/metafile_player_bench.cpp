#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <string>

#include "canvas/clsStrMeta.h"
#include "canvas/wmf_format.h"
#include "output/metafile_player.h"
#include "support/qt_application.h"

namespace {

// A printed page of about 5 000 records: ruled tables, hatched polygons,
// pen and brush changes, circles and rows of text, as a busy sheet has.
clsStrMeta BusyPage() {
    clsStrMeta meta;
    meta.PicStart(20000, 20000, 170, 257, 140, 70, 1.2);
    for (int row = 1; row <= 88; ++row) {
        meta.PicPen(row % 3 == 0 ? 2 : 0, 1 + row % 2, 0x000000);
        const double x[] = {0, 140};
        const double y[] = {static_cast<double>(row), static_cast<double>(row)};
        meta.PicLineT(2, x, y);
        for (int col = 0; col < 7; ++col) {
            meta.PicTextT(2 + col * 19, row, "12.345 砂質土", col % 2 ? 0x0000FF : 0);
            meta.PicBrush(0x101010 * (col + 1));
            const double px[] = {col * 24.0, col * 24.0 + 10, col * 24.0 + 5};
            const double py[] = {row * 2.9, row * 2.9, row * 2.9 + 2};
            meta.PicPolyPaint(3, px, py);
            meta.PicArcPaint(col * 24.0 + 20, row * 2.9 + 1, 1, 0);
            const double hx[] = {col * 24.0, col * 24.0 + 4, col * 24.0 + 8, col * 24.0 + 12};
            const double hy[] = {row * 2.9, row * 2.9 + 2, row * 2.9, row * 2.9 + 2};
            meta.PicLine(4, hx, hy);
        }
    }
    meta.PicEnd();
    return meta;
}

int RecordCount(const clsStrMeta& meta) {
    int n = 0;
    wmf::RecordReader reader(meta.PageBits());
    while (reader.Next())
        ++n;
    return n;
}

void BM_ReplayPageOntoA4At150Dpi(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EnsureQtApplication();
    clsStrMeta meta = BusyPage();
    // A4 at 150 dpi.
    QImage image(1240, 1754, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        meta.PicPlay(PainterTarget(painter), 0, 0, image.width(), image.height());
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["records"] = RecordCount(meta);
}
BENCHMARK(BM_ReplayPageOntoA4At150Dpi)->Unit(benchmark::kMillisecond);

void BM_RecordAndSaveBusyPage(benchmark::State& state) {
    std::string path = "/tmp/qm_bench_page.wmf";
    for (auto _ : state) {
        clsStrMeta meta = BusyPage();
        benchmark::DoNotOptimize(meta.SaveTheMetafile(path));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_RecordAndSaveBusyPage)->Unit(benchmark::kMillisecond);

}  // namespace
