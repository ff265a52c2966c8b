#pragma once

#include <string>

#include "ui/platform/platform_services.h"

class QWidget;

// The Help menu's commands and the launcher that opens documents and the
// maker's web pages. The menus that run them belong to the main window.

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
