#pragma once

#include <functional>

class QDialog;

// How the windows show a command's modal dialog: exec() in the program. Tests
// install a runner that fills in and closes the dialog without a modal loop.
using ModalRunner = std::function<void(QDialog&)>;

// Shows the dialog modally through the runner in place.
void RunModal(QDialog& dialog);

// Replaces the runner; an empty runner restores exec(). Gives the previous one.
ModalRunner SetModalRunner(ModalRunner runner);
