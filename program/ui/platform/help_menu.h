#pragma once

#include <functional>
#include <string>

#include "ui/platform/platform_services.h"

class QMenu;
class QWidget;

// The Help and Settings menus of the main window and the launcher that opens
// documents and the maker's web pages.

inline constexpr const char* kMakerName = "ヴァルンホルト";
inline constexpr const char* kMakerHomePage = "https://www.varnholt.example/";
inline constexpr const char* kMakerQAPage = "https://www.varnholt.example/support/qa.html";

// The program registered for documents with the extension `ext` (no dot),
// with a command. When there is none, a warning says so and false is
// returned; `program` is then unchanged.
bool GetAssocApp(PlatformServices& services, const std::string& ext, RegisteredProgram& program);

// Opens a file path or a web address with the desktop; when the desktop
// cannot, with the program registered for ".htm" documents, the target an
// argument of its own. True when something was started; an empty target
// starts nothing and counts as done.
bool OpenDocument(PlatformServices& services, const std::string& target);

// The Help menu's commands.
void HelpIndex(PlatformServices& services, const QWidget* mainWindow);
void HelpManual(PlatformServices& services, const std::string& programFolder);
void HelpHomePage(PlatformServices& services);
void HelpQASite(PlatformServices& services);

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
