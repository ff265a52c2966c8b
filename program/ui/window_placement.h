#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

#include "core/settings.h"

class frmMain;
class QWidget;

// The saved window placement is the outer rectangle of the window, frame
// included, as the close records it. These helpers turn it back into the
// inner rectangle that Qt places, so that a start and a close without a touch
// leave the placement as it was.

// The height of the strip at the top of a window by which it can be grabbed
// when the frame does not say (an unframed window).
inline constexpr int kGripHeight = 20;

// Whether the window's title bar (the top `gripHeight` pixels of `outer`) lies
// whole inside the height of one of the screens, with enough of its width on
// that screen to be grabbed.
bool TitleBarReachable(const QRect& outer, int gripHeight, const QList<QRect>& screens);

// `outer` itself when its title bar is reachable; otherwise moved, at its
// size, onto the screen it overlaps most (the first one when it overlaps
// none), its top-left corner kept on that screen.
QRect ReachablePlacement(const QRect& outer, int gripHeight, const QList<QRect>& screens);

// The inner rectangle that gives the window the outer rectangle `savedOuter`
// (pixels) inside a frame of `frame`, after moving it onto a screen when its
// title bar could not be reached.
QRect PlacedInnerGeometry(const QRect& savedOuter, const QMargins& frame,
                          const QList<QRect>& screens);

// The frame around a shown window, once the window manager has framed it:
// waits (at most `timeoutMs`, user input held back) until the window is on
// the screen. Without a window manager the frame is empty.
QMargins WaitForWindowFrame(QWidget& window, int timeoutMs = 2000);

// Start-up's placement: the saved outer place and size in twips applied to
// the shown main window, then the saved state (1 minimised, 2 maximised).
void ApplyWindowPlacement(frmMain& form, const WindowPlacement& place);
