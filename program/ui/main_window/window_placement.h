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

// Whether the whole of `outer` (frame, title bar and close box included) lies
// on the screens: no pixel of it outside every screen.
bool FrameOnScreens(const QRect& outer, const QList<QRect>& screens);

// `outer` itself when it lies whole on the screens; otherwise fitted to the
// screen it overlaps most (the first one when it overlaps none): no larger
// than that screen and moved as little as keeps it whole on it. A placement
// that a larger desk or another scale factor saved thus opens on the screen
// that is there now.
QRect FittedPlacement(const QRect& outer, const QList<QRect>& screens);

// The inner rectangle that gives the window the outer rectangle `savedOuter`
// (pixels) inside a frame of `frame`, after fitting it to the screens.
QRect PlacedInnerGeometry(const QRect& savedOuter, const QMargins& frame,
                          const QList<QRect>& screens);

// The frame around a shown window, once the window manager has framed it:
// waits (at most `timeoutMs`, user input held back) until the window is on
// the screen. Without a window manager the frame is empty.
QMargins WaitForWindowFrame(QWidget& window, int timeoutMs = 2000);

// Start-up's placement: the saved outer place and size in twips applied to
// the shown main window, then the saved state (1 minimised, 2 maximised). A
// placement that had to be fitted to the screens is recorded fitted, so that
// a window closed maximised does not keep a size no screen holds.
void ApplyWindowPlacement(frmMain& form, WindowPlacement& place);
