#pragma once

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

// Opens the help at the topic of the window (the object name of its top-level
// window, "frmMain" or a dialog's name). The F1 key and the Help buttons use it.
void ShowHelp(PlatformServices& services, const QWidget* window,
              const std::string& helpFolder = HelpFolder());

// Makes F1 anywhere in the window open its help (ShowHelp).
void InstallHelpKey(QWidget* window, PlatformServices& services);

// Shows the folder browser with `title` as its instruction, starting at
// `path`. The chosen folder replaces `path`; on cancel `path` is unchanged.
void BrowseForFolder(PlatformServices& services, const std::string& title, std::string& path);

// Opens `file` in `folder` with the program the desktop has registered for
// it. When that cannot be done, an exclamation box under the program's title
// says why; nothing is returned.
void OpenWithAssociatedProgram(PlatformServices& services, const std::string& file,
                               const std::string& folder);
