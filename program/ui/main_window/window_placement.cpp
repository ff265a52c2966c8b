#include "ui/main_window/window_placement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "ui/main_window/frmMain.h"

namespace {

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

// At a scale that is not a whole number the screens' sizes and the window
// frame's margins are rounded to whole logical pixels, so a frame fitted to
// them exactly can end a device pixel or two past the screen's edge: there
// the frame keeps one logical pixel inside every edge.
QList<QRect> AvailableScreens() {
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect available = screen->availableGeometry();
        const qreal ratio = screen->devicePixelRatio();
        if (ratio != std::floor(ratio))
            available.adjust(1, 1, -1, -1);
        screens.append(available);
    }
    return screens;
}

}  // namespace

bool FrameOnScreens(const QRect& outer, const QList<QRect>& screens) {
    if (outer.isEmpty())
        return false;
    QRegion desk;
    for (const QRect& screen : screens)
        desk += screen;
    return QRegion(outer).subtracted(desk).isEmpty();
}

QRect FittedPlacement(const QRect& outer, const QList<QRect>& screens) {
    QList<QRect> usable;
    for (const QRect& screen : screens)
        if (!screen.isEmpty())
            usable.append(screen);
    if (usable.isEmpty() || FrameOnScreens(outer, usable))
        return outer;
    QRect target = usable.front();
    long long best = 0;
    for (const QRect& screen : usable) {
        long long area = OverlapArea(outer, screen);
        if (area > best) {
            best = area;
            target = screen;
        }
    }
    const int width = std::clamp(outer.width(), 1, target.width());
    const int height = std::clamp(outer.height(), 1, target.height());
    const int left = std::clamp(outer.left(), target.left(), target.right() + 1 - width);
    const int top = std::clamp(outer.top(), target.top(), target.bottom() + 1 - height);
    return QRect(left, top, width, height);
}

QRect PlacedInnerGeometry(const QRect& savedOuter, const QMargins& frame,
                          const QList<QRect>& screens) {
    // A saved size smaller than the frame itself still leaves a window.
    QRect saved = savedOuter;
    saved.setWidth(std::max(saved.width(), frame.left() + frame.right() + 1));
    saved.setHeight(std::max(saved.height(), frame.top() + frame.bottom() + 1));
    QRect inner = FittedPlacement(saved, screens).marginsRemoved(frame);
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

void ApplyWindowPlacement(frmMain& form, WindowPlacement& place) {
    const TwipsLayout& twips = form.layout;
    QMargins frame = WaitForWindowFrame(form);
    QRect savedOuter(twips.ToPixelsX(place.left), twips.ToPixelsY(place.top),
                     twips.ToPixelsX(place.width), twips.ToPixelsY(place.height));
    QRect inner = PlacedInnerGeometry(savedOuter, frame, AvailableScreens());
    if (QRect outer = inner.marginsAdded(frame); outer != savedOuter) {
        place.left = twips.ToTwipsX(outer.x());
        place.top = twips.ToTwipsY(outer.y());
        place.width = twips.ToTwipsX(outer.width());
        place.height = twips.ToTwipsY(outer.height());
    }
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
