#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

class PlatformServices;
class QCloseEvent;
class QDialog;

// Small pieces the dialogs share: text conversion between the core's UTF-8
// strings and Qt, and where the dialogs' help pages lie.

inline QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string ToStd(const QString& text) {
    return text.toStdString();
}

// The tags dialogs hand back to their callers.
inline const QString kTagOK = QStringLiteral("OK");
inline const QString kTagChanged = QStringLiteral("Changed");

// The help page `page` (a file name such as "basic_data.htm") in the help
// folder beside the program, or the help index when there is no such page.
std::string HelpPagePath(const std::string& page);

// The close box of a dialog whose data were edited asks "データの更新を有効にしますか":
// Yes saves (save() gives 0 when it worked) and closes as OK, Cancel keeps the
// dialog open; both take the event. True when the dialog closes the ordinary
// way: it was not edited, or No was answered.
bool CloseEditedDialog(QDialog& dialog, QCloseEvent* event, bool changed,
                       PlatformServices& services, const std::function<int()>& save);

// After a project file was opened: when some of its texts could not be read
// whole (`unreadable`, as the reader names them), a message says which.
void ShowUnreadableTexts(PlatformServices& services, const std::vector<std::string>& unreadable,
                         const std::string& path);
