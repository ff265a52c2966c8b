#include "sheets/sheet_context.h"

#include <gtest/gtest.h>

#include "sheets/sheet_test_support.h"

namespace {

TEST(SheetContext, ScreenCanvasHas102ColumnsBy60Rows) {
    clsStrMeta canvas;
    StartScreenCanvas(canvas);
    canvas.PicEnd();
    EXPECT_EQ(canvas.lMaxCol, 102);
    EXPECT_EQ(canvas.lMaxRow, 60);
    EXPECT_EQ(canvas.lXM, 14232);
    EXPECT_EQ(canvas.lYM, 20000);
}

TEST(SheetContext, PrintedPageTakesPaperLessMargins) {
    Document doc;
    Settings settings;  // margins 20 mm each
    FakePrinter a4 = A4Printer();
    SheetInputs in{doc, settings, &a4};
    clsStrMeta canvas;
    ASSERT_EQ(StartPrintedPage(canvas, in), PageStatus::kComposed);
    canvas.PicEnd();
    PrintedPageSize size;
    ASSERT_EQ(PrintablePageSize(&a4, settings, size), PageStatus::kComposed);
    EXPECT_NEAR(size.width, 4961 / (600 / 25.4) - 40, 1e-9);
    EXPECT_NEAR(size.height, 7016 / (600 / 25.4) - 40, 1e-9);
    EXPECT_GE(canvas.lMaxCol, 140);
    EXPECT_GE(canvas.lMaxRow, 70);
}

TEST(SheetContext, NoPrinterGeometryIsAnErrorNotADivision) {
    Document doc;
    Settings settings;
    FakePrinter none(0, 0, 0);
    FakePrinter tiny(10, 300, 300);  // 30 × 30 mm paper with 20 mm margins
    clsStrMeta canvas;
    EXPECT_EQ(StartPrintedPage(canvas, SheetInputs{doc, settings, nullptr}),
              PageStatus::kNoPrinter);
    EXPECT_EQ(StartPrintedPage(canvas, SheetInputs{doc, settings, &none}), PageStatus::kNoPrinter);
    EXPECT_EQ(StartPrintedPage(canvas, SheetInputs{doc, settings, &tiny}),
              PageStatus::kNoPrintableArea);
    EXPECT_FALSE(canvas.HasPage());
}

}  // namespace
