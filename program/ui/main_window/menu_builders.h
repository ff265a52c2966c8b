#pragma once

#include <functional>

#include "ui/platform/platform_services.h"

class QMenu;
class QWidget;

// The Help and Settings menus of the main window: their items, captions and
// object names, each item running its command.

// Fills `mnuHelp` with its items (object names as the menu items' names):
// topics, the manual, the two web pages and the version dialog, which the
// main window opens through `showVersion`.
void BuildHelpMenu(QMenu* mnuHelp, PlatformServices& services, QWidget* mainWindow,
                   std::function<void()> showVersion);

// Fills `mnuOption` with the three settings dialogs' items; each runs the
// main window's command for its dialog.
struct OptionMenuCommands {
    std::function<void()> path;    // mnuOptionPath: the options dialog
    std::function<void()> yohaku;  // mnuOptionYohaku: the page setup dialog
    std::function<void()> soName;  // mnuOptionSoName: the soil-name definitions dialog
};
void BuildOptionMenu(QMenu* mnuOption, OptionMenuCommands commands);
