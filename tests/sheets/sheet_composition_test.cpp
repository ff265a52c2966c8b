#include "sheets/sheet_composition.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/calc_driver.h"
#include "core/project_file.h"
#include "core/result_csv.h"
#include "sheets/sample_boring.h"
#include "sheets/sheet_test_support.h"

namespace {

using Bits = std::vector<std::uint8_t>;

Bits BitsOf(const clsStrMeta& canvas) {
    auto bits = canvas.PageBits();
    return Bits(bits.begin(), bits.end());
}

std::array<Bits, 6> Screen(const SheetCanvases& canvases) {
    std::array<Bits, 6> out;
    for (std::size_t i = 1; i <= 5; ++i)
        out[i] = BitsOf(canvases.viewMeta[i]);
    return out;
}

PrintItemFlags EightItems() {
    PrintItemFlags items{};
    for (std::size_t i = 0; i < 8; ++i)
        items[i] = 1;
    return items;
}

TEST(DrawViews, WholeFigureRecordsAllFiveCanvases) {
    SheetCanvases canvases;
    DrawViews(canvases, SampleBoring(), 0);
    EXPECT_FALSE(canvases.viewMeta[0].HasPage());
    for (std::size_t i = 1; i <= 5; ++i) {
        EXPECT_TRUE(canvases.viewMeta[i].HasPage()) << i;
        EXPECT_EQ(canvases.viewMeta[i].lMaxCol, 102);
    }
    EXPECT_EQ(canvases.screenLayout.depthRange, 21);
}

TEST(DrawViews, RedrawsTheViewAndTheDepthScaleAndFollowsARangeChange) {
    struct Case {
        int view;
        bool changeRange;
        std::array<bool, 6> redrawn;  // by canvas index
    };
    const Case cases[] = {
        {2, false, {false, false, true, false, false, false}},
        {1, false, {false, true, true, false, false, false}},
        {3, false, {false, false, true, true, false, false}},
        {4, false, {false, false, true, false, true, false}},
        {5, false, {false, false, true, false, false, true}},
        {2, true, {false, false, true, true, true, true}},
        {1, true, {false, true, true, true, true, true}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "view " << k.view << " range " << k.changeRange);
        Document doc = SampleBoring();
        SheetCanvases canvases;
        DrawViews(canvases, doc, 0);
        // Change something every canvas shows: the frame's axis, the N values,
        // the layers and the FL values, each within the same depth range, then
        // possibly the deepest N row.
        doc.nGraphMax = 40;
        doc.nPoints[0].N += 1;
        doc.layers[0].SoilCode = 300;
        doc.calcResults[0].fl = 0.3;
        doc.basicData.DatumToWaterLevel = 3;
        if (k.changeRange)
            doc.nPoints.back().Depth = 35;
        auto before = Screen(canvases);
        DrawViews(canvases, doc, k.view);
        auto after = Screen(canvases);
        for (std::size_t i = 1; i <= 5; ++i)
            EXPECT_EQ(before[i] != after[i], k.redrawn[i]) << "canvas " << i;
    }
}

TEST(DrawViews, PrintingNeverChangesTheNextScreenRedraw) {
    Document doc = SampleBoring();
    doc.layerColumnUsed.fill(1);
    Settings settings;
    FakePrinter a4 = A4Printer();
    SheetCanvases canvases;
    DrawViews(canvases, doc, 0);
    auto before = Screen(canvases);
    SheetLayout layoutBefore = canvases.screenLayout;

    ASSERT_EQ(DrawLogSheetPage(canvases, SheetInputs(doc, settings, &a4), EightItems()),
              PageStatus::kComposed);
    EXPECT_EQ(canvases.screenLayout.colX, layoutBefore.colX);
    EXPECT_EQ(canvases.screenLayout.depthRange, layoutBefore.depthRange);

    DrawViews(canvases, doc, 3);  // no frame redraw, no range change
    EXPECT_EQ(BitsOf(canvases.viewMeta[3]), before[3]);
    DrawViews(canvases, doc, 0);
    EXPECT_EQ(Screen(canvases), before);
}

TEST(DrawViews, FirstRedrawWithoutTheFrameStillHasItsLayout) {
    Document doc = SampleBoring();
    SheetCanvases fresh;
    DrawViews(fresh, doc, 3);
    SheetCanvases whole;
    DrawViews(whole, doc, 0);
    EXPECT_EQ(BitsOf(fresh.viewMeta[3]), BitsOf(whole.viewMeta[3]));
}

Bits ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bits(std::istreambuf_iterator<char>(in), {});
}

