#pragma once

#include <span>
#include <string>

#include "ui/platform/platform_services.h"

class QWidget;

// Helpers that reach the desktop through the platform services: the help
// pages, the folder browser and opening a document with its registered program.

// The folder of the help pages, "HELP" beside the executable.
std::string HelpFolder();

// The help page for a topic: "<topic>.htm" in the help folder when it exists,
// otherwise the folder's "index.htm".
std::string HelpPagePath(const std::string& helpFolder, const std::string& topic);

// The help page of every window of the program: the object name of the
// window and the name of its page without ".htm".
struct HelpTopic {
    const char* window;
    const char* page;
};
std::span<const HelpTopic> HelpTopics();

// The help topic of a window by its object name: its page, or the index for
// a window not in the table (the desktop's file and print dialogs).
std::string HelpTopicOf(const std::string& window);

// A window whose page depends on what it shows (the tab on show) names that
// page, without ".htm", in this property; it takes the place of the table's.
inline constexpr char kHelpPageProperty[] = "helpPage";

// Opens the help at the topic of the window (that of its top-level window,
// "frmMain" or a dialog): its kHelpPageProperty when set, else its entry in
// HelpTopics. The F1 key and the Help buttons use it.
void ShowHelp(PlatformServices& services, const QWidget* window,
              const std::string& helpFolder = HelpFolder());

// Makes F1 open the help of the window it is pressed in (ShowHelp): `window`
// itself, and while `window` lives every other window of the program too,
// the modal dialogs over it included.
void InstallHelpKey(QWidget* window, PlatformServices& services);

// Shows the folder browser with `title` as its instruction, starting at
// `path`. The chosen folder replaces `path`; on cancel `path` is unchanged.
void BrowseForFolder(PlatformServices& services, const std::string& title, std::string& path);

// Opens `file` in `folder` with the program the desktop has registered for
// it. When that cannot be done, an exclamation box under the program's title
// says why; nothing is returned.
void OpenWithAssociatedProgram(PlatformServices& services, const std::string& file,
                               const std::string& folder);
