#pragma once

#include <QFontMetrics>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "ui/platform/platform_services.h"

// The platform services over Qt: QMessageBox, QFileDialog, the desktop's
// registered programs (xdg-open, xdg-mime and
// the desktop entries) and the system clipboard.
// Dialogs are owned by the window given as parent (the main window once it
// exists), so that they open centred on it.
class QtPlatformServices : public PlatformServices {
  public:
    explicit QtPlatformServices(QWidget* parentWindow = nullptr);

    void SetParentWindow(QWidget* parentWindow) { parent_ = parentWindow; }

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, const std::string& title,
                              MessageButtons buttons) override;
    void Refuse(const std::string& note) override;
    void RefuseBeside(const std::string& note, QWidget* control, QRect area = {}) override;
    std::optional<std::string> GetOpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> GetSaveFileName(const FileDialogRequest& request,
                                               bool confirmOverwrite) override;
    std::optional<std::string> BrowseForFolder(const std::string& title,
                                               const std::string& initialFolder) override;
    bool OpenWithDesktop(const std::string& target) override;
    std::optional<RegisteredProgram> AssociatedProgram(const std::string& ext) override;
    bool StartProgram(const std::vector<std::string>& arguments) override;
    std::string ClipboardText() override;
    void SetClipboardText(const std::string& text) override;
    void OpenHelp(const std::string& pagePath) override;

    // The window message boxes open over: the parent window, or while there
    // is none the program's shown main window.
    QWidget* MessageOwner() const;

  private:
    QPointer<QWidget> parent_;
};

// The refusal note that shows now, null when none does.
QWidget* ShownRefusalNote();

// A filter of "description|pattern|" pairs as Qt's name filters joined by
// ";;": "ファイル (*.qmf)|*.qmf|" gives "ファイル (*.qmf)"; a description that
// does not end with its patterns in brackets gets them appended.
QString QtNameFilters(const std::string& filter);

// The start of a file dialog: the initial name inside the initial folder, or
// the name alone when it is a whole path.
QString DialogStartPath(const FileDialogRequest& request);

// The file a file dialog chose, in the bytes of the file system's names. A
// name that is not UTF-8 (from an archive made on another system) shows in
// the dialog with a replacement character for each byte it cannot show; each
// such part of the chosen path is the one entry of its folder that shows so,
// and the proposed start path itself, chosen unchanged, keeps its own bytes.
// A part the folder does not hold (a new name) stays as it was typed.
std::string ChosenFilePath(const QString& chosen, const FileDialogRequest& request);

// A message's text in lines no wider than `width` with `metrics`, broken where
// a Japanese reader breaks: after punctuation, a blank or a path's "/", and
// where a word begins (a kanji or katakana after kana), never inside a word
// ("できませんでした" stays whole) while such a place fits. A run with no such
// place that is wider than `width` (a long file name) breaks after its last
// "/" that fits, else after its last character that fits: every character
// stays, in order, and no line is wider than `width` unless one character is.
QString MessageLines(const QString& text, const QFontMetrics& metrics, int width);
