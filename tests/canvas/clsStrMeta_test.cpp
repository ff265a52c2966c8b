#include "canvas/clsStrMeta.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "canvas/canvas_support.h"

namespace {

using ::testing::ElementsAre;

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The screen and saved-figure page.
void StartScreenPage(clsStrMeta& meta) {
    meta.PicStart(20000, 20000, 190.0, 267.0, 100, 60, 1.2);
}

wmf::LogFont FontOf(const CopiedRecord& r) {
    EXPECT_EQ(r.function, wmf::kCreateFontIndirect);
    wmf::LogFont f;
    f.height = r.words[0];
    f.width = r.words[1];
    f.escapement = r.words[2];
    return f;
}

struct Geometry {
    std::int32_t maxX, maxY;
    double viewX, viewY;
    std::int32_t needCol, needRow;
    double rowSize;
    std::int32_t xm, ym, maxCol, maxRow;
    std::int16_t fontWidth, fontHeight;
};

TEST(PicStart, FitsThePageAndItsTextGrid) {
    const Geometry cases[] = {
        {20000, 20000, 190.0, 267.0, 100, 60, 1.2, 14232, 20000, 102, 60, 139, 278},
        // 94.5 units of font width goes to the even 94.
        {20000, 20000, 170.0, 257.0, 140, 70, 1.2, 13230, 20000, 140, 88, 94, 189},
    };
    for (const Geometry& g : cases) {
        clsStrMeta meta;
        meta.PicStart(g.maxX, g.maxY, g.viewX, g.viewY, g.needCol, g.needRow, g.rowSize);
        meta.PicEnd();
        EXPECT_EQ(meta.lXM, g.xm);
        EXPECT_EQ(meta.lYM, g.ym);
        EXPECT_EQ(meta.lMaxCol, g.maxCol);
        EXPECT_EQ(meta.lMaxRow, g.maxRow);
        auto records = RecordsOf(meta.PageBits());
        ASSERT_GE(records.size(), 7u);
        wmf::LogFont font = FontOf(records[5]);
        EXPECT_EQ(font.width, g.fontWidth) << g.viewX;
        EXPECT_EQ(font.height, g.fontHeight) << g.viewX;
    }
}

TEST(PicStart, CellUnitsInViewUnits) {
    clsStrMeta meta;
    StartScreenPage(meta);
    EXPECT_NEAR(meta.ColX(1), 1.854167, 1e-6);
    EXPECT_NEAR(meta.RowY(1), 4.45, 1e-9);
    meta.PicEnd();
    EXPECT_NEAR(meta.ColX(2), 2 * 1.854167, 1e-6);
}

TEST(Recording, SmallPageRecordByRecord) {
    clsStrMeta meta;
    StartScreenPage(meta);
    meta.PicPen(2, 5, 0x0000FF);
    meta.PicBrush(0x00FF00);
    meta.PicFont("", 1, 1, 0);   // the font in force: no new font
    meta.PicFont("", 1, 1, 90);  // only the angle differs
    const double lx[] = {1, 2};
    const double ly[] = {3, 4};
    meta.PicLine(2, lx, ly);
    const double px[] = {0, 10, 10};
    const double py[] = {0, 0, 10};
    meta.PicPoly(3, px, py);
    meta.PicPolyPaintT(3, px, py);
    meta.PicArc(10, 10, 2, 0, 90);
    meta.PicTextT(1, 1, "Aあ", 0x0000FF);
    meta.PicTextT(1, 2, "B", 0x0000FF);  // same colour: no SETTEXTCOLOR
    meta.PicEnd();

    auto r = RecordsOf(meta.PageBits());
    std::vector<std::uint16_t> functions;
    for (const auto& record : r)
        functions.push_back(record.function);
    EXPECT_THAT(functions,
                ElementsAre(wmf::kSetBkMode, wmf::kCreatePenIndirect, wmf::kSelectObject,
                            wmf::kCreateBrushIndirect, wmf::kSelectObject, wmf::kCreateFontIndirect,
                            wmf::kSelectObject,
                            // PicPen, PicBrush, PicFont
                            wmf::kCreatePenIndirect, wmf::kSelectObject, wmf::kDeleteObject,
                            wmf::kCreateBrushIndirect, wmf::kSelectObject, wmf::kDeleteObject,
                            wmf::kCreateFontIndirect, wmf::kSelectObject, wmf::kDeleteObject,
                            wmf::kPolyline, wmf::kPolyline, wmf::kPolygon, wmf::kArc,
                            wmf::kSetTextColor, wmf::kTextOut, wmf::kTextOut, wmf::kEof));
    const double s = 20000.0 / 267.0;
    EXPECT_EQ(r[0].words, (std::vector<std::int16_t>{wmf::kOpaque}));
    EXPECT_EQ(r[1].words, (std::vector<std::int16_t>{0, 1, 0, 0, 0}));  // solid, 1 wide, black
    EXPECT_EQ(r[2].words, (std::vector<std::int16_t>{0}));
    EXPECT_EQ(r[3].words, (std::vector<std::int16_t>{0, 0, 0, 0}));  // solid black brush
    EXPECT_EQ(r[4].words, (std::vector<std::int16_t>{1}));
    EXPECT_EQ(r[6].words, (std::vector<std::int16_t>{2}));
    // New objects take the lowest free slot; the replaced one's slot is freed.
    EXPECT_EQ(r[7].words, (std::vector<std::int16_t>{2, 5, 0, 0xFF, 0}));
    EXPECT_EQ(r[8].words, (std::vector<std::int16_t>{3}));
    EXPECT_EQ(r[9].words, (std::vector<std::int16_t>{0}));
    EXPECT_EQ(r[10].words, (std::vector<std::int16_t>{0, static_cast<std::int16_t>(0xFF00), 0, 0}));
    EXPECT_EQ(r[11].words, (std::vector<std::int16_t>{0}));
    EXPECT_EQ(r[12].words, (std::vector<std::int16_t>{1}));
    EXPECT_EQ(r[14].words, (std::vector<std::int16_t>{1}));
    EXPECT_EQ(r[15].words, (std::vector<std::int16_t>{2}));
    wmf::LogFont turned = FontOf(r[13]);
    EXPECT_EQ(turned.escapement, 900);
    EXPECT_EQ(turned.width, 139);
    EXPECT_EQ(turned.height, 278);
    // Polyline in view units.
    EXPECT_EQ(r[16].words, (std::vector<std::int16_t>{2, 75, 225, 150, 300}));
    // Closed outline: 4 points ending on the first.
    EXPECT_EQ(r[17].words, (std::vector<std::int16_t>{4, 0, 0, 749, 0, 749, 749, 0, 0}));
    // Polygon in cell units: columns of 138.89, rows of 333.33 units.
    EXPECT_EQ(r[18].words, (std::vector<std::int16_t>{3, 0, 0, 1389, 0, 1389, 3333}));
    // Arc from 0° (right) to 90° (down): end y, end x, start y, start x, box.
    std::int16_t c = static_cast<std::int16_t>(std::nearbyint(10 * s));
    std::int16_t rr = static_cast<std::int16_t>(std::nearbyint(2 * s));
    EXPECT_EQ(r[19].words,
              (std::vector<std::int16_t>{
                  static_cast<std::int16_t>(c + rr), c, c, static_cast<std::int16_t>(c + rr),
                  static_cast<std::int16_t>(c + rr), static_cast<std::int16_t>(c + rr),
                  static_cast<std::int16_t>(c - rr), static_cast<std::int16_t>(c - rr)}));
    EXPECT_EQ(r[20].words, (std::vector<std::int16_t>{0xFF, 0}));
    // "Aあ" is 3 bytes of code page 932, padded to 4; then y, x.
    EXPECT_EQ(r[21].words, (std::vector<std::int16_t>{3, static_cast<std::int16_t>(0x8241),
                                                      static_cast<std::int16_t>(0x00A0), 28, 139}));
    EXPECT_EQ(r[22].words, (std::vector<std::int16_t>{1, 'B', 361, 139}));
}

TEST(Recording, HeaderAgreesWithTheRecords) {
    clsStrMeta meta;
    StartScreenPage(meta);
    meta.PicPen(0, 3, 0);
    meta.PicPen(0, 4, 0);
    meta.PicTextT(1, 1, "長い見出し", 0);
    meta.PicEnd();
    auto bits = meta.PageBits();
    EXPECT_EQ(wmf::ReadU16(bits, 0), 1);
    EXPECT_EQ(wmf::ReadU16(bits, 2), 9);
    EXPECT_EQ(wmf::ReadU16(bits, 4), 0x0300);
    EXPECT_EQ(wmf::ReadU32(bits, 6) * 2, bits.size());
    EXPECT_EQ(wmf::ReadU16(bits, 10), 4);  // pen, brush, font, and one more pen slot
    std::uint32_t largest = 0;
    wmf::RecordReader reader(bits);
    while (auto r = reader.Next())
        largest = std::max<std::uint32_t>(largest, 3 + static_cast<std::uint32_t>(r->Words()));
    EXPECT_FALSE(reader.Broken());
    EXPECT_EQ(wmf::ReadU32(bits, 12), largest);
}

TEST(Recording, StartFontIsTheGothicFaceInCodePage932) {
    clsStrMeta meta;
    StartScreenPage(meta);
    meta.PicEnd();
    wmf::RecordReader reader(meta.PageBits());
    std::optional<wmf::Record> font;
    while (auto r = reader.Next())
        if (r->function == wmf::kCreateFontIndirect)
            font = r;
    ASSERT_TRUE(font);
    ASSERT_EQ(font->params.size(), 50u);
    // weight 400, not italic, underlined or struck out, Shift-JIS, TrueType only,
    // always clipped as TrueType, default quality, fixed pitch; then the face.
    EXPECT_THAT(font->params.subspan(8, 10), ElementsAre(0x90, 0x01, 0, 0, 0, 128, 7, 32, 0, 1));
    std::span<const std::uint8_t> face = font->params.subspan(18, 32);
    std::vector<std::uint8_t> expected = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53,
                                          0x83, 0x56, 0x83, 0x62, 0x83, 0x4E};
    expected.resize(32, 0);
    EXPECT_TRUE(std::equal(face.begin(), face.end(), expected.begin()));
}

