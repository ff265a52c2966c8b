#include "ui/main_window/window_placement.h"

#include <gtest/gtest.h>

namespace {

// A frame of the size a common window manager draws: a 1-pixel border and a
// 20-pixel title bar, 4 pixels below.
const QMargins kFrame(1, 20, 1, 4);
const QRect kScreen(0, 0, 1600, 1000);
const QRect kRightScreen(1600, 0, 1280, 1024);

TEST(WindowPlacement, SavedOuterRectangleComesBackAtClose) {
    struct Case {
        const char* what;
        QRect saved;  // outer, as the close records it
        QMargins frame;
        QList<QRect> screens;
        QRect outer;  // the outer rectangle the window gets
    } cases[] = {
        {"framed", {100, 60, 800, 600}, kFrame, {kScreen}, {100, 60, 800, 600}},
        {"unframed", {100, 60, 800, 600}, {}, {kScreen}, {100, 60, 800, 600}},
        {"framed, on the second screen",
         {1700, 100, 800, 600},
         kFrame,
         {kScreen, kRightScreen},
         {1700, 100, 800, 600}},
        {"across both screens",
         {1200, 100, 800, 600},
         kFrame,
         {kScreen, kRightScreen},
         {1200, 100, 800, 600}},
        {"filling the screen", {0, 0, 1600, 1000}, kFrame, {kScreen}, {0, 0, 1600, 1000}},
    };
    for (const Case& c : cases) {
        QRect inner = PlacedInnerGeometry(c.saved, c.frame, c.screens);
        EXPECT_EQ(inner.marginsAdded(c.frame), c.outer) << c.what;
        // The inner size is the saved outer size less the frame, never the
        // outer size itself.
        EXPECT_EQ(inner.width(), c.saved.width() - c.frame.left() - c.frame.right()) << c.what;
        EXPECT_EQ(inner.height(), c.saved.height() - c.frame.top() - c.frame.bottom()) << c.what;
    }
}

// A placement that is not whole on the screens there are now is fitted to
// one of them: the whole frame, title bar and close box included, lies on it.
TEST(WindowPlacement, APlacementOffTheScreensIsFittedWholeOntoOne) {
    const QRect kSmallScreen(0, 0, 1280, 1024);
    // What a 1280-pixel screen makes of a window a 1x desk saved, opened at 1.5x.
    const QRect kScaledScreen(0, 0, 853, 683);
    struct Case {
        const char* what;
        QRect saved;
        QList<QRect> screens;
        QRect outer;
    } cases[] = {
        {"partly off the left edge", {-500, 60, 800, 600}, {kScreen}, {0, 60, 800, 600}},
        {"close box off the right edge", {1000, 60, 800, 600}, {kScreen}, {800, 60, 800, 600}},
        {"title bar above the screen", {100, -400, 800, 600}, {kScreen}, {100, 0, 800, 600}},
        {"title bar a few pixels above the screen",
         {100, -5, 800, 600},
         {kScreen},
         {100, 0, 800, 600}},
        {"below the screen", {100, 990, 800, 600}, {kScreen}, {100, 400, 800, 600}},
        {"right of every screen", {5000, 60, 800, 600}, {kScreen}, {800, 60, 800, 600}},
        {"on a screen that is gone", {1700, 100, 800, 600}, {kScreen}, {800, 100, 800, 600}},
        {"larger than the screen and off it",
         {-3000, -3000, 2000, 1200},
         {kScreen},
         {0, 0, 1600, 1000}},
        {"wider than the screen", {100, 60, 2000, 600}, {kScreen}, {0, 60, 1600, 600}},
        {"saved on a desk of three screens",
         {0, 0, 11520, 1000},
         {kSmallScreen},
         {0, 0, 1280, 1000}},
        {"saved at another scale factor", {0, 0, 1280, 1000}, {kScaledScreen}, {0, 0, 853, 683}},
        {"99 999 999 twips", {100, 60, 6666667, 6666667}, {kScreen}, {0, 0, 1600, 1000}},
        {"mostly on the second screen, partly below it",
         {1700, 600, 800, 600},
         {kScreen, kRightScreen},
         {1700, 424, 800, 600}},
        {"larger than the second screen it overlaps most",
         {1500, 0, 3000, 3000},
         {kScreen, kRightScreen},
         {1600, 0, 1280, 1024}},
        {"a screen without area is passed over",
         {5000, 60, 800, 600},
         {QRect(), kScreen},
         {800, 60, 800, 600}},
        {"no screen at all", {5000, 60, 800, 600}, {}, {5000, 60, 800, 600}},
    };
    for (const Case& c : cases) {
        for (const QMargins& frame : {kFrame, QMargins()}) {
            QRect outer = PlacedInnerGeometry(c.saved, frame, c.screens).marginsAdded(frame);
            EXPECT_EQ(outer, c.outer) << c.what;
            if (!c.screens.isEmpty()) {
                EXPECT_TRUE(FrameOnScreens(outer, c.screens)) << c.what;
            }
        }
    }
}

TEST(WindowPlacement, ASavedSizeSmallerThanTheFrameStillLeavesAWindow) {
    for (QRect saved : {QRect(100, 60, 0, 0), QRect(100, 60, -50, -50), QRect(100, 60, 2, 2)}) {
        QRect inner = PlacedInnerGeometry(saved, kFrame, {kScreen});
        EXPECT_GE(inner.width(), 1);
        EXPECT_GE(inner.height(), 1);
        EXPECT_TRUE(FrameOnScreens(inner.marginsAdded(kFrame), {kScreen}));
    }
}

TEST(WindowPlacement, TheWholeFrameMustLieOnTheScreens) {
    EXPECT_TRUE(FrameOnScreens({0, 0, 800, 600}, {kScreen}));
    EXPECT_TRUE(FrameOnScreens({800, 400, 800, 600}, {kScreen}));
    EXPECT_FALSE(FrameOnScreens({801, 400, 800, 600}, {kScreen}));  // close box off it
    EXPECT_FALSE(FrameOnScreens({0, -1, 800, 600}, {kScreen}));     // title bar off it
    EXPECT_FALSE(FrameOnScreens({0, 401, 800, 600}, {kScreen}));
    EXPECT_FALSE(FrameOnScreens({-1, 0, 800, 600}, {kScreen}));
    EXPECT_TRUE(FrameOnScreens({1550, 0, 800, 600}, {kScreen, kRightScreen}));
    // Below the smaller screen, beside the taller one: not on the screens.
    EXPECT_FALSE(FrameOnScreens({1550, 500, 800, 510}, {kScreen, kRightScreen}));
    EXPECT_FALSE(FrameOnScreens({0, 0, 800, 600}, {}));
    EXPECT_FALSE(FrameOnScreens({}, {kScreen}));
}

}  // namespace
