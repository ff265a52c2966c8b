// The File menu of the main window: New, Open, the recent files, Save, Save
// As, the figure as a metafile, Print and Preview.
#include <sys/stat.h>

#include <QWidget>

#include "core/path_helpers.h"
#include "core/project_file.h"
#include "core/result_csv.h"
#include "output/clsPrinter.h"
#include "output/print_job.h"
#include "sheets/printed_pages.h"
#include "sheets/sheet_composition.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/frmPreview.h"
#include "ui/dialogs/frmPreviewSet.h"
#include "ui/main_window/frmMain.h"

namespace {

constexpr const char* kSavePrompt = "データが更新されています。保存しますか？";
constexpr const char* kProjectFilter = "Vekt／Quilmorn2008ファイル (*.qmf)|*.qmf|";
constexpr const char* kExportTitle = "図をﾒﾀﾌｧｲﾙに保存";
constexpr const char* kExportFilter = "ﾒﾀﾌｧｲﾙ (*.wmf)|*.wmf";
constexpr const char* kProjectNotStorable = "このデータはファイルに保存できません：";
constexpr const char* kFigureWriteFailed = "ﾒﾀﾌｧｲﾙの書き込みに失敗しました";
constexpr const char* kFigureOverProject =
    "開いているデータファイルには図を保存できません。別の名前を指定してください。";

// The path of a file in a folder; a folder that already ends in a separator
// (the root) takes no second one, and a file without a folder stays bare.
std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// Whether two paths name one file: the same bytes, or the same file reached
// through a link or another spelling of its folder.
bool SameFile(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    struct stat x {};
    struct stat y {};
    return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

}  // namespace

void frmMain::DocumentRefresh() {
    ResetInputGrids();
    ShowDocument();
    picShow_Paint(0);
    IsChanged = false;
}

bool frmMain::SaveChangesFirst() {
    if (!CommitFocusedInput())
        return false;
    if (!IsChanged)
        return true;
    switch (services.ShowMessage(kSavePrompt, MessageIcon::Exclamation, windowTitle().toStdString(),
                                 MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            return mnuFileSave_Click();
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

void frmMain::mnuFileNew_Click() {
    if (!SaveChangesFirst())
        return;
    NewDocument(doc);
    ProjectFileContent.reset();
    DocumentRefresh();
    SetCaption();
    cmdKihonData_Click();
}

void frmMain::mnuFileOpen_Click() {
    if (!SaveChangesFirst())
        return;
    FileDialogRequest request;
    request.filter = kProjectFilter;
    request.initialFolder = settings.defaultDataFolder;
    std::optional<std::string> chosen = services.GetOpenFileName(request);
    if (!chosen || chosen->empty())
        return;
    OpenProjectPath(*chosen);
}

void frmMain::mnuFileList_Click(int index) {
    if (index < 1 || index > 5)
        return;
    // Taken before the question: saving first may reorder the list.
    const std::string path = settings.recentFiles[static_cast<std::size_t>(index - 1)];
    if (path.empty())
        return;
    if (!SaveChangesFirst())
        return;
    OpenProjectPath(path);
}

bool frmMain::OpenProjectPath(const std::string& path) {
    std::string folder;
    std::string name;
    SplitNativePath(path, folder, name);
    const std::string projectPath = JoinPath(folder, name);
    // The reader says what went wrong and leaves the open document as it was.
    std::vector<std::string> unreadable;
    FileContent content;
    if (ReadProjectFile(projectPath, doc, services, &unreadable, &content) != kProjectFileOk) {
        RemoveRecentFile(settings, projectPath);
        SetMruMenu();
        return false;
    }
    AddRecentFileReporting(settings, projectPath, services);
    doc.currentFolder = folder;
    doc.currentFileName = name;
    ProjectFileContent = content;
    SetMruMenu();
    SetCaption();
    DocumentRefresh();
    ShowUnreadableTexts(services, unreadable, projectPath);
    return true;
}

bool frmMain::mnuFileSave_Click() {
    if (!CommitFocusedInput())
        return false;
    if (doc.currentFileName.empty())
        return mnuFileSaveAs_Click();
    return WriteProjectPath(doc.currentFolder, doc.currentFileName);
}

bool frmMain::mnuFileSaveAs_Click() {
    if (!CommitFocusedInput())
        return false;
    doc.currentFolder = RemoveTrailingBackslash(doc.currentFolder);
    FileDialogRequest request;
    request.filter = kProjectFilter;
    request.initialFolder = doc.currentFolder;
    if (!doc.currentFileName.empty())
        request.initialName = JoinPath(doc.currentFolder, doc.currentFileName);
    else if (!doc.basicData.ShortName.empty())
        request.initialName = JoinPath(doc.currentFolder, doc.basicData.ShortName);
    std::optional<std::string> chosen = services.GetSaveFileName(request, true);
    if (!chosen || chosen->empty())
        return false;
    std::string folder;
    std::string name;
    SplitNativePath(*chosen, folder, name);
    return WriteProjectPath(folder, name);
}

bool frmMain::WriteProjectPath(const std::string& folder, const std::string& name) {
    const std::string projectPath = JoinPath(folder, name);
    // What the data itself keeps from a file is named; the write failure's
    // message is for a file that could not be written.
    if (const std::string reason = UnstorableReason(doc); !reason.empty()) {
        services.ShowMessage(std::string(kProjectNotStorable) + reason + "\r\n\r\n" + projectPath,
                             MessageIcon::Exclamation);
        return false;
    }
    // Another program or user may have saved the open file since: replacing
    // it would lose their version without a word. Only its bytes tell; a
    // touch or the same bytes copied over it are no change.
    if (ProjectFileContent && !doc.currentFileName.empty() &&
        SameFile(projectPath, JoinPath(doc.currentFolder, doc.currentFileName)) &&
        CompareWithDisk(projectPath, *ProjectFileContent) == DiskContent::kChanged &&
        services.ShowMessage(ChangedOnDiskQuestion(projectPath), MessageIcon::Exclamation,
                             windowTitle().toStdString(),
                             MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;
    ProjectWrite write;
    if (WriteProjectFile(projectPath, doc, &write) != kProjectFileOk) {
        // The document keeps the name, caption and list of its last good
        // save, so a later Save does not aim at a place that cannot be
        // written; no results file stands beside a project that was not.
        services.ShowMessage(ProjectWriteFailedText(projectPath, write.result),
                             MessageIcon::Exclamation);
        return false;
    }
    ProjectFileContent = write.content;
    if (!write.replaced.groupKept)
        services.ShowMessage(GroupNotKeptText(projectPath, write.replaced),
                             MessageIcon::Exclamation);
    doc.currentFolder = folder;
    doc.currentFileName = name;
    AddRecentFileReporting(settings, projectPath, services);
    IsChanged = false;
    SetMruMenu();
    SetCaption();
    // The results file reports its own failure; the project is saved either way.
    SaveResultCsvBeside(projectPath, doc, services, CalcMessages(), library);
    return true;
}

void frmMain::mnuFileExport_Click() {
    if (!CommitFocusedInput())
        return;
    FileDialogRequest request;
    request.title = kExportTitle;
    request.filter = kExportFilter;
    // The dialog lists only metafiles, so it must ask before any other file
    // of the chosen name is replaced.
    std::optional<std::string> chosen = services.GetSaveFileName(request, true);
    if (!chosen || chosen->empty())
        return;
    if (!doc.currentFileName.empty()) {
        const std::string projectPath = JoinPath(doc.currentFolder, doc.currentFileName);
        if (SameFile(*chosen, projectPath)) {
            services.ShowMessage(std::string(kFigureOverProject) + "\r\n\r\n" + projectPath,
                                 MessageIcon::Exclamation);
            return;
        }
    }
    // The figure is composed from fresh results, as the printed pages are.
    Recalculate();
    const bool written = SaveLogSheetMetafile(doc, *chosen);
    DrawViews(kViewWhole);
    picShow_Paint(0);
    if (!written)
        services.ShowMessage(kFigureWriteFailed, MessageIcon::None);
}

void frmMain::mnuFilePrint_Click() {
    if (!CommitFocusedInput())
        return;
    PrintSelection = doc.prevPrintItems;
    clsPrinter& printer = Printer();
    // The pages are composed from fresh results, as the preview's are, for
    // the paper the dialog chose; the figure is redrawn whole afterwards.
    Recalculate();
    PrintPages(printer, canvases.pageMeta, settings.printMargins, services, [&] {
        RecordPrintedPages(canvases, doc, settings, printer, programInfo, PrintSelection);
    });
    DrawViews(kViewWhole);
    picShow_Paint(0);
}

void frmMain::mnuFilePreView_Click() {
    if (!CommitFocusedInput())
        return;
    const PrintItemFlags before = doc.prevPrintItems;
    bool confirmed = false;
    PrintItemFlags items{};
    {
        frmPreviewSet choice(doc, services, this);
        RunModal(choice);
        confirmed = choice.Tag() == kTagOK;
        items = choice.PrintItems();
    }
    if (!confirmed)
        return;
    // The choice is stored in the project file: a new one is an edit.
    if (doc.prevPrintItems != before)
        IsChanged = true;
    // The preview composes its pages from fresh results; the result grid is
    // left as it was, and the figure is redrawn whole once the preview closes.
    Recalculate();
    {
        frmPreview preview(
            doc, settings, canvases, programInfo, [this]() -> clsPrinter& { return Printer(); },
            services, items, this);
        preview.RunModal = RunModal;
        RunModal(preview);
    }
    DrawViews(kViewWhole);
    picShow_Paint(0);
}
