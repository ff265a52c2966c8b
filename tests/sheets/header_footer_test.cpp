#include "sheets/header_footer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/clsStrMeta.h"
#include "sheets/page_texts.h"

namespace {

struct HeaderFooterFixture : ::testing::Test {
    HeaderFooterFixture() {
        doc.currentFolder = "/home/Ab/Data";
        doc.currentFileName = "Site1.qmf";
        doc.basicData.ProjectName = "工事A";
        doc.basicData.ShortName = "B-1";
        program = {1.6, "  Taro Yamada ", 1001, "  ABC "};
    }
    static LocalDateTime Now(int hour = 14) { return {Date{2008, 3, 5}, hour, 7, 9}; }
    std::string Expand(const std::string& text, std::int16_t page = 0, int hour = 14) const {
        return ExpandHeaderFooterText(text, page, doc, program, Now(hour));
    }

    Document doc;
    ProgramValues program;
};

TEST_F(HeaderFooterFixture, EveryCodeExpandsToItsValue) {
    struct Case {
        const char* templateText;
        const char* printed;
    };
    const Case cases[] = {
        {"%p", "1"},
        {"＆P", "/HOME/AB/DATA"},
        {"＆p", "/home/ab/data"},
        {"＆F", "SITE1.QMF"},
        {"＆f", "site1.qmf"},
        {"%D0", "2008/03/05 14:07:09 "},
        {"%D1", "2008年03月05日"},
        {"%D2", "08-Mar-05"},
        {"%D3", "2008/03/05"},
        {"%T1", "14:07:09"},
        {"%T2", "02:07 PM"},
        {"%T3", "14:07"},
        {"&T", "工事A"},
        {"&S", "B-1"},
        {"&U", "Taro Yamada"},
        {"&V", "Vekt／Quilmorn2008　Ver.1.60"},
        {"&D", "地盤データ及び液状化判定"},
        {"&I", "1001"},
        {"&C", "ABC"},
        {"&N", "Taro Yamada"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.printed, Expand(c.templateText)) << c.templateText;
}

TEST_F(HeaderFooterFixture, ShortMonthNameComesFromTheUsersTable) {
    MonthNames japanese;
    for (int m = 1; m <= 12; ++m)
        japanese[static_cast<size_t>(m - 1)] = std::to_string(m) + "月";
    LocalDateTime december{Date{2008, 12, 5}, 9, 0, 0};
    struct Case {
        const char* what;
        MonthNames names;
        const char* printed;
    } cases[] = {
        {"the user's names", japanese, "08-12月-05"},
        {"no names handed down", MonthNames{}, "08-Dec-05"},
    };
    for (const Case& c : cases) {
        program.monthAbbreviations = c.names;
        EXPECT_EQ(ExpandHeaderFooterText("%D2", 0, doc, program, december), c.printed) << c.what;
        EXPECT_EQ(HeaderFooterExample(2, 2, doc, program, december), c.printed) << c.what;
    }
    // The other date forms keep their digits.
    program.monthAbbreviations = japanese;
    EXPECT_EQ(ExpandHeaderFooterText("%D1 %D3", 0, doc, program, december),
              "2008年12月05日 2008/12/05");
}

TEST_F(HeaderFooterFixture, CodesMatchWhateverTheCaseAndWidth) {
    struct Case {
        const char* templateText;
        const char* printed;
    };
    const Case cases[] = {
        {"%P", "1"},
        {"％ｐ", "1"},
        {"&v", "Vekt／Quilmorn2008　Ver.1.60"},
        {"＆d", "地盤データ及び液状化判定"},
        {"%d1", "2008年03月05日"},
        {"％Ｄ１", "2008年03月05日"},
        // The folder and file-name codes keep the case of their letter.
        {"&P", "/HOME/AB/DATA"},
        {"&p", "/home/ab/data"},
        {"&F", "SITE1.QMF"},
        {"&f", "site1.qmf"},
        {"＆Ｆ", "SITE1.QMF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.printed, Expand(c.templateText)) << c.templateText;
}

TEST_F(HeaderFooterFixture, EveryMatchIsReplacedLeftToRightWithoutOverlap) {
    EXPECT_EQ("1/1", Expand("%p/%p", 0));
    EXPECT_EQ("2/2", Expand("%p/%p", 1));
    EXPECT_EQ("2/2", Expand("%p/%p", 7));
    EXPECT_EQ("11", Expand("%p%p"));
    EXPECT_EQ("%1", Expand("%%p"));
    EXPECT_EQ("Page 1 of B-1.", Expand("Page %p of &S."));
    EXPECT_EQ("no codes here", Expand("no codes here"));
    EXPECT_EQ("", Expand(""));
}

TEST_F(HeaderFooterFixture, ValuesAreSearchedOnlyByLaterCodes) {
    doc.basicData.ProjectName = "a&Vb %p";
    EXPECT_EQ("aVekt／Quilmorn2008　Ver.1.60b %p", Expand("&T"));
    doc.currentFolder = "/d/%D1";
    EXPECT_EQ("/d/2008年03月05日", Expand("＆p"));
}

TEST_F(HeaderFooterFixture, UnsavedDocumentPrintsNoFileName) {
    doc.currentFileName.clear();
    EXPECT_EQ("", Expand("＆F"));
    EXPECT_EQ("[]", Expand("[＆f]"));
}

TEST_F(HeaderFooterFixture, TwelveHourClock) {
    EXPECT_EQ("12:07 AM", Expand("%T2", 0, 0));
    EXPECT_EQ("11:07 AM", Expand("%T2", 0, 11));
    EXPECT_EQ("12:07 PM", Expand("%T2", 0, 12));
    EXPECT_EQ("11:07 PM", Expand("%T2", 0, 23));
}

TEST_F(HeaderFooterFixture, ProgramValuesAsTheyStand) {
    program = {2.0, "", 0, ""};
    EXPECT_EQ("Vekt／Quilmorn2008　Ver.2.00", Expand("&V"));
    EXPECT_EQ("0", Expand("&I"));
    EXPECT_EQ("()", Expand("(&C&N)"));
    program.userID = -5;
    EXPECT_EQ("-5", Expand("&I"));
}

TEST_F(HeaderFooterFixture, ChooserExamples) {
    struct Case {
        std::int16_t kind;
        std::int16_t item;
        const char* example;
    };
    const Case cases[] = {
        {0, 0, "ppct"},
        {1, 0, "/HOME/AB/DATA"},
        {1, 1, "/home/ab/data"},
        {1, 2, "SITE1.QMF"},
        {1, 3, "site1.qmf"},
        {2, 0, "2008/03/05 14:07:09 "},
        {2, 1, "2008年03月05日"},
        {2, 2, "08-Mar-05"},
        {2, 3, "2008/03/05"},
        {3, 0, "14:07:09"},
        {3, 1, "02:07 PM"},
        {3, 2, "14:07"},
        {4, 0, "工事A"},
        {4, 1, "B-1"},
        {4, 2, ""},
        {5, 0, "Vekt／Quilmorn2008　Ver.1.60"},
        {5, 1, "地盤データ登録及び液状化判定"},
        {5, 2, "1001"},
        {5, 3, "ABC"},
        {5, 4, "Taro Yamada"},
        {0, 1, ""},
        {3, 3, ""},
        {6, 0, ""},
        {-1, 0, ""},
        {5, -1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.example, HeaderFooterExample(c.kind, c.item, doc, program, Now()))
            << c.kind << "," << c.item;
}

// A printed page of 140 columns.
clsStrMeta StartedPage() {
    clsStrMeta page;
    page.PicStart(20000, 20000, 170.0, 257.0, 140, 70, 1.2);
    return page;
}

struct DrawFixture : HeaderFooterFixture {
    DrawFixture() { settings.headerFooterText = {"L", "ABCDE", "日本語", "fl", "&S", "%p"}; }
    std::vector<PageText> Draw(std::int16_t page = 0) {
        clsStrMeta canvas = StartedPage();
        SheetInputs in(doc, settings);
        in.program = program;
        in.clock = [] { return Now(); };
        DrawHeaderFooter(canvas, in, page);
        canvas.PicEnd();
        return TextsOf(canvas);
    }
    Settings settings;
};

TEST_F(DrawFixture, SixSlotsStandAtTheirPlaces) {
    clsStrMeta page = StartedPage();
    ASSERT_EQ(140, page.lMaxCol);
    double footerRow = page.lMaxRow - 0.6;
    std::vector<PageText> expected = {
        TextPlaced(page, 0.1, 1.1, "L"),
        TextPlaced(page, 67.4, 1.1, "ABCDE"),
        TextPlaced(page, 133.8, 1.1, "日本語"),
        TextPlaced(page, 0.1, footerRow, "fl"),
        TextPlaced(page, (139.8 - 3) / 2, footerRow, "B-1"),
        TextPlaced(page, 139.8 - 1, footerRow, "2"),
    };
    EXPECT_EQ(expected, Draw(1));
}

TEST_F(DrawFixture, ShowFlagsChooseTheLines) {
    settings.headerFooterShow = {1, 0};
    std::vector<PageText> texts = Draw();
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ("日本語", texts[2].text);

    settings.headerFooterShow = {0, 1};
    texts = Draw();
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ("fl", texts[0].text);
    EXPECT_EQ("1", texts[2].text);

    for (auto flags : {std::array<std::int16_t, 2>{0, 0}, {2, 1}, {1, 2}, {-1, 1}}) {
        settings.headerFooterShow = flags;
        EXPECT_TRUE(Draw().empty()) << flags[0] << "," << flags[1];
    }
}

TEST_F(DrawFixture, EmptyResultsLeaveNoMarkAndLongTextsAreNotClamped) {
    doc.currentFileName.clear();
    settings.headerFooterText = {"", "＆F", "", "", "", std::string(150, 'x')};
    clsStrMeta page = StartedPage();
    std::vector<PageText> texts = Draw();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(TextPlaced(page, 139.8 - 150, page.lMaxRow - 0.6, std::string(150, 'x')), texts[0]);
    EXPECT_LT(texts[0].x, 0);
}

}  // namespace
