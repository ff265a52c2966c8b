#pragma once

class QDialog;

// A modal dialog's frame: a title with the close box, without the minimise
// and maximise buttons that a window waiting for an answer has no use for;
// its size stays as it opens. The message boxes of the platform services
// and the program's dialogs share it.
void UseModalDialogFrame(QDialog& dialog);