TEST(Recording, PicFontMakesAFontOnlyWhenSomethingChanges) {
    clsStrMeta meta;
    StartScreenPage(meta);
    meta.PicFont("", 1, 1, 0);
    meta.PicFont("ＭＳ ゴシック", 1, 1, 0);
    meta.PicFont("", 1.0001, 1, 0);  // still 139 wide after rounding
    meta.PicEnd();
    EXPECT_EQ(RecordsOf(meta.PageBits()).size(), 8u);

    meta.PicStart(20000, 20000, 190.0, 267.0, 100, 60, 1.2);
    meta.PicFont("ms gothic", 1, 1, 0);  // another face, case included
    meta.PicFont("", 1, 2, 0);           // keeps that face, taller
    meta.PicEnd();
    auto r = RecordsOf(meta.PageBits());
    ASSERT_EQ(r.size(), 14u);
    EXPECT_EQ(FontOf(r[10]).height, 556);
}

TEST(Recording, PointCountLimits) {
    auto page = [](auto draw) {
        clsStrMeta meta;
        StartScreenPage(meta);
        draw(meta);
        meta.PicEnd();
        return RecordsOf(meta.PageBits());
    };
    std::vector<double> x(31, 1.0), y(31, 2.0);
    auto empty = page([](clsStrMeta&) {});
    EXPECT_EQ(page([&](clsStrMeta& m) { m.PicLine(0, x, y); }), empty);
    auto full = page([&](clsStrMeta& m) { m.PicPoly(30, x, y); });
    EXPECT_EQ(full[full.size() - 2].words[0], 31);

    using Draw =
        void (clsStrMeta::*)(std::int32_t, std::span<const double>, std::span<const double>);
    for (Draw draw :
         {&clsStrMeta::PicLine, &clsStrMeta::PicLineT, &clsStrMeta::PicPoly, &clsStrMeta::PicPolyT,
          &clsStrMeta::PicPolyPaint, &clsStrMeta::PicPolyPaintT}) {
        auto refused = page([&](clsStrMeta& m) {
            EXPECT_THROW((m.*draw)(31, x, y), std::out_of_range);
            // Arrays shorter than the count are refused too.
            EXPECT_THROW((m.*draw)(3, std::span<const double>(x).first(2), y), std::out_of_range);
        });
        EXPECT_EQ(refused, empty);
    }
}