TEST(SaveLogSheetMetafile, SavesTheScreenFigureInOneFile) {
    Document doc = SampleBoring();
    doc.layerColumnUsed.fill(1);
    doc.prevPrintItems = EightItems();
    std::filesystem::path dir = QM_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(dir);
    std::filesystem::path path = dir / "sheets_sample.screen.wmf";
    ASSERT_TRUE(SaveLogSheetMetafile(doc, path.string()));

    Bits file = ReadFile(path);
    ASSERT_GT(file.size(), 22u);
    EXPECT_EQ(wmf::ReadU32(file, 0), 0x9AC6CDD7u);
    // The screen geometry (14232 × 20000 units), whatever is chosen for printing.
    EXPECT_EQ(wmf::ReadS16(file, 10), 14233);
    EXPECT_EQ(wmf::ReadS16(file, 12), 20001);
    auto saved = DrawOps(std::span<const std::uint8_t>(file).subspan(22));

    SheetCanvases canvases;
    DrawViews(canvases, doc, 0);
    std::vector<std::string> screenTexts;
    for (std::size_t i = 1; i <= 5; ++i)
        for (const DrawOp& op : DrawOps(canvases.viewMeta[i]))
            if (op.IsText())
                screenTexts.push_back(op.text);
    std::vector<std::string> savedTexts;
    for (const DrawOp& op : saved)
        if (op.IsText())
            savedTexts.push_back(op.text);
    EXPECT_EQ(savedTexts, screenTexts);  // no header block, constants or footer
    EXPECT_TRUE(TextOps(saved, "FC").empty());

    EXPECT_FALSE(SaveLogSheetMetafile(doc, (dir / "no-such-folder" / "x.wmf").string()));
}

TEST(DrawLogSheetPage, ColourFollowsTheSettingAndTheHeaderAndFooterAreDrawn) {
    Document doc = SampleBoring();
    FakePrinter a4 = A4Printer();
    for (int colour : {0, 1, 2}) {
        Settings settings;
        settings.colorPrint = static_cast<std::int16_t>(colour);
        settings.headerFooterText = {"", "", "", "left foot", "", ""};
        SheetCanvases canvases;
        ASSERT_EQ(DrawLogSheetPage(canvases, SheetInputs(doc, settings, &a4), PrintItemFlags{}),
                  PageStatus::kComposed);
        auto ops = DrawOps(canvases.pageMeta[1]);
        bool blue = false;
        for (const DrawOp& op : ops)
            blue = blue || (op.IsLine() && op.pen.color == static_cast<std::uint32_t>(kBlue));
        EXPECT_EQ(blue, colour != 0);
        EXPECT_EQ(TextOps(ops, "left foot").size(), 1u);
        EXPECT_EQ(canvases.pageMeta[1].lMaxCol, 140);
    }
}

TEST(DrawLogSheetPage, WithoutAPrinterIsAnErrorAndLeavesThePage) {
    Document doc = SampleBoring();
    Settings settings;
    FakePrinter a4 = A4Printer();
    FakePrinter none(0, 4961, 7016);
    SheetCanvases canvases;
    ASSERT_EQ(DrawLogSheetPage(canvases, SheetInputs(doc, settings, &a4), PrintItemFlags{}),
              PageStatus::kComposed);
    Bits page = BitsOf(canvases.pageMeta[1]);
    EXPECT_EQ(DrawLogSheetPage(canvases, SheetInputs(doc, settings, &none), PrintItemFlags{}),
              PageStatus::kNoPrinter);
    EXPECT_EQ(DrawLogSheetPage(canvases, SheetInputs(doc, settings, nullptr), PrintItemFlags{}),
              PageStatus::kNoPrinter);
    EXPECT_EQ(BitsOf(canvases.pageMeta[1]), page);
}

}  // namespace

namespace {

// Documents with depths and thicknesses no boring has, as a crafted project
// file can hold them (the grids never let them in).
struct HostileCase {
    const char* name;
    Document doc;
};

Document ReadFixture(const char* name) {
    std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/project/hostile/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Document doc;
    EXPECT_EQ(ParseProjectFile(bytes, doc), kProjectFileOk) << name;
    return doc;
}

std::vector<HostileCase> HostileCases() {
    std::vector<HostileCase> cases;
    cases.push_back({"thick_layer.qmf", ReadFixture("thick_layer.qmf")});
    cases.push_back({"huge_depth.qmf", ReadFixture("huge_depth.qmf")});
    Document every = SampleBoring();
    every.layers.clear();
    for (int kind = 1; kind <= 9; ++kind) {
        LayerRecord layer;
        layer.Thickness = 1e9;
        layer.SoilCode = kind * 100 + kind % 8 + 1;
        every.layers.push_back(layer);
    }
    cases.push_back({"every pattern 1e9 m thick", every});
    Document thickest = SampleBoring();
    thickest.layers.front().Thickness = 1e308;
    thickest.layers.front().SoilCode = 603;
    cases.push_back({"a layer 1e308 m thick", thickest});
    Document values = SampleBoring();
    values.nPoints.front().N = -1e308;
    values.nPoints.back().Depth = 1e308;
    values.basicData.DatumToWaterLevel = -1e308;
    for (CalcPoint& point : values.calcPoints)
        point.Depth = 1e308;
    for (CalcResult& result : values.calcResults)
        result.fl = -1e308;
    cases.push_back({"N, FL and water far off the axis", values});
    return cases;
}

}  // namespace

