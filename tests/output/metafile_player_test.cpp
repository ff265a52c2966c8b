#include "output/metafile_player.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <filesystem>

#include "canvas/clsStrMeta.h"
#include "support/qt_application.h"

namespace {

const QRgb kUntouched = qRgb(255, 0, 255);

QImage Canvas(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kUntouched);
    return image;
}

void Play(const clsStrMeta& meta, QImage& image, int x1, int y1, int x2, int y2) {
    QPainter painter(&image);
    meta.PicPlay(PainterTarget(painter), x1, y1, x2, y2);
}

bool IsDark(QRgb c) {
    return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}

// The box of the pixels that satisfy pick; empty when none does.
template <typename Pick>
QRect BoxOf(const QImage& image, Pick pick) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pick(image.pixel(x, y)))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureQtApplication(); }
};

// A page 100 × 50 mm filled black from edge to edge.
clsStrMeta FilledPage() {
    clsStrMeta meta;
    meta.PicStart(2000, 2000, 100, 50, 10, 5, 1.0);
    meta.PicPen(5, 0, 0);  // no outline
    const double x[] = {0, 100, 100, 0};
    const double y[] = {0, 0, 50, 50};
    meta.PicPolyPaint(4, x, y);
    meta.PicEnd();
    return meta;
}

TEST_F(PlayerTest, PageFitsTheRectangleFromItsTopLeftCorner) {
    clsStrMeta meta = FilledPage();
    // A rectangle twice as wide as the page's aspect: full height, left half.
    QImage image = Canvas(500, 150);
    Play(meta, image, 20, 10, 420, 110);
    EXPECT_EQ(BoxOf(image, [](QRgb c) { return c != kUntouched; }), QRect(20, 10, 200, 100));
    EXPECT_TRUE(IsDark(image.pixel(21, 11)));
    EXPECT_TRUE(IsDark(image.pixel(218, 108)));
    // A tall rectangle: full width, top part.
    QImage tall = Canvas(200, 300);
    Play(meta, tall, 0, 0, 200, 300);
    EXPECT_EQ(BoxOf(tall, [](QRgb c) { return c != kUntouched; }), QRect(0, 0, 200, 100));
}

TEST_F(PlayerTest, NoPageDrawsNothing) {
    clsStrMeta meta;
    QImage image = Canvas(50, 50);
    Play(meta, image, 0, 0, 50, 50);
    meta.PicStart(2000, 2000, 100, 100, 10, 10, 1.0);
    meta.PicArcPaint(50, 50, 40, 0);
    Play(meta, image, 0, 0, 50, 50);  // still recording
    EXPECT_TRUE(BoxOf(image, [](QRgb c) { return c != kUntouched; }).isEmpty());
}

TEST_F(PlayerTest, ThinLinesStayVisibleAndDotsHaveGaps) {
    clsStrMeta meta;
    meta.PicStart(20000, 20000, 100, 100, 10, 10, 1.0);
    meta.PicPen(0, 1, 0);
    const double x[] = {10, 90};
    const double solidY[] = {30, 30};
    meta.PicLine(2, x, solidY);
    meta.PicPen(2, 1, 0);
    const double dotY[] = {60, 60};
    meta.PicLine(2, x, dotY);
    meta.PicEnd();
    // 20000 units onto 200 pixels: one unit is a hundredth of a pixel.
    QImage image = Canvas(200, 200);
    image.fill(Qt::white);
    Play(meta, image, 0, 0, 200, 200);
    int solid = 0, dotted = 0;
    for (int px = 25; px < 175; ++px) {
        solid += IsDark(image.pixel(px, 60));
        dotted += IsDark(image.pixel(px, 120));
    }
    EXPECT_EQ(solid, 150);
    EXPECT_GT(dotted, 20);
    EXPECT_LT(dotted, 130);
}