TEST(Recording, FilledEllipses) {
    clsStrMeta meta;
    meta.PicStart(1000, 1000, 100, 100, 10, 10, 1.0);  // 10 units per millimetre
    meta.PicArcPaint(50, 40, 5, 0);
    meta.PicArcPaint(50, 40, 5, 10);
    meta.PicArcPaintT(2, 3, 0.5);  // cell 50 × 100 units
    meta.PicEnd();
    auto r = RecordsOf(meta.PageBits());
    ASSERT_EQ(r.size(), 11u);
    // bottom, right, top, left
    EXPECT_EQ(r[7].words, (std::vector<std::int16_t>{450, 550, 350, 450}));
    EXPECT_EQ(r[8].words, (std::vector<std::int16_t>{500, 550, 300, 450}));
    EXPECT_EQ(r[9].words, (std::vector<std::int16_t>{325, 125, 275, 75}));
}

TEST(Recording, CoordinatesBeyondSixteenBitsAreClamped) {
    clsStrMeta meta;
    meta.PicStart(20000, 20000, 100, 100, 10, 10, 1.0);  // 200 units per millimetre
    const double x[] = {-1000, 1000};
    const double y[] = {1, 170};
    meta.PicLine(2, x, y);
    meta.PicText(1000, 0, 0, 0, "x", 0);
    meta.PicEnd();
    auto r = RecordsOf(meta.PageBits());
    EXPECT_EQ(r[7].words, (std::vector<std::int16_t>{2, -32768, 200, 32767, 32767}));
    EXPECT_EQ(r[8].words.back(), 32767);
}

