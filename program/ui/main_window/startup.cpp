#include "ui/main_window/startup.h"

#include <QDir>
#include <QSysInfo>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/file_io.h"
#include "core/path_helpers.h"
#include "core/project_file.h"
#include "core/settings_folder.h"
#include "core/soil_names.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/main_window/window_placement.h"

namespace {

constexpr const char* kLockFileName = "Quilmorn2008.lock";

// True when the lock file names a running instance of this program. Qt has
// already cleared a lock of this host whose process is gone or runs another
// program; a lock that names no process (empty or garbage) or a process of
// another host cannot keep anyone out here, as nothing can ever clear it.
bool NamesLiveInstance(const QLockFile& lock, qint64& pid, QString& host) {
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application)) {
        // An instance that is taking the lock right now has made the file but
        // not yet written its name into it: look once more a moment later.
        QThread::msleep(200);
        if (!lock.getLockInfo(&pid, &host, &application))
            return false;
    }
    return host.isEmpty() || host == QSysInfo::machineHostName();
}

std::string RefusalText(const std::string& lockPath, qint64 pid, const QString& host) {
    return std::string(kProgramTitle) + " は既に起動しています。\r\n\r\n" +
           "ロックファイル: " + lockPath + "\r\n" + "プロセス: " + std::to_string(pid) +
           (host.isEmpty() ? std::string() : " (" + host.toStdString() + ")");
}

// Clears what stands at the lock's path but cannot be a lock: only this
// program makes the lock, always as a regular file. A link (dangling or not),
// a FIFO (opening it to read the lock would wait for a writer), a socket or an
// empty folder is removed. False when something else is left there (a folder
// with files in it, or one that may not be removed), which the start then
// leaves alone; `blocker` then says what it is.
bool ClearWhatIsNoLock(const std::string& path, std::string& blocker) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return true;
    const bool folder = S_ISDIR(info.st_mode);
    const int cleared = folder ? rmdir(path.c_str()) : unlink(path.c_str());
    if (cleared == 0 || errno == ENOENT)
        return true;
    if (folder && (errno == ENOTEMPTY || errno == EEXIST))
        blocker = "中身のあるフォルダ";
    else
        blocker = std::string(folder ? "フォルダ" : "ファイルでないもの") + "（" +
                  SystemErrorText(errno) + "のため削除できません）";
    return false;
}

// Said once at the start that runs without the lock because of what stands
// at its path, so that the user knows why and what clears it.
std::string LockBlockedText(const std::string& path, const std::string& blocker) {
    return std::string("二重起動の防止が働いていません。\r\n\r\n") + "ロックファイルの場所に" +
           blocker + "があるため、ロックファイルを作れません。\r\n" + path +
           "\r\n\r\nこれを移動または削除すると、次の起動から" + kProgramTitle +
           " が二つ同時に起動することを防ぎます。";
}

// True when this process now holds the program's lock in the settings folder.
// Without a settings folder there is nothing to lock; start-up then stops at
// the settings path with its message. A refused start says which instance
// holds the lock.
bool TakeInstanceLock(ProgramState& state, PlatformServices& services) {
    std::string folder;
    if (GetSettingsFolder(folder) != 0)
        return true;
    QDir().mkpath(QString::fromStdString(folder));
    std::string path = folder + "/" + kLockFileName;
    // What cannot be a lock cannot keep a start out either: without a way to
    // clear it, the program runs without a lock, as on a folder that cannot
    // hold one, and says so.
    if (std::string blocker; !ClearWhatIsNoLock(path, blocker)) {
        state.lockNote = LockBlockedText(path, blocker);
        return true;
    }
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(path));
    lock->setStaleLockTime(0);
    bool locked = lock->tryLock(0);
    qint64 pid = 0;
    QString host;
    if (!locked && lock->error() == QLockFile::LockFailedError &&
        !NamesLiveInstance(*lock, pid, host)) {
        lock->removeStaleLockFile();
        locked = lock->tryLock(0);
    }
    if (!locked) {
        if (lock->error() != QLockFile::LockFailedError)
            return true;  // the folder cannot hold a lock: run without one
        NamesLiveInstance(*lock, pid, host);
        services.ShowMessage(RefusalText(path, pid, host), MessageIcon::Exclamation, kProgramTitle,
                             MessageButtons::Ok);
        return false;
    }
    state.instanceLock = std::move(lock);
    return true;
}

// Sets the window's outer place and size in twips.
void PlaceWindow(frmMain& form, WindowPlacement& place) {
    ApplyWindowPlacement(form, place);
}

}  // namespace

std::string CommandLineText(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += argv[i];
    }
    return text;
}

std::string CommandLinePath(const std::string& commandLine) {
    if (commandLine.empty() || commandLine[0] != '"')
        return commandLine;
    if (commandLine.size() < 2)
        return {};
    return commandLine.substr(1, commandLine.size() - 2);
}

StartResult StartProgram(ProgramState& state, PlatformServices& services,
                         const std::string& commandLine, QuorlithLibrary& library) {
    if (!TakeInstanceLock(state, services))
        return StartResult::kAlreadyRunning;

    state.form =
        std::make_unique<frmMain>(state.doc, state.settings, state.canvases, services, library);
    state.form->show();
    if (!state.lockNote.empty())
        services.ShowMessage(state.lockNote, MessageIcon::Exclamation, kProgramTitle,
                             MessageButtons::Ok);

    SetDefaultSoilNames(state.settings);
    if (GetSettingsFilePath(state.settings) != 0) {
        services.ShowMessage("設定ファイルへのパスが取得できません。", MessageIcon::Critical,
                             kProgramTitle, MessageButtons::Ok);
        return StartResult::kNoSettingsFolder;
    }
    LoadSettings(state.settings, state.doc);
    // Said once: the copy stays, and the next start reads the fresh file.
    if (std::string note = KeptCopyNote(state.settings); !note.empty())
        services.ShowMessage(note, MessageIcon::Exclamation, kProgramTitle, MessageButtons::Ok);

    // The document starts from the new-document defaults, so that a failed
    // read leaves a valid boring on screen.
    NewDocument(state.doc);
    std::string path = CommandLinePath(commandLine);
    std::vector<std::string> unreadable;
    if (!path.empty()) {
        // Kept absolute: the recent-files list and later saves must not depend
        // on the folder the program was started from. The name keeps the
        // bytes the system gave, UTF-8 or not. A name that could not be made
        // absolute lies in the working folder, not the program's.
        path = AbsolutePath(path);
        FileContent content;
        if (ReadProjectFile(path, state.doc, services, &unreadable, &content) == kProjectFileOk) {
            AddRecentFileReporting(state.settings, path, services);
            SplitNativePath(path, state.doc.currentFolder, state.doc.currentFileName);
            state.form->ProjectFileContent = content;
        } else {
            RemoveRecentFile(state.settings, path);
        }
    }
    // The menu shows the list with the file just opened at its head.
    state.form->SetMruMenu();

    WindowPlacement& place = state.settings.windowPlacement;
    if (place.left != -1 && place.top != -1) {
        state.form->PlacingWindow = true;
        PlaceWindow(*state.form, place);
        state.form->PlacingWindow = false;
    }
    state.form->FormLoad();
    // Told once the window shows the texts.
    ShowUnreadableTexts(services, unreadable, path);
    return StartResult::kRunning;
}
