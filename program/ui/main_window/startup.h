#pragma once

#include <QLockFile>
#include <memory>
#include <string>

#include "core/document.h"
#include "core/quorlith_binding.h"
#include "core/settings.h"
#include "sheets/sheet_context.h"
#include "ui/main_window/frmMain.h"
#include "ui/platform/platform_services.h"

// What the running program holds: the one document, the settings, the sheet
// canvases, the main window and the lock that keeps a second instance out.
struct ProgramState {
    Document doc;
    Settings settings;
    SheetCanvases canvases;
    std::unique_ptr<QLockFile> instanceLock;
    // Why the start runs without the lock, when something that is no lock
    // stands at its path; told once the window shows.
    std::string lockNote;
    std::unique_ptr<frmMain> form;
};

enum class StartResult {
    kRunning,           // the main window is shown and loaded
    kAlreadyRunning,    // another instance holds the lock; a message said which
    kNoSettingsFolder,  // the settings folder could not be named or made
};

// The whole command-line text after the program name, the arguments joined by
// single blanks.
std::string CommandLineText(int argc, char** argv);

// The path a command-line text names: a text beginning with a double quote
// loses its first and its last character; a lone double quote names nothing.
std::string CommandLinePath(const std::string& commandLine);

// Start-up: keeps a second instance out (a lock file left behind by an
// instance that no longer runs, or one that names none, is cleared), shows the main window, builds
// the soil-name tables, reads the settings, opens the project file the command line names (or
// starts a new document), restores the saved window placement and loads the window from the data.
StartResult StartProgram(ProgramState& state, PlatformServices& services,
                         const std::string& commandLine,
                         QuorlithLibrary& library = ProgramQuorlithLibrary());
