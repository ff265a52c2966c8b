#include "ui/dialog_support.h"

#include "ui/desktop_helpers.h"

std::string HelpPagePath(const std::string& page) {
    // The dialogs name their page with its extension; the help folder serves
    // the index page for one that is not there.
    std::string topic = page;
    const std::string extension = ".htm";
    if (topic.size() > extension.size() &&
        topic.compare(topic.size() - extension.size(), extension.size(), extension) == 0)
        topic.resize(topic.size() - extension.size());
    return HelpPagePath(HelpFolder(), topic);
}
