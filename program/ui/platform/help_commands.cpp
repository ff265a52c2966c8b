#include "ui/platform/help_commands.h"

#include "ui/platform/desktop_helpers.h"

bool GetAssocApp(PlatformServices& services, const std::string& ext, RegisteredProgram& program) {
    std::optional<RegisteredProgram> registered = services.AssociatedProgram(ext);
    if (registered && !registered->exec.empty()) {
        program = *registered;
        return true;
    }
    std::string text = "拡張子 " + ext;
    if (registered)
        text += " にアプリケーションが関連づけされていないため、起動することができません。";
    else
        text += " に関連づけられたアプリケーションを見つけることができませんでした。";
    services.ShowMessage(text, MessageIcon::Exclamation, kProgramTitle, MessageButtons::Ok);
    return false;
}

bool OpenDocument(PlatformServices& services, const std::string& target) {
    if (target.empty())
        return true;
    if (services.OpenWithDesktop(target))
        return true;
    RegisteredProgram program;
    if (!GetAssocApp(services, "htm", program))
        return false;
    std::vector<std::string> arguments = DesktopEntryArguments(program, target);
    return !arguments.empty() && services.StartProgram(arguments);
}

void HelpIndex(PlatformServices& services, const QWidget* mainWindow) {
    ShowHelp(services, mainWindow);
}

void HelpManual(PlatformServices& services, const std::string& programFolder) {
    OpenWithAssociatedProgram(services, "pdf.htm", programFolder + "/manual");
}

void HelpHomePage(PlatformServices& services) {
    OpenDocument(services, kMakerHomePage);
}

void HelpQASite(PlatformServices& services) {
    OpenDocument(services, kMakerQAPage);
}
