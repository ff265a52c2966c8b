#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "core/message_sink.h"
#include "ui/platform/desktop_entry.h"

class QWidget;

// What the windows ask of the desktop: message boxes, file dialogs, the folder
// browser, opening documents and web pages, the bell, the clipboard and the
// help pages. The program uses QtPlatformServices; tests use a scripted fake,
// so that every dialog answer can be given without a display.
//
// Texts and paths are UTF-8. A dialog that is cancelled answers std::nullopt.

// One file dialog. `filter` is written as pairs of description and pattern,
// each followed by "|": "ファイル (*.qmf)|*.qmf|"; several patterns of one
// pair are separated by ";". An empty title leaves the system's own title.
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string initialFolder;
    std::string initialName;  // a bare name or a whole path
};

class PlatformServices : public MessageSink {
  public:
    // Message boxes come from MessageSink::ShowMessage.

    // A refusal the user must see: the bell and a short note beside the
    // control that has the focus (many desktops sound no bell). The note
    // stays until the next key or click, whatever the pointer does.
    virtual void Refuse(const std::string& note) = 0;

    // The same, with the note beside `control`, under `area` (in the
    // control's coordinates: a grid's cell) or, when that is empty, under the
    // whole control: a box or cell refused as it is left no longer has the
    // focus.
    virtual void RefuseBeside(const std::string& note, QWidget* control, QRect area = {}) = 0;

    // Chooses an existing file to open.
    virtual std::optional<std::string> GetOpenFileName(const FileDialogRequest& request) = 0;

    // Chooses a file to write. With `confirmOverwrite` the user is asked before
    // an existing file is chosen; otherwise any name is taken as it stands.
    virtual std::optional<std::string> GetSaveFileName(const FileDialogRequest& request,
                                                       bool confirmOverwrite) = 0;

    // The folder browser: file-system folders only; `title` is its instruction.
    virtual std::optional<std::string> BrowseForFolder(const std::string& title,
                                                       const std::string& initialFolder) = 0;

    // Opens a document (a local path) or a web address with the program the
    // desktop has registered for it. True when the desktop reports it opened
    // (or is still busy with the program it started); false when it has no
    // program for the target or cannot be asked.
    virtual bool OpenWithDesktop(const std::string& target) = 0;

    // The program registered for documents with the extension `ext` (without
    // its dot): none when no program is known for the extension, one with an
    // empty command when the extension is known but no command is registered.
    virtual std::optional<RegisteredProgram> AssociatedProgram(const std::string& ext) = 0;

    // Starts arguments[0] with the other arguments as they stand, without a
    // shell. True when the program was started.
    virtual bool StartProgram(const std::vector<std::string>& arguments) = 0;

    // The clipboard's text; an empty text when it holds none.
    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;

    // Opens a help page (a local HTML file) in the desktop's browser.
    virtual void OpenHelp(const std::string& pagePath) = 0;
};
