#include "ui/dialog_support.h"

#include "core/program_folder.h"

std::string HelpPagePath(const std::string& page) {
    return ProgramFolder() + "/help/" + page;
}