TEST(Recording, NothingIsRecordedOutsideStartAndEnd) {
    clsStrMeta meta;
    meta.PicPen(0, 1, 0);
    meta.PicTextT(1, 1, "x", 0);
    EXPECT_FALSE(meta.HasPage());
    StartScreenPage(meta);
    EXPECT_FALSE(meta.HasPage());
    meta.PicEnd();
    auto page = RecordsOf(meta.PageBits());
    meta.PicTextT(1, 1, "x", 0);
    EXPECT_EQ(RecordsOf(meta.PageBits()), page);
    meta.PicDelete();
    EXPECT_FALSE(meta.HasPage());
    EXPECT_TRUE(meta.PageBits().empty());
}

class SaveTheMetafileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::path(QM_TEST_OUTPUT_DIR) / "canvas";
        std::filesystem::create_directories(dir_);
    }
    std::filesystem::path dir_;
};

TEST_F(SaveTheMetafileTest, PlaceableHeaderAndMappingComeFirst) {
    clsStrMeta meta;
    StartScreenPage(meta);
    meta.PicTextT(1, 1, "深度", 0);
    meta.PicEnd();
    auto path = dir_ / "header.wmf";
    ASSERT_TRUE(meta.SaveTheMetafile(path.string()));
    auto bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), 22u + 18u);
    std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 22);
    // The bounding box 14233 × 20001 at 1903 units per inch: the page's
    // 190 × 267 mm.
    EXPECT_THAT(head,
                ElementsAre(0xD7, 0xCD, 0xC6, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x99, 0x37,
                            0x21, 0x4E, 0x6F, 0x07, 0x00, 0x00, 0x00, 0x00, 0xC6, 0x29));
    EXPECT_NEAR(14233 / 1903.0 * 25.4, 190, 0.1);
    EXPECT_NEAR(20001 / 1903.0 * 25.4, 267, 0.1);
    std::span<const std::uint8_t> metafile(bytes.data() + 22, bytes.size() - 22);
    EXPECT_EQ(wmf::ReadU32(metafile, 6) * 2, metafile.size());
    auto saved = RecordsOf(metafile);
    ASSERT_GE(saved.size(), 3u);
    EXPECT_EQ(saved[0], (CopiedRecord{wmf::kSetWindowExt, {20000, 14232}}));
    EXPECT_EQ(saved[1], (CopiedRecord{wmf::kSetMapMode, {wmf::kMmAnisotropic}}));
    // Then the page's records, but for the font and the text, which the next
    // test follows.
    auto page = RecordsOf(meta.PageBits());
    ASSERT_EQ(page.size() + 2, saved.size());
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i].function != wmf::kCreateFontIndirect && page[i].function != wmf::kTextOut) {
            EXPECT_EQ(page[i], saved[i + 2]) << i;
        }
    }
}

