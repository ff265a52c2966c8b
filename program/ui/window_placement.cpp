#include "ui/window_placement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <algorithm>

#include "ui/frmMain.h"

namespace {

// The width of the title bar that must lie on a screen for the user to grab it.
constexpr int kGripWidth = 100;

int OverlapWidth(const QRect& a, const QRect& b) {
    return std::max(0, std::min(a.right(), b.right()) - std::max(a.left(), b.left()) + 1);
}

long long OverlapArea(const QRect& a, const QRect& b) {
    QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

// Processes pending events, user input held back, until `done` or the time
// is up.
template <typename Done>
void ProcessEventsUntil(Done done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
}

QList<QRect> AvailableScreens() {
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return screens;
}

}  // namespace

bool TitleBarReachable(const QRect& outer, int gripHeight, const QList<QRect>& screens) {
    int grip = std::min(kGripWidth, outer.width());
    for (const QRect& screen : screens) {
        bool insideHeight =
            outer.top() >= screen.top() && outer.top() + gripHeight - 1 <= screen.bottom();
        if (insideHeight && OverlapWidth(outer, screen) >= grip)
            return true;
    }
    return false;
}

QRect ReachablePlacement(const QRect& outer, int gripHeight, const QList<QRect>& screens) {
    if (screens.isEmpty() || TitleBarReachable(outer, gripHeight, screens))
        return outer;
    QRect target = screens.front();
    long long best = 0;
    for (const QRect& screen : screens) {
        long long area = OverlapArea(outer, screen);
        if (area > best) {
            best = area;
            target = screen;
        }
    }
    // Kept whole on the screen where it fits, its top-left corner on the
    // screen where it does not.
    int left = std::max(target.left(), std::min(outer.left(), target.right() + 1 - outer.width()));
    int top = std::max(target.top(), std::min(outer.top(), target.bottom() + 1 - outer.height()));
    return QRect(left, top, outer.width(), outer.height());
}

QRect PlacedInnerGeometry(const QRect& savedOuter, const QMargins& frame,
                          const QList<QRect>& screens) {
    QRect outer = ReachablePlacement(savedOuter, std::max(frame.top(), kGripHeight), screens);
    QRect inner = outer.marginsRemoved(frame);
    // A saved size smaller than the frame itself still leaves a window.
    inner.setWidth(std::max(inner.width(), 1));
    inner.setHeight(std::max(inner.height(), 1));
    return inner;
}

QMargins WaitForWindowFrame(QWidget& window, int timeoutMs) {
    QWindow* handle = window.windowHandle();
    if (handle == nullptr || !window.isVisible())
        return {};
    // The window manager frames the window before it maps it; once the window
    // is exposed, Qt can read the frame.
    ProcessEventsUntil([handle] { return handle->isExposed(); }, timeoutMs);
    return handle->frameMargins();
}

void ApplyWindowPlacement(frmMain& form, const WindowPlacement& place) {
    const TwipsLayout& twips = form.layout;
    QMargins frame = WaitForWindowFrame(form);
    QRect savedOuter(twips.ToPixelsX(place.left), twips.ToPixelsY(place.top),
                     twips.ToPixelsX(place.width), twips.ToPixelsY(place.height));
    QRect inner = PlacedInnerGeometry(savedOuter, frame, AvailableScreens());
    form.setGeometry(inner);
    // The normal placement is in place before the state changes, so that it
    // is the one the window returns to.
    ProcessEventsUntil([&form, inner] { return form.geometry() == inner; }, 500);
    if (place.state == 1) {
        form.showMinimized();
    } else if (place.state == 2) {
        form.showMaximized();
        // The window manager's answer arrives as resizes; they must find the
        // window still being placed, or they would replace the normal
        // placement that a maximised session keeps.
        ProcessEventsUntil([&form, inner] { return form.geometry() != inner; }, 500);
    }
}
