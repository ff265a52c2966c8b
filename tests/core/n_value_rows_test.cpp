#include "core/n_value_rows.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/format.h"

namespace {

const NPoint kRowAt2{2.5, 12, 25, 8};

TEST(NValueRows, TheBlankRowIsTheDefaultPoint) {
    // A list lengthened by resize holds blank rows, as the grid shows them.
    EXPECT_EQ(kBlankNPoint, NPoint{});
}

TEST(NValueRows, KeepsOnlyFilledRowsWithADepth) {
    struct Case {
        NGridRow row;
        NPoint kept;
    };
    const Case cases[] = {
        {{true, kRowAt2}, kRowAt2},
        {{true, {0, 12, 25, 8}}, kBlankNPoint},   // depth 0 counts as no depth
        {{true, {-1, 12, 25, 8}}, kBlankNPoint},  // an N behind a cleared depth
        {{false, kRowAt2}, kBlankNPoint},         // values of an empty row
        {{true, {0.01, 0, 0, 0}}, NPoint{0.01, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeptNPoint(c.row), c.kept) << c.row.filled << " " << c.row.values.Depth;
}

TEST(NValueRows, TheWholeGridSetsTheLengthOfTheList) {
    std::vector<NPoint> points{kRowAt2, kRowAt2, kRowAt2, kRowAt2};
    TakeNRows(points, {{true, {1, 3, 30, 0}}, {false, kRowAt2}, {true, {0, 9, 30, 0}}});
    EXPECT_EQ(points, (std::vector<NPoint>{{1, 3, 30, 0}, kBlankNPoint, kBlankNPoint}));

    TakeNRows(points, {});
    EXPECT_TRUE(points.empty());

    TakeNRows(points, {{false, {}}, {true, kRowAt2}});
    EXPECT_EQ(points, (std::vector<NPoint>{kBlankNPoint, kRowAt2}));
}

TEST(NValueRows, OneRowLengthensTheListOnlyWhenFilled) {
    std::vector<NPoint> points{kRowAt2};
    TakeNRow(points, 3, {false, kRowAt2});
    EXPECT_EQ(points, std::vector<NPoint>{kRowAt2});

    TakeNRow(points, 3, {true, {4, 7, 30, 0}});
    EXPECT_EQ(points, (std::vector<NPoint>{kRowAt2, kBlankNPoint, {4, 7, 30, 0}}));

    // A filled row without a depth past the end still lengthens the list.
    TakeNRow(points, 5, {true, {0, 7, 30, 0}});
    EXPECT_EQ(points.size(), 5u);
    EXPECT_EQ(points[4], kBlankNPoint);

    TakeNRow(points, 1, {false, kRowAt2});
    EXPECT_EQ(points[0], kBlankNPoint);
    TakeNRow(points, 3, {true, {0, 7, 30, 0}});
    EXPECT_EQ(points[2], kBlankNPoint);
    EXPECT_EQ(points.size(), 5u);
}

TEST(NValueRows, ShowsPointsWithADepthOnly) {
    const std::vector<NPoint> points{kRowAt2, {0, 5, 30, 0}, kBlankNPoint};
    EXPECT_EQ(NPointToShow(points, 1), kRowAt2);
    EXPECT_FALSE(NPointToShow(points, 2));
    EXPECT_FALSE(NPointToShow(points, 3));
    EXPECT_FALSE(NPointToShow(points, 4));
    EXPECT_FALSE(NPointToShow(points, 0));
}

TEST(NValueRows, SettlesRowsWithoutDepth) {
    using R = NRowWithoutDepth;
    struct Case {
        bool filled;
        NPoint values;
        bool typed;
        int nConvert30;
        int fcInputMode;
        R result;
    };
    const Case cases[] = {
        {true, kRowAt2, true, 1, 1, R::Keep},  // a row with a depth
        {false, {-1, 9, 25, 8}, true, 1, 1, R::Keep},
        {true, {-1, 0, 30, 0}, false, 1, 1, R::Clear},
        {true, {0, 0, 30, 0}, true, 0, 0, R::Refuse},  // a value typed in the row
        {true, {-1, 9, 30, 0}, false, 0, 0, R::Refuse},
        // The standard penetration and a penetration of 0 are the blank row's.
        {true, {-1, 0, 0, 0}, false, 1, 0, R::Clear},
        {true, {-1, 0, 25, 0}, false, 1, 0, R::Refuse},
        // Hidden columns hold nothing that counts.
        {true, {-1, 0, 25, 0}, false, 0, 0, R::Clear},
        {true, {-1, 0, 30, 8}, false, 0, 0, R::Clear},
        {true, {-1, 0, 30, 8}, false, 0, 1, R::Refuse},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettleNRow({c.filled, c.values}, c.typed, c.nConvert30, c.fcInputMode), c.result)
            << c.filled << " N " << c.values.N << " pen " << c.values.Penetration << " FC "
            << c.values.FC << " typed " << c.typed << " " << c.nConvert30 << c.fcInputMode;
}

TEST(NValueRows, NewAndEmptyRowsTakeTheStandardPenetration) {
    struct Case {
        int row;
        bool filled;
        double penetration;
        bool takes;
    };
    const int firstNew = 5;
    const Case cases[] = {
        {5, true, 0, true},     // added by the command
        {2, false, 0, true},    // an empty row
        {2, true, 0, false},    // a filled row keeps its own
        {6, true, 20, false},   // a pasted penetration
        {2, false, 30, false},  // already standard
    };
    for (const Case& c : cases)
        EXPECT_EQ(NRowTakesStandardPenetration(c.row, firstNew, c.filled, c.penetration), c.takes)
            << c.row << " " << c.filled << " " << c.penetration;
}

TEST(NValueRows, ANewRowOffersADepth) {
    const std::vector<NPoint> points{{1.5, 3, 30, 0}, {2.75, 4, 30, 0}};
    EXPECT_EQ(NewNRowDepth({}, 1), 0.0);
    EXPECT_EQ(NewNRowDepth(points, 1), 0.0);
    EXPECT_EQ(NewNRowDepth(points, 3), 3.75);
    EXPECT_FALSE(NewNRowDepth(points, 2));
    EXPECT_FALSE(NewNRowDepth(points, 4));
    EXPECT_FALSE(NewNRowDepth({}, 2));
    // After a blank last row the offered depth is 0, as for the first row.
    EXPECT_EQ(NewNRowDepth({kRowAt2, kBlankNPoint}, 3), 0.0);
    // The first row's offer is written as every other offer is.
    EXPECT_EQ(FormatNumber(0, "###0.00"), "0.00");
    EXPECT_EQ(FormatNumber(3.75, "###0.00"), "3.75");
}

}  // namespace
