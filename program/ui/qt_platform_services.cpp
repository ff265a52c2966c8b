#include "ui/qt_platform_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTextStream>
#include <QUrl>
#include <QWindow>

#include "ui/dialog_support.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// A web address (or any other address with a scheme) rather than a local path.
bool IsAddress(const QString& target) {
    return target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("mailto:"));
}

// The Exec line of the desktop entry `desktopId`; none when the entry cannot
// be found, an empty text when it has no Exec line.
std::optional<QString> DesktopEntryExec(const QString& desktopId) {
    QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        QString line = in.readLine().trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QStringLiteral("[Desktop Entry]");
        else if (inEntry && line.startsWith(QStringLiteral("Exec=")))
            return line.mid(5);
    }
    return QString();
}

}  // namespace

QtPlatformServices::QtPlatformServices(QWidget* parentWindow) : parent_(parentWindow) {}

QWidget* QtPlatformServices::MessageOwner() const {
    if (parent_ != nullptr)
        return parent_;
    // During start-up the main window is shown before it is handed over:
    // messages then open over it rather than alone in the middle of the
    // screen.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) == nullptr || !w->isVisible())
            continue;
        // Just shown, it may not stand where the window manager puts it yet;
        // a box centred on it now would open somewhere else.
        QElapsedTimer waited;
        waited.start();
        while (w->windowHandle() != nullptr && !w->windowHandle()->isExposed() &&
               waited.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return w;
    }
    return nullptr;
}

MessageAnswer QtPlatformServices::ShowMessage(const std::string& text, MessageIcon icon,
                                              const std::string& title, MessageButtons buttons) {
    QMessageBox box(BoxIcon(icon), Q(title), Q(text), BoxButtons(buttons), MessageOwner());
    UseModalDialogFrame(box);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            break;
    }
    // Closing a box without a Cancel button counts as its one answer.
    if (buttons == MessageButtons::YesNo)
        return MessageAnswer::No;
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void QtPlatformServices::Beep() {
    QApplication::beep();
}

std::optional<std::string> QtPlatformServices::GetOpenFileName(const FileDialogRequest& request) {
    QString chosen = QFileDialog::getOpenFileName(
        parent_, Q(request.title), DialogStartPath(request), QtNameFilters(request.filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> QtPlatformServices::GetSaveFileName(const FileDialogRequest& request,
                                                               bool confirmOverwrite) {
    QFileDialog::Options options;
    if (!confirmOverwrite)
        options |= QFileDialog::DontConfirmOverwrite;
    QString chosen =
        QFileDialog::getSaveFileName(parent_, Q(request.title), DialogStartPath(request),
                                     QtNameFilters(request.filter), nullptr, options);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> QtPlatformServices::BrowseForFolder(const std::string& title,
                                                               const std::string& initialFolder) {
    QString chosen = QFileDialog::getExistingDirectory(parent_, Q(title), Q(initialFolder),
                                                       QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

bool QtPlatformServices::OpenWithDesktop(const std::string& target) {
    QString text = Q(target);
    QUrl url = IsAddress(text) ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

std::optional<std::string> QtPlatformServices::AssociatedOpenCommand(const std::string& ext) {
    QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("document.") + Q(ext),
                                                     QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return std::nullopt;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), type.name()});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    QString desktopId = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    if (desktopId.isEmpty())
        return std::string();
    std::optional<QString> exec = DesktopEntryExec(desktopId);
    if (!exec)
        return std::nullopt;
    return CommandWithoutFieldCodes(exec->toStdString());
}

bool QtPlatformServices::StartCommand(const std::string& commandLine) {
    QStringList parts = QProcess::splitCommand(Q(commandLine));
    if (parts.isEmpty())
        return false;
    QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

std::string QtPlatformServices::ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

void QtPlatformServices::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(Q(text));
}

void QtPlatformServices::OpenHelp(const std::string& pagePath) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(Q(pagePath)));
}

QString QtNameFilters(const std::string& filter) {
    QStringList parts = Q(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(u';', u' ');
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        if (!description.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")")))
            description += QStringLiteral(" (") + patterns + QStringLiteral(")");
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

QString DialogStartPath(const FileDialogRequest& request) {
    QString folder = Q(request.initialFolder);
    QString name = Q(request.initialName);
    if (name.isEmpty())
        return folder;
    if (name.startsWith(u'/') || folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

std::string CommandWithoutFieldCodes(const std::string& exec) {
    std::string out;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%') {
            out += exec[i];
            continue;
        }
        if (i + 1 < exec.size() && exec[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // A field code, with the quotes that may enclose it.
        if (!out.empty() && out.back() == '"' && i + 2 < exec.size() && exec[i + 2] == '"') {
            out.pop_back();
            ++i;
        }
        ++i;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}