// What the saved records leave to a reader is what every reader does alike:
// fonts of their natural width and cell height, every byte's advance, dashes
// drawn as lines.
TEST_F(SaveTheMetafileTest, RecordsLeaveOtherReadersNothingToGuess) {
    clsStrMeta meta;
    StartScreenPage(meta);                  // font 139 × 278: one column wide
    meta.PicTextT(1, 1, "埋め土 1.60", 0);  // 11 bytes
    meta.PicFont("", 0.5, 1.0, 0);          // condensed: 69 (69.44) × 278
    meta.PicTextT(1, 2, "(Fl値)", 0);       // 6 bytes
    meta.PicPen(2, 1, 0);                   // a thin dotted pen
    const double x[] = {10, 20};
    const double y[] = {10, 10};
    meta.PicLine(2, x, y);
    meta.PicPen(2, 10, 0);  // a wide one, which GDI draws solid
    meta.PicLine(2, x, y);
    meta.PicEnd();
    auto path = dir_ / "portable.wmf";
    ASSERT_TRUE(meta.SaveTheMetafile(path.string()));
    auto bytes = ReadBytes(path);
    auto saved = RecordsOf(std::span<const std::uint8_t>(bytes).subspan(22));

    std::vector<CopiedRecord> fonts, texts, pens, lines;
    for (const CopiedRecord& r : saved) {
        if (r.function == wmf::kCreateFontIndirect)
            fonts.push_back(r);
        else if (r.function == wmf::kExtTextOut)
            texts.push_back(r);
        else if (r.function == wmf::kCreatePenIndirect)
            pens.push_back(r);
        else if (r.function == wmf::kPolyline)
            lines.push_back(r);
        EXPECT_NE(r.function, wmf::kTextOut);
    }
    // Height as the character height; width 0 unless condensed.
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].words[0], -278);
    EXPECT_EQ(fonts[0].words[1], 0);
    EXPECT_EQ(fonts[1].words[0], -278);
    EXPECT_EQ(fonts[1].words[1], 69);

    // y, x, length, options, the bytes (padded), then one advance per byte: a
    // column of the font in force.
    struct Case {
        std::size_t length;
        std::int16_t column;
    };
    const Case cases[] = {{11, 139}, {6, 69}};
    ASSERT_EQ(texts.size(), 2u);
    for (std::size_t t = 0; t < 2; ++t) {
        const CopiedRecord& r = texts[t];
        ASSERT_EQ(static_cast<std::size_t>(r.words[2]), cases[t].length);
        EXPECT_EQ(r.words[3], 0);
        std::size_t dx = 4 + (cases[t].length + 1) / 2;
        ASSERT_EQ(r.words.size(), dx + cases[t].length);
        for (std::size_t i = 0; i < cases[t].length; ++i)
            EXPECT_EQ(r.words[dx + i], cases[t].column) << t << " byte " << i;
    }

    // Pens: the start pen, the thin dotted one written solid, the wide one as
    // it was.
    ASSERT_EQ(pens.size(), 3u);
    EXPECT_EQ(pens[1].words[0], wmf::kPsSolid);
    EXPECT_EQ(pens[1].words[1], 1);
    EXPECT_EQ(pens[2].words[0], 2);
    EXPECT_EQ(pens[2].words[1], 10);
    // The thin line of 10 mm as dots of 0.2 mm every 0.6 mm; the wide one whole.
    const double unitsPerMm = 20000 / 267.0;
    ASSERT_GE(lines.size(), 3u);
    const CopiedRecord& whole = lines.back();
    EXPECT_EQ(whole.words, (std::vector<std::int16_t>{2, 749, 749, 1498, 749}));
    std::size_t dots = lines.size() - 1;
    EXPECT_NEAR(static_cast<double>(dots), 10 / 0.6, 1.0);
    for (std::size_t i = 0; i < dots; ++i) {
        const CopiedRecord& dot = lines[i];
        ASSERT_EQ(dot.words[0], 2);
        EXPECT_EQ(dot.words[2], 749);
        EXPECT_EQ(dot.words[4], 749);
        EXPECT_NEAR(dot.words[1], 749 + 0.6 * unitsPerMm * static_cast<double>(i), 1.0);
        EXPECT_LE(dot.words[3] - dot.words[1], std::lround(0.2 * unitsPerMm));
        EXPECT_GE(dot.words[3], dot.words[1]);
        EXPECT_LE(dot.words[3], 1498);
    }
}

