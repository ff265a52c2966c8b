#include "sheets/cell_text.h"

#include <gtest/gtest.h>

#include "sheets/sheet_context.h"
#include "sheets/sheet_test_support.h"

namespace {

// The canvas after one drawing step on the screen geometry.
template <typename F>
clsStrMeta Drawn(F draw) {
    clsStrMeta canvas;
    StartScreenCanvas(canvas);
    draw(canvas);
    canvas.PicEnd();
    return canvas;
}

std::vector<DrawOp> Texts(const clsStrMeta& canvas) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : DrawOps(canvas))
        if (op.IsText())
            out.push_back(op);
    return out;
}

TEST(DrawCellText, EmptyTextDrawsNothing) {
    clsStrMeta canvas = Drawn([](clsStrMeta& c) { DrawCellText(c, 10, 20, 5, ""); });
    EXPECT_TRUE(Texts(canvas).empty());
}

TEST(DrawCellText, CentresOrCondensesByCodePageWidth) {
    struct Case {
        std::string text;
        double x1, x2;
        double startCol;    // where the text begins
        double widthRatio;  // font width relative to the standard font
    };
    const Case cases[] = {
        {"abcd", 10, 20, 13, 1.0},          // 4 bytes in 10 columns: centred
        {"工事", 10, 20, 13, 1.0},          // two full-width characters count 4
        {"FC", 40, 45, 41.5, 1.0},          // 2 bytes
        {"abcdefghijkl", 10, 16, 10, 0.5},  // 12 bytes in 6 columns: condensed
        {"abcdef", 10, 16, 10, 1.0},        // exactly fits: pitch 1, centred at x1
        {"ｱｲｳ", 0, 3, 0, 1.0},              // half-width katakana count 1 each
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        clsStrMeta canvas = Drawn([&](clsStrMeta& c) { DrawCellText(c, k.x1, k.x2, 7, k.text); });
        CellSize cell = ScreenCell(canvas);
        auto texts = Texts(canvas);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, k.text);
        EXPECT_NEAR(cell.Col(texts[0].at.x), k.startCol, 0.01);
        EXPECT_NEAR(texts[0].at.y, cell.TextRowY(7), 1);
        EXPECT_NEAR(texts[0].font.width, cell.width * k.widthRatio, 0.5);
        EXPECT_NEAR(texts[0].font.height, 2 * cell.width, 0.5);
    }
}

TEST(DrawCellText, LeavesTheStandardFontWhateverWasSetBefore) {
    clsStrMeta canvas = Drawn([](clsStrMeta& c) {
        c.PicFont("", 0.3, 1.0, 0);
        DrawCellText(c, 0, 10, 3, "ab");  // written in the font in force
        DrawCellText(c, 0, 1, 4, "abcd");
        c.PicTextT(0, 5, "x", 0);
    });
    CellSize cell = ScreenCell(canvas);
    auto texts = Texts(canvas);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NEAR(texts[0].font.width, cell.width * 0.3, 0.5);
    EXPECT_NEAR(texts[1].font.width, cell.width * 0.25, 0.5);
    EXPECT_NEAR(texts[2].font.width, cell.width, 0.5);
}

TEST(DrawCellTextB, WritesHalfSizeThenRestoresTheFont) {
    clsStrMeta canvas = Drawn([](clsStrMeta& c) {
        DrawCellTextB(c, 30.5, 4.5, "3");
        c.PicTextT(0, 5, "x", 0);
    });
    CellSize cell = ScreenCell(canvas);
    auto texts = Texts(canvas);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "3");
    EXPECT_NEAR(cell.Col(texts[0].at.x), 30.5, 0.01);
    EXPECT_NEAR(texts[0].at.y, cell.TextRowY(4.5), 1);
    EXPECT_NEAR(texts[0].font.width, cell.width / 2, 0.5);
    EXPECT_NEAR(texts[0].font.height, cell.width, 0.5);
    EXPECT_NEAR(texts[1].font.width, cell.width, 0.5);
}

}  // namespace