// Whatever the document holds, the work of a page is bounded by the page:
// every record lies on it, and the recordings stay small.
TEST(HostileDocuments, EveryDrawingStaysOnItsPage) {
    Settings settings;
    FakePrinter a4 = A4Printer();
    PrintItemFlags all{};
    all.fill(1);
    for (HostileCase& c : HostileCases()) {
        SCOPED_TRACE(c.name);
        SheetCanvases canvases;
        DrawViews(canvases, c.doc, 0);
        SheetInputs in(c.doc, settings, &a4);
        ASSERT_EQ(DrawLogSheetPage(canvases, in, all), PageStatus::kComposed);
        ASSERT_EQ(DrawResultSheetPage(canvases, in), PageStatus::kComposed);
        std::vector<const clsStrMeta*> pages;
        for (std::size_t i = 1; i <= 5; ++i)
            pages.push_back(&canvases.viewMeta[i]);
        pages.push_back(&canvases.pageMeta[1]);
        pages.push_back(&canvases.pageMeta[2]);
        for (const clsStrMeta* page : pages) {
            EXPECT_LT(page->PageBits().size(), 1000000u);
            for (const DrawOp& op : DrawOps(*page)) {
                if (op.IsText())
                    continue;  // a text's place is checked by its kind below
                for (const wmf::Point& p : op.points) {
                    SCOPED_TRACE(testing::Message()
                                 << "record " << op.function << " at " << p.x << ", " << p.y);
                    ASSERT_GE(p.x, -page->lXM / 100);
                    ASSERT_LE(p.x, page->lXM + page->lXM / 100);
                    ASSERT_GE(p.y, -page->lYM / 100);
                    ASSERT_LE(p.y, page->lYM + page->lYM / 100);
                }
            }
            for (const DrawOp& op : OpsWhere(DrawOps(*page), &DrawOp::IsText)) {
                ASSERT_GE(op.at.y, 0);
                ASSERT_LE(op.at.y, page->lYM);
            }
        }
    }
}

namespace {

class QuietLabel : public CalcMessageSink {
  public:
    void SetCalcMessage(const std::string&) override {}
};

}  // namespace

// The files the open-file fuzz target once failed on (project/fuzz/) and the
// hostile fixtures: each goes through the chain a user sets off by opening
// it (read, calculate, results file, screen figures, both printed pages),
// and every recording stays small.
TEST(HostileDocuments, OpeningKeptFindingsStaysBounded) {
    namespace fs = std::filesystem;
    Settings settings;
    FakePrinter a4 = A4Printer();
    for (const char* kept : {"hostile", "fuzz"}) {
        fs::path folder = fs::path(QM_TEST_DATA_DIR) / "project" / kept;
        if (!fs::exists(folder))
            continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
            Document doc;
            NewDocument(doc);
            if (ParseProjectFile(bytes, doc) != kProjectFileOk)
                continue;
            QuietLabel label;
            CalcLiquefaction(doc, label);
            EXPECT_FALSE(ResultCsvBytes(doc, Date{2024, 5, 13}).empty());
            SheetCanvases canvases;
            DrawViews(canvases, doc, 0);
            SheetInputs inputs(doc, settings, &a4);
            ASSERT_EQ(DrawLogSheetPage(canvases, inputs, doc.prevPrintItems),
                      PageStatus::kComposed);
            ASSERT_EQ(DrawResultSheetPage(canvases, inputs), PageStatus::kComposed);
            for (std::size_t i = 1; i <= 5; ++i)
                EXPECT_LT(canvases.viewMeta[i].PageBits().size(), 1000000u) << i;
            EXPECT_LT(canvases.pageMeta[1].PageBits().size(), 1000000u);
            EXPECT_LT(canvases.pageMeta[2].PageBits().size(), 1000000u);
        }
    }
}
