#pragma once

class QApplication;

// The program's look on the desktop: the desktop's own style, except that
// dialog and message-box buttons (はい, いいえ, OK, キャンセル) carry their
// captions only, without the coloured icons some desktops add to them.
void UseProgramStyle(QApplication& app);

// The program's windows in the Japanese font of the grids and sheets
// (IPAGothic) at the desktop's size, whatever the desktop's language.
void UseProgramFonts(QApplication& app);