TEST_F(SaveTheMetafileTest, NoPageOrNoFolderLeavesTheFileAloneAndSaysSo) {
    auto path = dir_ / "kept.wmf";
    {
        std::ofstream out(path, std::ios::binary);
        out << "previous figure";
    }
    clsStrMeta meta;
    EXPECT_FALSE(meta.SaveTheMetafile(path.string()));
    StartScreenPage(meta);
    EXPECT_FALSE(meta.SaveTheMetafile(path.string()));  // still recording: no page yet
    auto bytes = ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "previous figure");

    meta.PicEnd();
    EXPECT_FALSE(meta.SaveTheMetafile((dir_ / "no such folder" / "x.wmf").string()));
    EXPECT_FALSE(meta.SaveTheMetafile(dir_.string()));  // a folder is never replaced
    EXPECT_TRUE(std::filesystem::is_directory(dir_));
    // The figure replaced keeps the permissions its owner gave it.
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(meta.SaveTheMetafile(path.string()));
    EXPECT_EQ(ReadBytes(path)[0], 0xD7);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        files += entry.path().filename().string().rfind("kept.wmf", 0) == 0;
    EXPECT_EQ(files, 1);
}

// The saved page read to its end by an independent reader.
TEST_F(SaveTheMetafileTest, IndependentReaderParsesTheWholePage) {
    if (std::system("command -v wmf2svg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "wmf2svg (libwmf-bin) is not installed";
    clsStrMeta meta;
    StartScreenPage(meta);
    meta.PicPen(2, 1, 0x808080);
    const double x[] = {10, 180, 180, 10};
    const double y[] = {10, 10, 250, 250};
    meta.PicPoly(4, x, y);
    meta.PicBrush(0xC0C0FF);
    meta.PicPolyPaint(3, x, y);
    meta.PicPen(0, 20, 0xFF0000);
    meta.PicArc(95, 130, 40, 30, 300);
    meta.PicArcD(95, 130, 40, 20, 0, 180);
    meta.PicArcPaint(60, 60, 10, 0);
    meta.PicArcPaintT(20, 20, 2);
    meta.PicFont("", 2, 2, 0);
    meta.PicTextT(3, 3, "液状化判定 FL=0.85", 0x0000FF);
    meta.PicFont("", 1, 1, 90);
    meta.PicText(20, 200, 0, 0, "縦書き", 0);
    meta.PicEnd();
    auto wmfPath = dir_ / "reader.wmf";
    auto svgPath = dir_ / "reader.svg";
    auto errPath = dir_ / "reader.err";
    std::filesystem::remove(svgPath);
    ASSERT_TRUE(meta.SaveTheMetafile(wmfPath.string()));
    std::string command = "wmf2svg -o '" + svgPath.string() + "' '" + wmfPath.string() + "' 2>'" +
                          errPath.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    auto errors = ReadBytes(errPath);
    EXPECT_EQ(std::string(errors.begin(), errors.end()).find("rror"), std::string::npos)
        << std::string(errors.begin(), errors.end());
    auto svg = ReadBytes(svgPath);
    std::string text(svg.begin(), svg.end());
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("</svg>"), std::string::npos);
}

}  // namespace
