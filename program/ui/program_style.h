#pragma once

class QApplication;

// The program's look on the desktop: the desktop's own style, except that
// dialog and message-box buttons (はい, いいえ, OK, キャンセル) carry their
// captions only, without the coloured icons some desktops add to them.
void UseProgramStyle(QApplication& app);