TEST_F(PlayerTest, AlternateFillingLeavesTheStarsCentreEmpty) {
    clsStrMeta meta;
    meta.PicStart(1000, 1000, 100, 100, 10, 10, 1.0);
    meta.PicPen(5, 0, 0);
    double x[5], y[5];
    for (int i = 0; i < 5; ++i) {
        double a = (-90 + i * 144) * 3.14159265358979 / 180;
        x[i] = 50 + 45 * std::cos(a);
        y[i] = 50 + 45 * std::sin(a);
    }
    meta.PicPolyPaint(5, x, y);
    meta.PicEnd();
    QImage image = Canvas(100, 100);
    Play(meta, image, 0, 0, 100, 100);
    EXPECT_EQ(image.pixel(50, 52), kUntouched);  // the pentagon in the middle
    EXPECT_TRUE(IsDark(image.pixel(50, 12)));    // a point of the star
}

TEST_F(PlayerTest, ArcsRunCounterClockwiseOnThePage) {
    clsStrMeta meta;
    meta.PicStart(1000, 1000, 100, 100, 10, 10, 1.0);
    meta.PicPen(0, 20, 0);
    meta.PicArc(50, 50, 30, 0, 90);  // from the right ray up and round to the down ray
    meta.PicEnd();
    QImage image = Canvas(100, 100);
    Play(meta, image, 0, 0, 100, 100);
    EXPECT_TRUE(IsDark(image.pixel(50, 20)));   // top
    EXPECT_TRUE(IsDark(image.pixel(20, 50)));   // left
    EXPECT_TRUE(IsDark(image.pixel(50, 80)));   // bottom, its end
    EXPECT_FALSE(IsDark(image.pixel(71, 71)));  // down-right, outside the arc
}

TEST_F(PlayerTest, TextGlyphsFallInsideTheirByteColumns) {
    clsStrMeta meta;
    meta.PicStart(2000, 2000, 200, 100, 40, 10, 1.0);  // cells 50 × 100 units
    meta.PicTextT(4, 3, "A漢B", 0);
    meta.PicEnd();
    QImage image = Canvas(400, 200);
    Play(meta, image, 0, 0, 400, 200);
    // 0.2 pixels a unit. Four byte columns of 50 units from column 4: x 200..400
    // units, 40..80 px; row 3 at y = (100 - 100) / 2 + 2 × 100 units = 40 px,
    // 20 px high.
    QRect box(40, 40, 40, 20);
    QRect ink = BoxOf(image, IsDark);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(box.contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    // Each character stays in its own columns: A in 40..50, 漢 in 50..70, B in 70..80.
    auto inkIn = [&](int from, int to) {
        return BoxOf(image.copy(from, 0, to - from, 200), IsDark);
    };
    QRect a = inkIn(40, 50), kan = inkIn(50, 70), b = inkIn(70, 80);
    EXPECT_FALSE(a.isEmpty());
    EXPECT_GT(kan.width(), 12);  // a full-width glyph spreads over both columns
    EXPECT_FALSE(b.isEmpty());
    // The opaque background box covers the columns and nothing else.
    EXPECT_EQ(BoxOf(image, [](QRgb c) { return c != kUntouched; }), box);
}

TEST_F(PlayerTest, ScreenPageForPeopleToLookAt) {
    clsStrMeta meta;
    meta.PicStart(20000, 20000, 190.0, 267.0, 100, 60, 1.2);
    meta.PicPen(0, 10, 0);
    const double x[] = {5, 185, 185, 5};
    const double y[] = {5, 5, 262, 262};
    meta.PicPoly(4, x, y);
    meta.PicTextT(3, 2, "液状化判定結果  FL = 0.852", 0);
    meta.PicFont("", 2, 2, 0);
    meta.PicTextT(3, 4, "ボーリング柱状図", 0x0000C0);
    meta.PicBrush(0xC0E0FF);
    meta.PicArcPaint(95, 150, 30, 20);
    meta.PicEnd();
    QImage image(760, 1068, QImage::Format_RGB32);
    image.fill(Qt::white);
    Play(meta, image, 0, 0, image.width(), image.height());
    std::filesystem::create_directories(QM_TEST_OUTPUT_DIR);
    EXPECT_TRUE(image.save(QString(QM_TEST_OUTPUT_DIR) + "/player_screen_page.png"));
    EXPECT_FALSE(BoxOf(image.copy(0, 0, 760, 120), IsDark).isEmpty());
}

}  // namespace
