#include "ui/window_placement.h"

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
        {"partly off the left edge, title bar still reachable",
         {-500, 60, 800, 600},
         kFrame,
         {kScreen},
         {-500, 60, 800, 600}},
        {"title bar above the screen",
         {100, -400, 800, 600},
         kFrame,
         {kScreen},
         {100, 0, 800, 600}},
        {"title bar a few pixels above the screen",
         {100, -5, 800, 600},
         kFrame,
         {kScreen},
         {100, 0, 800, 600}},
        {"below the screen", {100, 990, 800, 600}, kFrame, {kScreen}, {100, 400, 800, 600}},
        {"right of every screen", {5000, 60, 800, 600}, kFrame, {kScreen}, {800, 60, 800, 600}},
        {"on a screen that is gone",
         {1700, 100, 800, 600},
         kFrame,
         {kScreen},
         {800, 100, 800, 600}},
        {"larger than the screen and off it",
         {-3000, -3000, 2000, 1200},
         kFrame,
         {kScreen},
         {0, 0, 2000, 1200}},
        {"unframed, above the screen", {100, -400, 800, 600}, {}, {kScreen}, {100, 0, 800, 600}},
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

TEST(WindowPlacement, TitleBarMustLieOnAScreenToBeReached) {
    EXPECT_TRUE(TitleBarReachable({0, 0, 800, 600}, 20, {kScreen}));
    EXPECT_TRUE(TitleBarReachable({1500, 0, 800, 600}, 20, {kScreen}));   // 100 px on it
    EXPECT_FALSE(TitleBarReachable({1550, 0, 800, 600}, 20, {kScreen}));  // 50 px on it
    EXPECT_FALSE(TitleBarReachable({0, -1, 800, 600}, 20, {kScreen}));
    EXPECT_FALSE(TitleBarReachable({0, 985, 800, 600}, 20, {kScreen}));
    EXPECT_TRUE(TitleBarReachable({1550, 0, 800, 600}, 20, {kScreen, kRightScreen}));
    EXPECT_FALSE(TitleBarReachable({0, 0, 800, 600}, 20, {}));
}

}  // namespace
