#pragma once

#include <QString>

#include <string>

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
