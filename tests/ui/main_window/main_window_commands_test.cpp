#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/calc_driver.h"
#include "core/path_helpers.h"
#include "core/project_file.h"
#include "core/result_csv.h"
#include "core/soil_names.h"
#include "output/fake_printer.h"
#include "output/qt_print_system.h"
#include "sheets/soil_const_items.h"
#include "support/recording_sinks.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmKihon.h"
#include "ui/dialogs/frmPreview.h"
#include "ui/dialogs/frmPreviewSet.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/example_boring.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"
#include "ui/main_window/main_window_support.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "Vekt／Quilmorn2008";
constexpr const char* kSavePrompt = "データが更新されています。保存しますか？";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Qt's PDF output as the only printer; its dialog writes to `file`.
struct PdfOnlySystem : QtPrintSystem {
    std::string file;
    bool confirm = true;
    std::optional<QPageSize::PageSizeId> paper;  // chosen in the dialog

    bool RunDialog(QPrinter& printer, const PrintDialogRequest&) override {
        printer.setOutputFileName(QString::fromStdString(file));
        if (paper)
            printer.setPageSize(QPageSize(*paper));
        return confirm;
    }
    std::vector<std::string> SystemPrinters() const override { return {}; }
    std::string SystemDefaultPrinter() const override { return {}; }
};

// Keys typed where the focus is: in a grid the first opens the cell's editor.
void TypeKeys(const QString& text) {
    for (QChar ch : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(ch));
}

// What a grid shows, one line a row: every cell, a hidden column marked "~".
// A hidden grid shows nothing of what it holds.
void AddGridView(const SpreadGrid& grid, std::vector<std::string>& view) {
    if (grid.isHidden()) {
        view.push_back(grid.objectName().toStdString() + " hidden");
        return;
    }
    view.push_back(grid.objectName().toStdString() + " " + std::to_string(grid.MaxCols()) + "x" +
                   std::to_string(grid.MaxRows()));
    for (int row = 0; row <= grid.MaxRows(); ++row) {
        std::string line;
        for (int col = 0; col <= grid.MaxCols(); ++col)
            line += (grid.isColumnHidden(col) ? "~" : "") + grid.Text(col, row).toStdString() + "|";
        view.push_back(line);
    }
}

// The five screen canvases, one line each.
void AddFigureView(const SheetCanvases& canvases, std::vector<std::string>& view) {
    for (std::size_t i = kViewFrame; i <= kViewFlMarks; ++i) {
        const auto bits = canvases.viewMeta[i].PageBits();
        view.emplace_back(bits.begin(), bits.end());
    }
}

// What a main window shows of its document, one line a part: the caption,
// the condition boxes and switches, the basic data, the three grids and the
// figure.
std::vector<std::string> WindowView(const frmMain& w, const SheetCanvases& canvases) {
    std::vector<std::string> view{
        w.windowTitle().toStdString(),       w.txtMagu->text().toStdString(),
        w.txtKasokudo->text().toStdString(), w.txtCalcDepth->text().toStdString(),
        w.txtNchi->text().toStdString(),     w.txtKihon->toPlainText().toStdString()};
    std::string switches;
    for (const QCheckBox* box : w.chkEkidata)
        switches += box->isChecked() ? '1' : '0';
    for (const QCheckBox* box : w.chkNchi)
        switches += box->isChecked() ? '1' : '0';
    for (const QCheckBox* box : w.chkSodata)
        switches += std::string(box->isChecked() ? "1" : "0") + (box->isEnabled() ? "" : "-");
    view.push_back(switches + (w.optTigenShitei1[0]->isChecked() ? " a" : " b"));
    for (const SpreadGrid* grid : {w.vaSpreadN, w.vaSpreadS, w.vaSpreadE})
        AddGridView(*grid, view);
    AddFigureView(canvases, view);
    return view;
}

int PdfPageCount(const fs::path& pdf) {
    std::string text = ReadAll(pdf);
    int pages = 0;
    for (std::size_t at = text.find("/Type /Page"); at != std::string::npos;
         at = text.find("/Type /Page", at + 1))
        pages += text.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

class MainWindowCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        folder = PrepareTestFolder("main_window_commands", settings, doc);
        MakeWindow();
    }
    void TearDown() override { window->IsChanged = false; }

    // A new main window over the test's document, printing to PDF files.
    void MakeWindow() {
        window.reset();
        window = std::make_unique<frmMain>(doc, settings, canvases, services);
        // Dialogs that commands open are recorded and cancelled unless a test
        // answers them.
        window->RunModal = [this](QDialog& dialog) {
            shownDialogs.push_back(dialog.objectName().toStdString());
            if (answerDialog)
                answerDialog(dialog);
            return dialog.result();
        };
        auto print = std::make_unique<PdfOnlySystem>();
        pdfSystem = print.get();
        window->SetPrintSystem(std::move(print));
    }

    // A project file in the test's folder, copied from the golden borings.
    fs::path Project(const std::string& name, const std::string& golden = "sand_layers_v16") {
        fs::path path = folder / name;
        fs::copy_file(fs::path(QM_TEST_DATA_DIR) / "golden" / (golden + ".qmf"), path,
                      fs::copy_options::overwrite_existing);
        return path;
    }
    // The same, or the example boring for "example".
    fs::path Boring(const std::string& name, const std::string& boring) {
        if (boring != "example")
            return Project(name, boring);
        fs::path path = folder / name;
        EXPECT_EQ(WriteProjectFile(path.string(), ExampleBoring()), kProjectFileOk);
        return path;
    }
    bool MenuShows(int entry, const std::string& path) const {
        QAction* item = window->mnuFileList[static_cast<std::size_t>(entry)];
        return item->isVisible() && item->text() == QString::fromStdString(CompactPath(path, 30));
    }

    fs::path folder;
    Document doc;
    Settings settings;
    SheetCanvases canvases;
    FakePlatformServices services;
    std::unique_ptr<frmMain> window;
    PdfOnlySystem* pdfSystem = nullptr;
    std::vector<std::string> shownDialogs;
    std::function<void(QDialog&)> answerDialog;
};

TEST_F(MainWindowCommands, SaveAsWritesTheProjectAndTheResultsBesideIt) {
    doc.basicData.ShortName = "site1";
    window->IsChanged = true;
    const fs::path chosen = folder / "site1.qmf";
    services.fileAnswers = {chosen.string()};
    window->mnuFileSave_Click();  // never saved: Save As

    ASSERT_EQ(services.fileDialogs.size(), 1u);
    const auto& dialog = services.fileDialogs[0];
    EXPECT_EQ(dialog.kind, FakePlatformServices::DialogKind::Save);
    EXPECT_TRUE(dialog.confirmOverwrite);
    EXPECT_EQ(dialog.request.filter, "Vekt／Quilmorn2008ファイル (*.qmf)|*.qmf|");
    EXPECT_EQ(dialog.request.initialName, (folder / "site1").string());
    EXPECT_TRUE(dialog.request.title.empty());

    EXPECT_TRUE(fs::exists(chosen));
    EXPECT_TRUE(fs::exists(folder / "site1.CSV"));
    EXPECT_EQ(doc.currentFileName, "site1.qmf");
    EXPECT_EQ(doc.currentFolder, folder.string());
    EXPECT_EQ(settings.recentFiles[0], chosen.string());
    EXPECT_TRUE(MenuShows(1, chosen.string()));
    EXPECT_TRUE(window->mnuFileList[6]->isVisible());
    EXPECT_FALSE(window->mnuFileList[2]->isVisible());
    EXPECT_FALSE(window->IsChanged);
    EXPECT_EQ(window->windowTitle(), QString("site1 - ") + kTitle);
    EXPECT_TRUE(services.messages.empty());

    // Save now writes the same file without a dialog.
    doc.basicData.Site = "湾岸";
    window->IsChanged = true;
    window->mnuFileSave_Click();
    EXPECT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_FALSE(window->IsChanged);
    Document back;
    ASSERT_EQ(ReadProjectFile(chosen.string(), back, services), kProjectFileOk);
    EXPECT_EQ(back.basicData.Site, "湾岸");
}

TEST_F(MainWindowCommands, SaveAsProposesTheOpenFileOrNothing) {
    window->mnuFileSaveAs_Click();
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_EQ(services.fileDialogs[0].request.initialName, "");
    EXPECT_EQ(services.fileDialogs[0].request.initialFolder, folder.string());

    doc.currentFolder = folder.string() + "/";
    doc.currentFileName = "a.qmf";
    window->mnuFileSaveAs_Click();
    EXPECT_EQ(doc.currentFolder, folder.string());  // the trailing separator goes
    EXPECT_EQ(services.fileDialogs[1].request.initialName, (folder / "a.qmf").string());
}

TEST_F(MainWindowCommands, CancelledDialogsChangeNothing) {
    doc.basicData.ShortName = "x";
    window->IsChanged = true;
    const QString caption = window->windowTitle();
    const Document before = doc;
    window->mnuFileSaveAs_Click();
    services.messageAnswers = {MessageAnswer::No};  // Open asks first
    window->mnuFileOpen_Click();
    window->mnuFileExport_Click();
    EXPECT_EQ(services.fileDialogs.size(), 3u);
    EXPECT_EQ(doc, before);
    EXPECT_TRUE(window->IsChanged);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(settings.recentFiles[0], "");
}

TEST_F(MainWindowCommands, OpenReadsTheFileAndPutsItAtTheHeadOfTheList) {
    const fs::path first = Project("first.qmf", "clay_v10");
    const fs::path site = Project("site.qmf");
    AddRecentFile(settings, first.string());
    window->IsChanged = true;  // いいえ drops the edits
    services.messageAnswers = {MessageAnswer::No};
    services.fileAnswers = {site.string()};
    window->mnuFileOpen_Click();

    ASSERT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_EQ(services.fileDialogs[0].kind, FakePlatformServices::DialogKind::Open);
    EXPECT_EQ(services.fileDialogs[0].request.initialFolder, folder.string());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, kSavePrompt);
    Document expected;
    NewDocument(expected);
    ASSERT_EQ(ReadProjectFile(site.string(), expected, services), kProjectFileOk);
    EXPECT_EQ(doc.basicData, expected.basicData);
    EXPECT_EQ(doc.nPoints, expected.nPoints);
    EXPECT_FALSE(doc.calcResults.empty());  // recalculated
    EXPECT_EQ(doc.currentFileName, "site.qmf");
    EXPECT_EQ(settings.recentFiles[0], site.string());
    EXPECT_EQ(settings.recentFiles[1], first.string());
    EXPECT_TRUE(MenuShows(1, site.string()));
    EXPECT_TRUE(MenuShows(2, first.string()));
    EXPECT_FALSE(window->IsChanged);
    EXPECT_EQ(window->windowTitle(), QString("site - ") + kTitle);
}

// Opening a boring over another shows it as a start on that boring does, so
// that nothing of the boring before stays on screen.
TEST_F(MainWindowCommands, OpenShowsTheFileAsAStartOnItDoes) {
    const std::pair<const char*, const char*> cases[] = {
        {"sand_layers_v16", "rows_fc_v16"},
        {"rows_fc_v16", "clay_v10"},
        {"clay_v10", "deep_v15"},
        {"deep_v15", "above_water_v16"},
        {"above_water_v16", "sand_layers_v16"},
        {"decimal_depths_v16", "rows_fc_v16"},
    };
    for (const auto& [before, opened] : cases) {
        SCOPED_TRACE(std::string(before) + " then " + opened);
        ASSERT_TRUE(window->OpenProjectPath(Project("before.qmf", before).string()));
        const fs::path path = Project("opened.qmf", opened);
        ASSERT_TRUE(window->OpenProjectPath(path.string()));

        // Start-up makes the window over a new document, then reads the file.
        Document started;
        NewDocument(started);
        SheetCanvases startedCanvases;
        FakePlatformServices startedServices;
        frmMain start(started, settings, startedCanvases, startedServices);
        ASSERT_EQ(ReadProjectFile(path.string(), started, services), kProjectFileOk);
        started.currentFolder = doc.currentFolder;
        started.currentFileName = doc.currentFileName;
        start.FormLoad();
        EXPECT_EQ(WindowView(*window, canvases), WindowView(start, startedCanvases));
        EXPECT_TRUE(doc.calcResults == started.calcResults);
    }
}

// A soil-column switch recalculates: the results and the figure then show as
// a start on the boring with that switch does (the soil grid itself follows
// when its page is shown).
TEST_F(MainWindowCommands, ASoilColumnSwitchShowsTheResultsAsAStartWithItDoes) {
    const std::pair<const char*, std::size_t> cases[] = {
        {"sand_layers_v16", 3}, {"sand_layers_v16", 4}, {"sand_layers_v16", 2},
        {"rows_fc_v16", 3},     {"clay_v10", 4},        {"clay_v10", 0},
    };
    for (const auto& [boring, k] : cases) {
        SCOPED_TRACE(std::string(boring) + " switch " + std::to_string(k));
        ASSERT_TRUE(window->OpenProjectPath(Project("site.qmf", boring).string()));
        QCheckBox* box = window->chkSodata[k];
        box->setChecked(!box->isChecked());
        ASSERT_EQ(doc.layerColumnUsed[k], box->isChecked() ? 1 : 0);

        Document started;
        NewDocument(started);
        SheetCanvases startedCanvases;
        FakePlatformServices startedServices;
        frmMain start(started, settings, startedCanvases, startedServices);
        started = doc;
        start.FormLoad();
        std::vector<std::string> shown;
        std::vector<std::string> expected;
        AddGridView(*window->vaSpreadE, shown);
        AddFigureView(canvases, shown);
        AddGridView(*start.vaSpreadE, expected);
        AddFigureView(startedCanvases, expected);
        EXPECT_EQ(shown, expected);
        window->IsChanged = false;
    }
}

// The exclusion switches and the guideline edition are conditions like any
// other: a click recalculates, and the results and the figure then show as a
// start on the boring with that condition does.
TEST_F(MainWindowCommands, AnExclusionOrEditionClickShowsTheResultsAsAStartWithItDoes) {
    struct Case {
        const char* boring;
        const char* control;
        std::function<void(frmMain&)> click;
    };
    const auto toggle = [](std::size_t i) {
        return [i](frmMain& w) { w.chkEkidata[i]->setChecked(!w.chkEkidata[i]->isChecked()); };
    };
    const auto edition = [](std::size_t i) {
        return [i](frmMain& w) { w.optTigenShitei1[i]->setChecked(true); };
    };
    const Case cases[] = {
        {"rows_fc_v16", "calculation range", toggle(0)},
        {"example", "clay 20 %", toggle(1)},
        {"example", "fines 35 %", toggle(2)},
        {"example", "plastic fines", toggle(3)},
        {"clay_v10", "clay 20 % off", toggle(1)},
        {"example", "1988 edition", edition(1)},
        {"rows_fc_v16", "2001 edition", edition(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.boring) + ", " + c.control);
        ASSERT_TRUE(window->OpenProjectPath(Boring("site.qmf", c.boring).string()));
        const auto before = doc.calcResults;
        const auto conditions = doc.calcConditions;
        c.click(*window);
        ASSERT_NE(doc.calcConditions, conditions);
        EXPECT_TRUE(window->IsChanged);
        EXPECT_FALSE(doc.calcResults == before) << "the case must change a result";

        Document started;
        NewDocument(started);
        SheetCanvases startedCanvases;
        FakePlatformServices startedServices;
        frmMain start(started, settings, startedCanvases, startedServices);
        started = doc;
        start.FormLoad();
        EXPECT_TRUE(doc.calcResults == started.calcResults);
        std::vector<std::string> shown;
        std::vector<std::string> expected;
        AddGridView(*window->vaSpreadE, shown);
        AddFigureView(canvases, shown);
        AddGridView(*start.vaSpreadE, expected);
        AddFigureView(startedCanvases, expected);
        EXPECT_EQ(shown, expected);
        window->IsChanged = false;
    }
}

// Print, the figure export and the results file of a Save are composed from
// a fresh calculation, whatever results the document held before: they show
// what a start on the same boring and conditions prints, exports and writes.
TEST_F(MainWindowCommands, PrintExportAndSaveComposeFromFreshResults) {
    struct Case {
        const char* boring;
        std::function<void(CalcConditions&)> change;
    };
    const Case cases[] = {
        {"example", [](CalcConditions& c) { c.excludeClay20 = 1; }},
        {"example", [](CalcConditions& c) { c.guideEdition = 0; }},
        {"sand_layers_v16", [](CalcConditions& c) { c.excludeFinesPlastic = 0; }},
        {"rows_fc_v16", [](CalcConditions& c) { c.calcRange = 1; }},
    };
    doc.prevPrintItems[0] = 1;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.boring) + " case " + std::to_string(++n));
        ASSERT_TRUE(window->OpenProjectPath(Boring("site.qmf", c.boring).string()));
        doc.prevPrintItems[0] = 1;
        const auto stale = doc.calcResults;
        c.change(doc.calcConditions);  // the results still are those of before

        pdfSystem->file = (folder / "printed.pdf").string();
        window->mnuFilePrint_Click();
        services.fileAnswers = {(folder / "figure.wmf").string()};
        window->mnuFileExport_Click();
        window->IsChanged = true;
        ASSERT_TRUE(window->mnuFileSave_Click());
        EXPECT_FALSE(doc.calcResults == stale) << "the case must change a result";

        Document started;
        NewDocument(started);
        SheetCanvases startedCanvases;
        FakePlatformServices startedServices;
        frmMain start(started, settings, startedCanvases, startedServices);
        auto print = std::make_unique<PdfOnlySystem>();
        print->file = (folder / "started.pdf").string();
        start.SetPrintSystem(std::move(print));
        ASSERT_EQ(ReadProjectFile((folder / "site.qmf").string(), started, services),
                  kProjectFileOk);
        started.currentFolder = doc.currentFolder;
        started.currentFileName = "started.qmf";
        start.FormLoad();
        EXPECT_TRUE(doc.calcResults == started.calcResults);
        start.mnuFilePrint_Click();
        for (std::size_t page : {1u, 2u}) {
            const auto printed = canvases.pageMeta[page].PageBits();
            const auto fresh = startedCanvases.pageMeta[page].PageBits();
            EXPECT_TRUE(std::equal(printed.begin(), printed.end(), fresh.begin(), fresh.end()))
                << "page " << page;
        }
        startedServices.fileAnswers = {(folder / "started.wmf").string()};
        start.mnuFileExport_Click();
        EXPECT_EQ(ReadAll(folder / "figure.wmf"), ReadAll(folder / "started.wmf"));
        ASSERT_TRUE(start.mnuFileSave_Click());
        const auto body = [](const fs::path& csv) {
            const std::string text = ReadAll(csv);
            return text.substr(text.find("\r\n"));  // the date line aside
        };
        EXPECT_EQ(body(folder / "site.CSV"), body(folder / "started.CSV"));
        start.IsChanged = false;
    }
}

TEST_F(MainWindowCommands, AFailedOpenRemovesThePathAndKeepsTheDocument) {
    const fs::path site = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(site.string()));
    const Document shown = doc;

    const fs::path notOurs = folder / "notes.qmf";
    std::ofstream(notOurs) << "\"Spreadsheet\",\"Other maker\"\r\n1,2\r\n";
    const fs::path missing = folder / "gone.qmf";
    AddRecentFile(settings, missing.string());
    AddRecentFile(settings, notOurs.string());
    window->SetMruMenu();

    services.fileAnswers = {notOurs.string()};
    window->mnuFileOpen_Click();
    window->mnuFileList_Click(1);  // the missing file, now at the head
    ASSERT_EQ(services.messages.size(), 2u);
    // The reader's messages, each naming its file.
    EXPECT_EQ(
        services.messages[0].text.rfind(std::string(kTitle) + "のデータファイルではありません", 0),
        0u);
    EXPECT_EQ(services.messages[1].text.rfind("ファイルが見つかりませんでした", 0), 0u);
    EXPECT_EQ(settings.recentFiles[0], site.string());
    EXPECT_EQ(settings.recentFiles[1], "");
    EXPECT_FALSE(window->mnuFileList[2]->isVisible());
    EXPECT_EQ(doc, shown);
    EXPECT_EQ(window->windowTitle(), QString("site - ") + kTitle);

    // A following Save writes the shown document to its own file.
    window->IsChanged = true;
    window->mnuFileSave_Click();
    Document back;
    ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
    EXPECT_EQ(back.nPoints, shown.nPoints);
}

TEST_F(MainWindowCommands, ARecentFileMovesToTheHead) {
    const fs::path a = Project("a.qmf");
    const fs::path b = Project("b.qmf", "rows_fc_v16");
    AddRecentFile(settings, a.string());
    AddRecentFile(settings, b.string());
    window->SetMruMenu();
    window->mnuFileList_Click(2);
    EXPECT_EQ(doc.currentFileName, "a.qmf");
    EXPECT_EQ(settings.recentFiles[0], a.string());
    EXPECT_EQ(settings.recentFiles[1], b.string());
    EXPECT_TRUE(MenuShows(1, a.string()));
    window->mnuFileList_Click(5);  // an empty entry does nothing
    EXPECT_EQ(doc.currentFileName, "a.qmf");
}

// A list whose first slot the settings left empty (an entry ignored there)
// still shows its files above the separator.
TEST_F(MainWindowCommands, RecentFilesAfterAnEmptySlotShowWithTheirSeparator) {
    const fs::path a = Project("a.qmf");
    settings.recentFiles = {};
    settings.recentFiles[1] = a.string();
    window->SetMruMenu();
    EXPECT_FALSE(window->mnuFileList[1]->isVisible());
    EXPECT_TRUE(MenuShows(2, a.string()));
    EXPECT_TRUE(window->mnuFileList[6]->isVisible());
    settings.recentFiles = {};
    window->SetMruMenu();
    EXPECT_FALSE(window->mnuFileList[6]->isVisible());
}

TEST_F(MainWindowCommands, AFailedWriteKeepsTheOldNameAndWritesNoResults) {
    // The ways a project write fails: its folder is gone, or a folder stands
    // where the file should be; by Save and by Save As.
    struct Case {
        const char* what;
        bool saveAs;
        std::string target;  // the file name that cannot be written
    };
    const Case cases[] = {
        {"Save into a folder that is gone", false, "gone/site.qmf"},
        {"Save over a folder", false, "site.qmf"},
        {"Save As into a folder that is gone", true, "gone/other.qmf"},
        {"Save As over a folder", true, "blocked.qmf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        fs::create_directories(folder);
        const fs::path site = Project("site.qmf");
        settings.recentFiles = {};
        ASSERT_TRUE(window->OpenProjectPath(site.string()));
        const fs::path target = folder / c.target;
        if (!c.saveAs) {
            // The open document's own file can no longer be written.
            doc.currentFolder = target.parent_path().string();
            fs::remove(site);
            fs::create_directory(site);
        }
        fs::create_directory(folder / "blocked.qmf");
        const Document before = doc;
        const auto recent = settings.recentFiles;
        const QString caption = window->windowTitle();
        doc.basicData.Site = "edited";
        window->IsChanged = true;
        services.messages.clear();
        services.fileAnswers = {target.string()};

        bool saved = c.saveAs ? window->mnuFileSaveAs_Click() : window->mnuFileSave_Click();

        EXPECT_FALSE(saved);
        EXPECT_TRUE(window->IsChanged);
        EXPECT_EQ(doc.currentFileName, before.currentFileName);
        EXPECT_EQ(doc.currentFolder, before.currentFolder);
        EXPECT_EQ(window->windowTitle(), caption);
        EXPECT_EQ(settings.recentFiles, recent);
        EXPECT_TRUE(MenuShows(1, site.string()));
        // One message, the writer's, naming the file and why; no results file.
        ASSERT_EQ(services.messages.size(), 1u);
        const std::string why = fs::exists(target.parent_path())
                                    ? "保存先に同じ名前のフォルダがあるため、保存できません。"
                                    : "フォルダ " + target.parent_path().string() +
                                          " が見つからないため、保存できません。";
        EXPECT_TRUE(services.messages[0].text.starts_with("ﾌｧｲﾙの書き込みに失敗しました\r\n\r\n" +
                                                          target.string() + "\r\n\r\n" + why))
            << services.messages[0].text;
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_FALSE(fs::exists(ResultCsvPath(target.string())));
    }
}

// A file another program or user saved since it was opened: Save asks before
// it replaces that version, and いいえ leaves it as the other saved it.
TEST_F(MainWindowCommands, SaveAsksBeforeReplacingAFileChangedOnDisk) {
    const fs::path site = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(site.string()));
    doc.basicData.Site = "mine";
    window->IsChanged = true;
    // Saving what the window opened asks nothing, nor does saving again.
    ASSERT_TRUE(window->mnuFileSave_Click());
    ASSERT_TRUE(window->mnuFileSave_Click());
    EXPECT_TRUE(services.messages.empty());

    // A co-worker saves another version: by a replacing save, or by a
    // rewrite in place, which keeps the file's inode.
    Document theirs = doc;
    theirs.basicData.Site = "your";  // as long as "mine"
    for (bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "rewritten in place" : "replaced");
        if (inPlace) {
            // As many bytes, within the same second: the times on disk may
            // be those of the version the window saved.
            struct stat saved {};
            ASSERT_EQ(0, stat(site.c_str(), &saved));
            const std::string bytes = ProjectFileBytes(theirs);
            ASSERT_EQ(bytes.size(), static_cast<size_t>(saved.st_size));
            std::ofstream(site, std::ios::binary | std::ios::in | std::ios::out) << bytes;
            struct timespec times[2] = {saved.st_atim, saved.st_mtim};
            utimensat(AT_FDCWD, site.c_str(), times, 0);
        } else {
            ASSERT_EQ(WriteProjectFile(site.string(), theirs), kProjectFileOk);
        }
        const std::string onDisk = ReadAll(site);
        services.messages.clear();
        window->IsChanged = true;
        services.messageAnswers = {MessageAnswer::No};
        EXPECT_FALSE(window->mnuFileSave_Click());
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, ChangedOnDiskQuestion(site.string()));
        EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(ReadAll(site), onDisk);
        EXPECT_TRUE(window->IsChanged);

        services.messageAnswers = {MessageAnswer::Yes};
        EXPECT_TRUE(window->mnuFileSave_Click());
        EXPECT_EQ(services.messages.size(), 2u);
        Document back;
        ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
        EXPECT_EQ(back.basicData.Site, "mine");
        EXPECT_FALSE(window->IsChanged);
    }
    // A file deleted meanwhile is simply written again.
    fs::remove(site);
    services.messages.clear();
    window->IsChanged = true;
    EXPECT_TRUE(window->mnuFileSave_Click());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(fs::exists(site));
}

// What changes a file's times but not its bytes is no change: Save asks
// nothing and writes.
TEST_F(MainWindowCommands, SaveAsksNothingWhenOnlyTheTimesOfTheFileChanged) {
    const fs::path site = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(site.string()));
    struct Case {
        const char* what;
        std::function<void(const std::string& bytes)> touch;
    };
    const Case cases[] = {
        {"touched",
         [&](const std::string&) {
             struct timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
             utimensat(AT_FDCWD, site.c_str(), times, 0);
         }},
        {"the same bytes copied over",
         [&](const std::string& bytes) {
             std::ofstream(site, std::ios::binary | std::ios::trunc) << bytes;
         }},
        {"the same bytes renamed over",
         [&](const std::string& bytes) {
             const fs::path copy = folder / "copy.qmf";
             std::ofstream(copy, std::ios::binary) << bytes;
             fs::rename(copy, site);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.touch(ReadAll(site));
        doc.basicData.Site = c.what;
        window->IsChanged = true;
        services.messages.clear();
        EXPECT_TRUE(window->mnuFileSave_Click());
        EXPECT_TRUE(services.messages.empty());
        Document back;
        ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
        EXPECT_EQ(back.basicData.Site, c.what);
    }
}

// A project file that may not be replaced: the message says why and what the
// user can do.
TEST_F(MainWindowCommands, AReadOnlyProjectSaysWhyAndPointsToSaveAs) {
    const fs::path site = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(site.string()));
    fs::permissions(site, fs::perms(0444));
    window->IsChanged = true;
    EXPECT_FALSE(window->mnuFileSave_Click());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              ProjectWriteFailedText(site.string(), WriteResult{EACCES, site.string()}));
    EXPECT_NE(services.messages[0].text.find("読み取り専用"), std::string::npos);
    EXPECT_NE(services.messages[0].text.find("「名前を付けて保存」"), std::string::npos);
    fs::permissions(site, fs::perms(0644));
}

// A save that the data itself keeps from its file says what in the data, not
// that the file could not be written; the file and the document stay as they
// were.
TEST_F(MainWindowCommands, ASaveRefusedForTheDataNamesTheReason) {
    const fs::path site = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(site.string()));
    const std::string onDisk = ReadAll(site);
    for (bool saveAs : {false, true}) {
        SCOPED_TRACE(saveAs ? "Save As" : "Save");
        doc.nPoints.resize(32768, NPoint{-1, 0, 30, 0});
        window->IsChanged = true;
        services.messages.clear();
        const fs::path target = folder / "other.qmf";
        services.fileAnswers = {target.string()};

        bool saved = saveAs ? window->mnuFileSaveAs_Click() : window->mnuFileSave_Click();

        EXPECT_FALSE(saved);
        EXPECT_TRUE(window->IsChanged);
        ASSERT_EQ(services.messages.size(), 1u);
        const std::string& text = services.messages[0].text;
        EXPECT_EQ(text,
                  "このデータはファイルに保存できません：N値の行が多すぎます（32767行までです）"
                  "\r\n\r\n" +
                      (saveAs ? target : site).string());
        EXPECT_EQ(text.find("書き込みに失敗"), std::string::npos);
        EXPECT_EQ(ReadAll(site), onDisk);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_EQ(doc.currentFileName, "site.qmf");
    }
}

TEST_F(MainWindowCommands, AProjectNamedCsvKeepsItsFileBesideItsResults) {
    for (const char* name : {"site.CSV", "site.csv"}) {
        SCOPED_TRACE(name);
        const fs::path project = folder / name;
        services.fileAnswers = {project.string()};
        EXPECT_TRUE(window->mnuFileSaveAs_Click());
        Document back;
        EXPECT_EQ(ReadProjectFile(project.string(), back, services), kProjectFileOk);
        EXPECT_TRUE(fs::is_regular_file(project.string() + ".CSV"));
        // A later Save keeps it a project file too.
        window->IsChanged = true;
        EXPECT_TRUE(window->mnuFileSave_Click());
        EXPECT_EQ(ReadProjectFile(project.string(), back, services), kProjectFileOk);
    }
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(MainWindowCommands, NewAsksToSaveThenOpensTheBasicData) {
    const fs::path site = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(site.string()));
    window->IsChanged = true;
    // Yes saves the named document first.
    doc.basicData.Site = "saved on New";
    services.messageAnswers = {MessageAnswer::Yes};
    window->mnuFileNew_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, kSavePrompt);
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(services.messages[0].title, std::string("site - ") + kTitle);
    Document back;
    ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
    EXPECT_EQ(back.basicData.Site, "saved on New");
    EXPECT_TRUE(doc.nPoints.empty());
    EXPECT_EQ(doc.currentFileName, "");
    EXPECT_EQ(doc.currentFolder, folder.string());
    EXPECT_EQ(window->windowTitle(), QString(kTitle));
    EXPECT_FALSE(window->IsChanged);
    EXPECT_EQ(std::count(shownDialogs.begin(), shownDialogs.end(), "frmKihon"), 1);

    // Yes on an unnamed document: Save As, cancelled; New stops with the edits.
    doc.basicData.ShortName = "unsaved";
    window->IsChanged = true;
    services.messageAnswers = {MessageAnswer::Yes};
    window->mnuFileNew_Click();
    EXPECT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_EQ(doc.basicData.ShortName, "unsaved");
    EXPECT_TRUE(window->IsChanged);
    EXPECT_EQ(std::count(shownDialogs.begin(), shownDialogs.end(), "frmKihon"), 1);

    // Without changes nothing is asked.
    window->IsChanged = false;
    window->mnuFileNew_Click();
    EXPECT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(std::count(shownDialogs.begin(), shownDialogs.end(), "frmKihon"), 2);
}

// The commands that drop the open document: New, Open, a recent file and
// closing the window.
enum class Dropping { New, Open, Recent, Close };

const std::pair<Dropping, const char*> kDroppingCommands[] = {
    {Dropping::New, "New"},
    {Dropping::Open, "Open"},
    {Dropping::Recent, "recent file"},
    {Dropping::Close, "close"},
};

class MainWindowUnsavedChanges : public MainWindowCommands {
  protected:
    void SetUp() override {
        MainWindowCommands::SetUp();
        site = Project("site.qmf");
        other = Project("other.qmf", "rows_fc_v16");
        siteAsGiven = SavedSite();
        ASSERT_NE(siteAsGiven, "edited");
        ASSERT_TRUE(ShowActive(*window));
    }
    // The site opened and edited, `other` at the head of the recent files.
    void OpenAndEdit() {
        Project("site.qmf");
        settings.recentFiles = {};
        ASSERT_TRUE(window->OpenProjectPath(site.string()));
        AddRecentFile(settings, other.string());
        window->SetMruMenu();
        doc.basicData.Site = "edited";
        window->IsChanged = true;
        services.messages.clear();
        services.fileDialogs.clear();
        shownDialogs.clear();
    }
    void Run(Dropping command) {
        switch (command) {
            case Dropping::New:
                window->mnuFileNew_Click();
                break;
            case Dropping::Open:
                window->mnuFileOpen_Click();
                break;
            case Dropping::Recent:
                window->mnuFileList_Click(1);
                break;
            case Dropping::Close:
                window->close();
                break;
        }
    }
    bool OpenDialogShown() const {
        for (const auto& d : services.fileDialogs)
            if (d.kind == FakePlatformServices::DialogKind::Open)
                return true;
        return false;
    }
    std::string SavedSite() {
        Document back;
        EXPECT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
        return back.basicData.Site;
    }

    fs::path site;
    fs::path other;
    std::string siteAsGiven;
};

TEST_F(MainWindowUnsavedChanges, EachCommandAsksAndStopsWhenTheChangesWereNotSaved) {
    // The three ways the save can come to nothing.
    enum class Failure { Cancel, CancelledSaveAs, FailedWrite };
    const std::pair<Failure, const char*> failures[] = {
        {Failure::Cancel, "キャンセル"},
        {Failure::CancelledSaveAs, "はい, Save As cancelled"},
        {Failure::FailedWrite, "はい, the write fails"},
    };
    for (auto [command, commandName] : kDroppingCommands) {
        for (auto [failure, failureName] : failures) {
            SCOPED_TRACE(std::string(commandName) + ": " + failureName);
            OpenAndEdit();
            services.messageAnswers = {failure == Failure::Cancel ? MessageAnswer::Cancel
                                                                  : MessageAnswer::Yes};
            if (failure == Failure::CancelledSaveAs) {
                doc.currentFileName.clear();
                window->SetCaption();
            }
            if (failure == Failure::FailedWrite) {
                fs::remove(site);
                fs::create_directory(site);
            }
            const QString caption = window->windowTitle();
            const std::string fileName = doc.currentFileName;

            Run(command);

            ASSERT_GE(services.messages.size(), 1u);
            EXPECT_EQ(services.messages[0].text, kSavePrompt);
            EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNoCancel);
            EXPECT_EQ(services.messages[0].title, caption.toStdString());
            // The edits stay, still marked, under their name.
            EXPECT_EQ(doc.basicData.Site, "edited");
            EXPECT_TRUE(window->IsChanged);
            EXPECT_EQ(doc.currentFileName, fileName);
            EXPECT_EQ(window->windowTitle(), caption);
            EXPECT_TRUE(window->isVisible());
            EXPECT_FALSE(OpenDialogShown());
            EXPECT_TRUE(shownDialogs.empty());  // New's basic-data dialog
            EXPECT_FALSE(fs::exists(folder / "site.CSV"));

            if (failure == Failure::FailedWrite) {
                fs::remove(site);
                Project("site.qmf");
            }
        }
    }
}

TEST_F(MainWindowUnsavedChanges, EachCommandGoesOnAfterNoOrASave) {
    for (auto [command, commandName] : kDroppingCommands) {
        for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
            SCOPED_TRACE(std::string(commandName) +
                         (answer == MessageAnswer::Yes ? ": はい" : ": いいえ"));
            // A window closes once: each case has its own.
            MakeWindow();
            ASSERT_TRUE(ShowActive(*window));
            OpenAndEdit();
            services.messageAnswers = {answer};
            services.fileAnswers = {other.string()};

            Run(command);

            ASSERT_EQ(services.messages.size(), 1u);
            EXPECT_EQ(SavedSite(), answer == MessageAnswer::Yes ? "edited" : siteAsGiven);
            if (command != Dropping::Close) {
                EXPECT_FALSE(window->IsChanged);
            }
            switch (command) {
                case Dropping::New:
                    EXPECT_EQ(doc.currentFileName, "");
                    EXPECT_EQ(shownDialogs, std::vector<std::string>{"frmKihon"});
                    break;
                case Dropping::Open:
                case Dropping::Recent:
                    EXPECT_EQ(OpenDialogShown(), command == Dropping::Open);
                    EXPECT_EQ(doc.currentFileName, "other.qmf");
                    break;
                case Dropping::Close:
                    EXPECT_FALSE(window->isVisible());
                    break;
            }
        }
    }
}

TEST_F(MainWindowUnsavedChanges, ARecentFileIsTheOneChosenEvenWhenSavingReordersTheList) {
    OpenAndEdit();
    // An unnamed document saved as a third file goes to the head of the list.
    doc.currentFileName.clear();
    settings.recentFiles = {};
    AddRecentFile(settings, site.string());
    AddRecentFile(settings, other.string());
    window->SetMruMenu();
    services.messageAnswers = {MessageAnswer::Yes};
    services.fileAnswers = {(folder / "third.qmf").string()};
    window->mnuFileList_Click(2);  // the site
    EXPECT_TRUE(fs::exists(folder / "third.qmf"));
    EXPECT_EQ(doc.currentFileName, "site.qmf");
    EXPECT_EQ(settings.recentFiles[0], site.string());
}

TEST_F(MainWindowCommands, ConfirmingANewPrintItemChoiceMarksTheDocumentChanged) {
    ASSERT_TRUE(window->OpenProjectPath(Project("site.qmf").string()));
    doc.layerColumnUsed[1] = 1;
    struct Case {
        const char* what;
        bool check;
        bool ok;
        bool changed;
    };
    const Case cases[] = {
        {"a new choice confirmed", true, true, true},
        {"the same choice confirmed", false, true, false},
        {"a new choice cancelled", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.prevPrintItems = {};
        window->IsChanged = false;
        answerDialog = [&c](QDialog& dialog) {
            if (auto* items = dynamic_cast<frmPreviewSet*>(&dialog)) {
                if (c.check)
                    items->chkSodata[1]->setChecked(true);
                c.ok ? items->cmdOK_Click() : items->cmdCancel_Click();
            } else if (auto* preview = dynamic_cast<frmPreview*>(&dialog)) {
                preview->cmdClose_Click();
            }
        };
        window->mnuFilePreView_Click();
        EXPECT_EQ(window->IsChanged, c.changed);
    }
}

TEST_F(MainWindowCommands, FigureToMetafile) {
    ASSERT_TRUE(window->OpenProjectPath(Project("site.qmf").string()));
    const fs::path figure = folder / "figure";  // taken as chosen: no extension added
    services.fileAnswers = {figure.string()};
    window->mnuFileExport_Click();
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_EQ(services.fileDialogs[0].request.title, "図をﾒﾀﾌｧｲﾙに保存");
    EXPECT_EQ(services.fileDialogs[0].request.filter, "ﾒﾀﾌｧｲﾙ (*.wmf)|*.wmf");
    EXPECT_TRUE(services.fileDialogs[0].confirmOverwrite);  // only *.wmf are listed
    std::string bytes = ReadAll(figure);
    ASSERT_GT(bytes.size(), 22u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xD7\xCD\xC6\x9A", 4));  // placeable
    EXPECT_TRUE(services.messages.empty());

    services.fileAnswers = {(folder / "missing" / "f.wmf").string()};
    window->mnuFileExport_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "ﾒﾀﾌｧｲﾙの書き込みに失敗しました");
}

// The figure never replaces the open project file, whichever way its name
// is given; the message names the project, and nothing is written.
TEST_F(MainWindowCommands, FigureToMetafileRefusesTheOpenProjectFile) {
    const fs::path project = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(project.string()));
    const std::string before = ReadAll(project);
    fs::create_symlink("site.qmf", folder / "link.wmf");
    for (const fs::path& chosen : {project, folder / "." / "site.qmf", folder / "link.wmf"}) {
        services.messages.clear();
        services.fileAnswers = {chosen.string()};
        window->mnuFileExport_Click();
        ASSERT_EQ(services.messages.size(), 1u) << chosen;
        EXPECT_NE(services.messages[0].text.find(project.string()), std::string::npos);
        EXPECT_EQ(ReadAll(project), before) << chosen;
        EXPECT_TRUE(fs::is_symlink(folder / "link.wmf"));
    }
    // Another project file of the folder is the dialog's question, not a refusal.
    const fs::path other = Project("other.qmf");
    services.messages.clear();
    services.fileAnswers = {other.string()};
    window->mnuFileExport_Click();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(ReadAll(other).substr(0, 4), std::string("\xD7\xCD\xC6\x9A", 4));
}

// A project named site.CSV beside site.qmf survives the Save of site.qmf: the
// project is saved, its results are not written over the other project.
TEST_F(MainWindowCommands, SaveKeepsAProjectFileWhereTheResultsWouldGo) {
    const fs::path csvProject = Project("site.CSV", "clay_v10");
    const std::string kept = ReadAll(csvProject);
    const fs::path project = Project("site.qmf");
    ASSERT_TRUE(window->OpenProjectPath(project.string()));
    doc.basicData.Site = "changed";
    window->IsChanged = true;
    ASSERT_TRUE(window->mnuFileSave_Click());
    EXPECT_FALSE(window->IsChanged);
    EXPECT_EQ(ReadAll(csvProject), kept);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find(csvProject.string()), std::string::npos);
    EXPECT_NE(services.messages[0].text.find(project.string()), std::string::npos);
    Document back;
    ASSERT_EQ(ReadProjectFile(project.string(), back, services), kProjectFileOk);
    EXPECT_EQ(back.basicData.Site, "changed");
}

TEST_F(MainWindowCommands, PrintsBothPagesToThePdfPrinter) {
    ASSERT_TRUE(window->OpenProjectPath(Project("site.qmf").string()));
    doc.prevPrintItems[0] = 1;
    const fs::path pdf = folder / "printed.pdf";
    pdfSystem->file = pdf.string();
    const auto results = doc.calcResults;
    window->mnuFilePrint_Click();
    EXPECT_EQ(window->PrintSelection, doc.prevPrintItems);
    EXPECT_EQ(PdfPageCount(pdf), 2);
    EXPECT_TRUE(canvases.pageMeta[1].HasPage());
    EXPECT_TRUE(canvases.pageMeta[2].HasPage());
    EXPECT_EQ(doc.calcResults, results);
    EXPECT_TRUE(services.messages.empty());

    // Cancelled print dialog: nothing is printed.
    const fs::path second = folder / "cancelled.pdf";
    pdfSystem->file = second.string();
    pdfSystem->confirm = false;
    window->mnuFilePrint_Click();
    EXPECT_FALSE(fs::exists(second));
}

// A smaller paper chosen in the print dialog: the pages are composed for it,
// or refused with a message when the margins leave it no room; never a blank
// page reported as printed.
TEST_F(MainWindowCommands, ASmallerPaperChosenInThePrintDialogPrintsOrIsRefused) {
    ASSERT_TRUE(window->OpenProjectPath(Project("site.qmf").string()));
    settings.printMargins = {10, 10, 60, 60};  // fits A4 (210 mm), not A6 (105 mm)
    pdfSystem->paper = QPageSize::A6;
    const fs::path refused = folder / "a6_refused.pdf";
    pdfSystem->file = refused.string();
    window->mnuFilePrint_Click();
    EXPECT_FALSE(fs::exists(refused));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              "印刷するページを作成できませんでした。余白の設定を確認してください。");

    // Margins that fit A6: both pages, composed for A6.
    services.messages.clear();
    settings.printMargins = {10, 10, 10, 10};
    const fs::path printed = folder / "a6.pdf";
    pdfSystem->file = printed.string();
    window->mnuFilePrint_Click();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(PdfPageCount(printed), 2);
    ASSERT_TRUE(canvases.pageMeta[1].HasPage());
    const std::vector<std::uint8_t> a6(canvases.pageMeta[1].PageBits().begin(),
                                       canvases.pageMeta[1].PageBits().end());
    // The same print on A4 records another page: the A6 one was made for A6.
    pdfSystem->paper = QPageSize::A4;
    pdfSystem->file = (folder / "a4.pdf").string();
    window->mnuFilePrint_Click();
    const std::vector<std::uint8_t> a4(canvases.pageMeta[1].PageBits().begin(),
                                       canvases.pageMeta[1].PageBits().end());
    EXPECT_NE(a6, a4);
}

// Switches a file brings outside 0 and 1: the screen shows them as the
// calculation and the results file read them, and opening and saving without
// an edit writes that reading back.
TEST_F(MainWindowCommands, OddSwitchValuesShowAsTheyAreCalculatedAndSaveSo) {
    Document odd;
    NewDocument(odd);
    ASSERT_EQ(ParseProjectFile(ReadAll(Project("golden.qmf")), odd), kProjectFileOk);
    for (NPoint& row : odd.nPoints)
        row.FC = 12;
    odd.fcInputMode = 2;
    odd.nGraphMax = 5;
    odd.layerColumnUsed[3] = 32767;
    CalcConditions& c = odd.calcConditions;
    c.guideEdition = 32767;
    c.calcRange = -1;
    c.excludeClay20 = 2;
    c.excludeFines35 = 3;
    c.excludeFinesPlastic = 32767;
    odd.prevPrintItems.fill(9);  // 14 items where the page has room for 8
    const fs::path path = folder / "odd.qmf";
    {
        std::ofstream out(path, std::ios::binary);
        out << ProjectFileBytes(odd);
    }
    Document reading;
    NewDocument(reading);
    ASSERT_EQ(ParseProjectFile(ProjectFileBytes(odd), reading), kProjectFileOk);

    ASSERT_TRUE(window->OpenProjectPath(path.string()));
    EXPECT_TRUE(window->optTigenShitei1[0]->isChecked());  // 2001
    EXPECT_TRUE(window->chkNchi[1]->isChecked());          // FC on the rows
    EXPECT_TRUE(window->chkEkidata[0]->isChecked());
    EXPECT_TRUE(window->chkEkidata[1]->isChecked());
    EXPECT_TRUE(window->chkEkidata[2]->isChecked());
    EXPECT_TRUE(window->chkEkidata[3]->isChecked());  // kept, behind the wider one
    EXPECT_FALSE(window->chkEkidata[3]->isEnabled());
    EXPECT_TRUE(window->chkSodata[3]->isChecked());
    EXPECT_EQ(window->txtNchi->text(), QStringLiteral("10"));
    // The results on the screen are those of the reading.
    Document calculated = reading;
    RecordingCalcMessageSink calcSink;
    CalcLiquefaction(calculated, calcSink);
    ASSERT_FALSE(calculated.calcPoints.empty());
    EXPECT_EQ(doc.calcPoints, calculated.calcPoints);
    EXPECT_EQ(doc.calcResults, calculated.calcResults);
    EXPECT_FALSE(window->vaSpreadE->isHidden());

    window->IsChanged = false;
    window->mnuFileSave_Click();
    Document saved;
    NewDocument(saved);
    ASSERT_EQ(ParseProjectFile(ReadAll(path), saved), kProjectFileOk);
    EXPECT_EQ(saved, reading);
    // Printing and the print-item dialog keep the same 8 of the 14.
    {
        frmPreviewSet choice(doc, services, window.get());
        EXPECT_EQ(choice.PrintItems(), EffectiveItems(doc, doc.prevPrintItems));
    }
}

TEST_F(MainWindowCommands, PreviewAfterTheItemDialog) {
    ASSERT_TRUE(window->OpenProjectPath(Project("site.qmf").string()));
    doc.layerColumnUsed[1] = 1;

    // Cancelled item dialog: no calculation, no preview.
    doc.calcPoints.clear();
    window->mnuFilePreView_Click();
    EXPECT_EQ(shownDialogs, std::vector<std::string>{"frmPreviewSet"});
    EXPECT_TRUE(doc.calcPoints.empty());

    bool pagesBuilt = false;
    answerDialog = [&](QDialog& dialog) {
        if (auto* items = dynamic_cast<frmPreviewSet*>(&dialog)) {
            items->chkSodata[1]->setChecked(true);  // unit weight
            items->cmdOK_Click();
        } else if (auto* preview = dynamic_cast<frmPreview*>(&dialog)) {
            pagesBuilt = canvases.pageMeta[1].HasPage() && canvases.pageMeta[2].HasPage();
            EXPECT_EQ(preview->PrintItems()[0], 1);
            preview->cmdClose_Click();
        }
    };
    canvases.pageMeta[1].PicDelete();
    window->mnuFilePreView_Click();
    EXPECT_TRUE(pagesBuilt);
    EXPECT_EQ(doc.prevPrintItems[0], 1);
    EXPECT_FALSE(doc.calcPoints.empty());
    ASSERT_EQ(shownDialogs.size(), 3u);
    EXPECT_EQ(shownDialogs[2], "frmPreview");
}

// ----- Edit commands -----

class MainWindowEdit : public MainWindowCommands {
  protected:
    void SetUp() override {
        MainWindowCommands::SetUp();
        ASSERT_TRUE(window->OpenProjectPath(Project("site.qmf").string()));
        ASSERT_TRUE(ShowActive(*window));
    }
    void Focus(SpreadGrid* grid, int col1, int row1, int col2, int row2) {
        grid->setFocus();
        grid->SetActiveCell(col1, row1);
        grid->SelectBlock(SpreadBlock{col1, row1, col2, row2});
    }
};

TEST_F(MainWindowEdit, ARefusedConditionBoxStopsEveryCommandThatSavesPrintsOrCloses) {
    const fs::path site = folder / "site.qmf";
    const fs::path pdf = folder / "printed.pdf";
    pdfSystem->file = pdf.string();
    const std::string onDisk = ReadAll(site);
    struct Box {
        QLineEdit* frmMain::*box;
        const char* typed;
        const char* note;
        std::function<double(const Document&)> value;
    };
    const Box boxes[] = {
        {&frmMain::txtKasokudo, "5000",
         "「設計用水平加速度(㎝/s2)」には0～999の数値を入力してください",
         [](const Document& d) { return d.calcConditions.surfaceAccel; }},
        // The N-value limit is checked as the condition boxes are.
        {&frmMain::txtNchi, "120", "「Ｎ値の上限値」には10～100の数値を入力してください",
         [](const Document& d) { return d.nGraphMax; }},
    };
    window->tabShow->setCurrentIndex(1);
    window->tabNchi->setCurrentIndex(1);
    for (const Box& b : boxes) {
        QLineEdit* box = window.get()->*b.box;
        const double before = b.value(doc);
        const QString shown = box->text();
        const std::pair<const char*, std::function<void()>> commands[] = {
            {"Ctrl+S", [&] { QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier); }},
            {"the Save button", [&] { window->Toolbar1_ButtonClick(QStringLiteral("SAVE")); }},
            {"Save As", [&] { window->mnuFileSaveAs->trigger(); }},
            {"figure to metafile", [&] { window->mnuFileExport->trigger(); }},
            {"the Print button", [&] { window->Toolbar1_ButtonClick(QStringLiteral("PRINTOUT")); }},
            {"Preview", [&] { window->mnuFilePreView->trigger(); }},
            {"New", [&] { window->mnuFileNew->trigger(); }},
            {"Ctrl+O", [&] { QTest::keyClick(box, Qt::Key_O, Qt::ControlModifier); }},
            {"closing", [&] { window->close(); }},
        };
        for (const auto& [what, run] : commands) {
            SCOPED_TRACE(std::string(b.typed) + ", " + what);
            box->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), box);
            box->setText(QString::fromUtf8(b.typed));  // typed, the box not left
            EXPECT_DOUBLE_EQ(b.value(doc), before);
            const int beeps = services.beeps;
            services.refusals.clear();

            run();

            EXPECT_EQ(services.beeps - beeps, 1);
            // Why the command did nothing is shown.
            EXPECT_EQ(services.refusals, std::vector<std::string>{b.note});
            EXPECT_EQ(QApplication::focusWidget(), box);
            EXPECT_EQ(box->text(), shown);
            EXPECT_DOUBLE_EQ(b.value(doc), before);
            // The command did not run.
            EXPECT_TRUE(services.messages.empty());
            EXPECT_TRUE(services.fileDialogs.empty());
            EXPECT_TRUE(shownDialogs.empty());
            EXPECT_FALSE(fs::exists(pdf));
            EXPECT_FALSE(fs::exists(folder / "site.CSV"));
            EXPECT_EQ(ReadAll(site), onDisk);
            EXPECT_TRUE(window->isVisible());
        }
    }
}

// The N-value limit typed and left with Tab: a value out of range is refused
// and the box shows the limit again, which Save then writes; one in range is
// written as the box shows it.
TEST_F(MainWindowEdit, TheNValueLimitSavedIsTheOneTheBoxShows) {
    const fs::path site = folder / "site.qmf";
    window->tabNchi->setCurrentIndex(1);
    ASSERT_EQ(doc.nGraphMax, 50);
    const struct {
        const char* typed;
        const char* shown;
        int saved;
    } cases[] = {{"120", "50", 50}, {"5", "50", 50}, {"100", "100", 100}, {"250", "100", 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        window->txtNchi->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), window->txtNchi);
        QTest::keyClick(window->txtNchi, Qt::Key_A, Qt::ControlModifier);
        TypeKeys(QString::fromUtf8(c.typed));
        QTest::keyClick(window->txtNchi, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), window->txtNchi);
        EXPECT_EQ(window->txtNchi->text().toStdString(), c.shown);
        window->txtNchi->setFocus();
        QTest::keyClick(window->txtNchi, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(doc.nGraphMax, c.saved);
        EXPECT_EQ(window->txtNchi->text().toStdString(), c.shown);
        Document back;
        ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
        EXPECT_EQ(back.nGraphMax, c.saved);
    }
}

TEST_F(MainWindowEdit, ABoxKeepingTheFocusThroughANewDocumentRestoresTheNewValue) {
    window->tabShow->setCurrentIndex(1);
    QLineEdit* box = window->txtKasokudo;
    box->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), box);
    // What Open and New run once the document is replaced.
    doc.calcConditions.surfaceAccel = 321;
    window->DocumentRefresh();
    box->setText(QStringLiteral("5000"));
    window->mnuFileSave_Click();
    EXPECT_EQ(box->text().toStdString(), "321");
    EXPECT_DOUBLE_EQ(doc.calcConditions.surfaceAccel, 321);
}

TEST_F(MainWindowEdit, SavingTakesTheFocusedConditionBoxFirst) {
    struct Case {
        QLineEdit* frmMain::*box;
        double CalcConditions::*value;
        const char* typed;
        const char* shown;
        double stored;
    };
    const Case cases[] = {
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "350", "350", 350},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "１２．６", "13", 13},
        {&frmMain::txtMagu, &CalcConditions::magnitude, "９．９７", "9.97", 9.97},
    };
    window->tabShow->setCurrentIndex(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QLineEdit* box = window.get()->*c.box;
        box->setFocus();
        box->setText(QString::fromUtf8(c.typed));
        const auto results = doc.calcResults;
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);

        EXPECT_EQ(box->text().toStdString(), c.shown);
        EXPECT_EQ(QApplication::focusWidget(), box);
        EXPECT_DOUBLE_EQ(doc.calcConditions.*c.value, c.stored);
        EXPECT_NE(doc.calcResults, results);  // calculated with it
        EXPECT_FALSE(window->IsChanged);
        Document back;
        ASSERT_EQ(ReadProjectFile((folder / "site.qmf").string(), back, services), kProjectFileOk);
        EXPECT_DOUBLE_EQ(back.calcConditions.*c.value, c.stored);
    }
    EXPECT_EQ(services.beeps, 0);
}

// A value typed into a grid cell reaches the document before a command that
// saves or closes, whether Return ended the edit or the editor is still open:
// the cell with the cursor is checked as if it were left.
TEST_F(MainWindowEdit, TheGridCellWithTheCursorIsTakenBeforeSavingOrClosing) {
    enum class Entry { Return, OpenEditor };
    enum class Command { Save, Close };
    struct Grid {
        const char* name;
        SpreadGrid* frmMain::*grid;
        int col;
        const char* shown;
        std::function<double(const Document&)> value;
    };
    const Grid grids[] = {
        {"N-value grid", &frmMain::vaSpreadN, 2, "7",
         [](const Document& d) { return d.nPoints[0].N; }},
        {"soil grid", &frmMain::vaSpreadS, 2, "7.00",
         [](const Document& d) { return d.layers[0].Thickness; }},
    };
    const fs::path site = folder / "site.qmf";
    for (const Grid& g : grids) {
        for (Entry entry : {Entry::Return, Entry::OpenEditor}) {
            for (Command command : {Command::Save, Command::Close}) {
                SCOPED_TRACE(std::string(g.name) +
                             (entry == Entry::Return ? ", 7 Return" : ", 7 typed") +
                             (command == Command::Save ? ", Ctrl+S" : ", close"));
                // A window closes once: each case has its own.
                Project("site.qmf");
                MakeWindow();
                ASSERT_TRUE(window->OpenProjectPath(site.string()));
                ASSERT_TRUE(ShowActive(*window));
                ASSERT_NE(g.value(doc), 7);
                services.messages.clear();
                const auto results = doc.calcResults;
                SpreadGrid* grid = window.get()->*g.grid;
                grid->setFocus();
                grid->SetActiveCell(g.col, 1);
                TypeKeys(QStringLiteral("7"));
                ASSERT_NE(grid->indexWidget(grid->currentIndex()), nullptr) << "an editor is open";
                if (entry == Entry::Return) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                    QApplication::processEvents();  // the editor closes
                    EXPECT_EQ(grid->indexWidget(grid->currentIndex()), nullptr);
                    EXPECT_DOUBLE_EQ(g.value(doc), 7) << "Return takes the value";
                    EXPECT_TRUE(window->IsChanged);
                }

                if (command == Command::Save) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
                    EXPECT_TRUE(services.messages.empty());
                    EXPECT_FALSE(window->IsChanged);
                } else {
                    services.messageAnswers = {MessageAnswer::Yes};
                    window->close();
                    EXPECT_EQ(services.messages.size(), 1u);
                    if (!services.messages.empty()) {
                        EXPECT_EQ(services.messages[0].text, kSavePrompt);
                    }
                    EXPECT_FALSE(window->isVisible());
                }
                EXPECT_EQ(grid->Text(g.col, 1).toStdString(), g.shown);
                EXPECT_DOUBLE_EQ(g.value(doc), 7);
                EXPECT_TRUE(doc.calcResults != results) << "calculated with it";
                Document back;
                ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
                EXPECT_DOUBLE_EQ(g.value(back), 7);

                if (command == Command::Save) {
                    // Leaving the cell later finds nothing new in it.
                    EXPECT_EQ(grid->ActiveRow(), 1);
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                    EXPECT_EQ(grid->ActiveRow(), 2);
                    EXPECT_FALSE(window->IsChanged);
                }
            }
        }
    }
    EXPECT_EQ(services.beeps, 0);
}

// A grid value that the cell refuses stops the command, as a refused condition
// box does; the cell shows the document's value again and leaving it later
// does not ring a second time.
TEST_F(MainWindowEdit, ARefusedGridCellStopsSavingAndClosing) {
    const fs::path site = folder / "site.qmf";
    const std::string onDisk = ReadAll(site);
    const fs::path pdf = folder / "printed.pdf";
    pdfSystem->file = pdf.string();
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Ctrl+S",
         [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier); }},
        {"Print", [&] { window->mnuFilePrint->trigger(); }},
        {"closing", [&] { window->close(); }},
    };
    for (SpreadGrid* grid : {window->vaSpreadN, window->vaSpreadS}) {
        for (const auto& [what, run] : commands) {
            SCOPED_TRACE(grid->objectName().toStdString() + ", " + what);
            const Document before = doc;
            const QString shown = grid->Text(2, 1);
            grid->setFocus();
            grid->SetActiveCell(2, 1);
            TypeKeys(QStringLiteral("abc"));
            const int beeps = services.beeps;

            run();

            EXPECT_EQ(services.beeps - beeps, 1);
            EXPECT_TRUE(services.messages.empty());
            EXPECT_TRUE(services.fileDialogs.empty());
            EXPECT_TRUE(window->isVisible());
            EXPECT_TRUE(ReadAll(site) == onDisk) << "the file was written";
            EXPECT_FALSE(fs::exists(pdf));
            EXPECT_EQ(grid->Text(2, 1), shown);
            EXPECT_EQ(grid->ActiveCol(), 2);
            EXPECT_EQ(grid->ActiveRow(), 1);
            EXPECT_TRUE(grid->isAncestorOf(QApplication::focusWidget()) ||
                        QApplication::focusWidget() == grid);
            EXPECT_EQ(doc.nPoints, before.nPoints);
            EXPECT_EQ(doc.layers, before.layers);

            ASSERT_TRUE(window->isVisible());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            EXPECT_EQ(services.beeps - beeps, 1);
            EXPECT_EQ(grid->ActiveRow(), 2);
        }
    }
    EXPECT_FALSE(window->IsChanged);
}

// A grid command chosen while a cell's editor is open takes the typed value
// first, so the rows it moves carry it; a refused value stops the command.
TEST_F(MainWindowEdit, AGridCommandTakesTheOpenEditorFirst) {
    const std::vector<NPoint> before = doc.nPoints;
    ASSERT_GE(before.size(), 3u);
    SpreadGrid* grid = window->vaSpreadN;
    grid->setFocus();
    grid->SetActiveCell(2, 2);
    TypeKeys(QStringLiteral("7"));
    ASSERT_NE(grid->indexWidget(grid->currentIndex()), nullptr) << "an editor is open";

    window->mnuEditInsertRow->trigger();
    QApplication::processEvents();

    ASSERT_EQ(doc.nPoints.size(), before.size() + 1);
    EXPECT_EQ(doc.nPoints[0], before[0]);
    EXPECT_DOUBLE_EQ(doc.nPoints[2].Depth, before[1].Depth);
    EXPECT_DOUBLE_EQ(doc.nPoints[2].N, 7);
    EXPECT_EQ(grid->Text(2, 3), QStringLiteral("7"));
    EXPECT_EQ(grid->Text(2, 2), QString());
    EXPECT_EQ(services.beeps, 0);

    // "abc" cannot be taken: the bell, and the rows stay where they are.
    const std::vector<NPoint> held = doc.nPoints;
    grid->SetActiveCell(2, 4);
    TypeKeys(QStringLiteral("abc"));
    window->mnuEditDeleteRow->trigger();
    QApplication::processEvents();
    EXPECT_EQ(services.beeps, 1);
    EXPECT_EQ(doc.nPoints, held);
    EXPECT_EQ(grid->ActiveRow(), 4);
}

TEST_F(MainWindowEdit, DeleteRowTakesTheGridIntoTheDocumentAndRecalculates) {
    const std::vector<NPoint> before = doc.nPoints;
    ASSERT_GE(before.size(), 5u);
    Focus(window->vaSpreadN, 1, 3, 1, 4);
    doc.calcPoints.clear();
    window->mnuEditDeleteRow_Click();
    EXPECT_TRUE(window->IsChanged);
    ASSERT_EQ(doc.nPoints.size(), before.size() - 2);
    EXPECT_EQ(doc.nPoints[2], before[4]);
    EXPECT_FALSE(doc.calcPoints.empty());
}

// No grid command drops a row of the N-value grid, however long the boring,
// the selection or the clipboard.
TEST_F(MainWindowEdit, RowInsertAndLongPastesKeepEveryRowOfTheNValueGrid) {
    const NPoint blank{-1, 0, 30, 0};
    std::vector<NPoint> full;
    for (int i = 1; i <= 500; ++i)
        full.push_back(NPoint{0.5 * i, 10, 30, 0});
    std::string lines;
    for (int i = 1; i <= 600; ++i)
        lines += std::to_string(i) + "\t7\r\n";
    struct Case {
        const char* name;
        bool fullGrid;  // 500 points, the grid's designed length
        const char* clipboard;
        int col, row1, row2;  // the selection; row2 0 for the whole column
        void (frmMain::*command)();
        int blankRow;  // the inserted row, 0 for none
        std::size_t points;
    };
    const Case cases[] = {
        {"whole column, then insert", false, "", 2, 1, 0, &frmMain::mnuEditInsertRow_Click, 1, 0},
        {"insert on a full grid", true, "", 2, 2, 3, &frmMain::mnuEditInsertRow_Click, 2, 502},
        {"600 rows pasted into one cell", false, lines.c_str(), 1, 1, 1,
         &frmMain::mnuEditPaste_Click, 0, 600},
        {"600 rows pasted as rows", false, lines.c_str(), 2, 1, 1, &frmMain::mnuEditPasteRow_Click,
         0, 600},
    };
    ASSERT_TRUE(window->OpenProjectPath(Project("long.qmf").string()));
    const std::vector<NPoint> site = doc.nPoints;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.nPoints = c.fullGrid ? full : site;
        window->SetSpreadN();
        const std::vector<NPoint> before = doc.nPoints;
        services.clipboard = c.clipboard;
        SpreadGrid* grid = window->vaSpreadN;
        Focus(grid, c.col, c.row1, c.col, c.row2 == 0 ? grid->MaxRows() : c.row2);
        window->IsChanged = false;
        (window.get()->*c.command)();
        EXPECT_TRUE(window->IsChanged);
        if (c.blankRow > 0) {
            ASSERT_EQ(doc.nPoints.size(), c.points != 0 ? c.points : before.size() + 1);
            std::vector<NPoint> expected = before;
            expected.insert(expected.begin() + (c.blankRow - 1),
                            static_cast<std::size_t>(doc.nPoints.size() - before.size()), blank);
            EXPECT_EQ(doc.nPoints, expected);
        } else {
            ASSERT_EQ(doc.nPoints.size(), c.points);
            EXPECT_EQ(doc.nPoints.back(), (NPoint{600, 7, 30, 0}));
        }
        EXPECT_GE(grid->MaxRows(), static_cast<int>(doc.nPoints.size()));
    }
    EXPECT_EQ(services.beeps, 0);
}

// Every row of a grid as one text, its cells joined; blank rows at the end
// left off.
std::vector<std::string> GridRows(const SpreadGrid& grid) {
    std::vector<std::string> rows;
    for (int row = 1; row <= grid.MaxRows(); ++row) {
        std::string line;
        for (int col = 1; col <= grid.MaxCols(); ++col)
            line += grid.Text(col, row).toStdString() + "|";
        rows.push_back(line);
    }
    while (!rows.empty() &&
           rows.back() == std::string(static_cast<std::size_t>(grid.MaxCols()), '|'))
        rows.pop_back();
    return rows;
}

// One binding serves the three input grids: in each, an insert over a whole
// column adds one blank row at the top and keeps every row, and a paste longer
// than the grid grows it.
TEST_F(MainWindowEdit, TheThreeInputGridsKeepEveryRowOnInsertAndLongPastes) {
    frmSNDef names(settings, services);
    names.SetDialogForm();
    struct Case {
        const char* name;
        SpreadGrid* grid;
        std::function<void()> insert, paste;
        int pasteCol;
        const char* pasted;
    };
    const Case cases[] = {
        {"N-value grid", window->vaSpreadN, [&] { window->mnuEditInsertRow_Click(); },
         [&] { window->mnuEditPaste_Click(); }, 1, "1"},
        {"soil grid", window->vaSpreadS, [&] { window->mnuEditInsertRow_Click(); },
         [&] { window->mnuEditPaste_Click(); }, 2, "1"},
        {"soil-name definitions", names.vaSpreadS[0], [&] { names.mnuEditInsertRow->trigger(); },
         [&] { names.mnuEditPaste->trigger(); }, 1, "n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpreadGrid& grid = *c.grid;
        std::vector<std::string> expected = GridRows(grid);
        ASSERT_GE(expected.size(), 2u);
        expected.insert(expected.begin(),
                        std::string(static_cast<std::size_t>(grid.MaxCols()), '|'));
        grid.setFocus();
        grid.SetActiveCell(2, 1);
        grid.SelectBlock(SpreadBlock{2, 1, 2, grid.MaxRows()});
        c.insert();
        EXPECT_EQ(GridRows(grid), expected);

        const int rows = grid.MaxRows();
        std::string lines;
        for (int i = 0; i < rows + 10; ++i)
            lines += std::string(c.pasted) + "\r\n";
        services.clipboard = lines;
        grid.SetActiveCell(c.pasteCol, 1);
        c.paste();
        ASSERT_EQ(grid.MaxRows(), rows + 10);
        EXPECT_FALSE(grid.Text(c.pasteCol, rows + 10).isEmpty());
    }
    EXPECT_EQ(doc.layers.size(), static_cast<std::size_t>(window->vaSpreadS->MaxRows()));
    EXPECT_EQ(services.beeps, 0);
}

// The document keeps an N-value row without a depth blank; the grid shows
// that at every moment, and a value it cannot take is refused with the bell.
TEST_F(MainWindowEdit, NValueRowsWithoutADepthShowWhatTheDocumentHolds) {
    SpreadGrid* grid = window->vaSpreadN;
    const std::vector<NPoint> before = doc.nPoints;
    const int count = static_cast<int>(before.size());
    ASSERT_GE(count, 5);
    auto text = [&](int col, int row) { return grid->Text(col, row).toStdString(); };
    auto typeAndLeave = [&](int col, int row, const char* typed) {
        grid->SetText(col, row, QString::fromUtf8(typed));
        window->vaSpreadN_LeaveCell(col, row, col, row + 1);
    };
    const std::string depth3 = text(1, 3);
    const std::string n3 = text(2, 3);
    ASSERT_FALSE(n3.empty());

    // An N typed below the data without a depth.
    typeAndLeave(2, count + 5, "12");
    EXPECT_EQ(services.beeps, 1);
    EXPECT_EQ(text(2, count + 5), "");
    EXPECT_EQ(grid->ActiveCol(), 2) << "held in the cell like an invalid value";
    EXPECT_FALSE(window->IsChanged);
    EXPECT_EQ(grid->ActiveRow(), count + 5);

    // The depth of a row with an N cleared by typing.
    typeAndLeave(1, 3, "　");
    EXPECT_EQ(services.beeps, 2);
    EXPECT_EQ(text(1, 3), depth3);
    EXPECT_EQ(text(2, 3), n3);

    // The Clear command on depth cells, by the menu and by the Delete key.
    Focus(grid, 1, 2, 1, 3);
    window->mnuEditClear_Click();
    EXPECT_EQ(services.beeps, 3);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(services.beeps, 4);
    EXPECT_EQ(text(1, 3), depth3);
    EXPECT_EQ(text(2, 3), n3);

    // N values pasted into rows without a depth.
    services.clipboard = "5\r\n6\r\n";
    Focus(grid, 2, count + 2, 2, count + 2);
    window->mnuEditPaste_Click();
    EXPECT_EQ(services.beeps, 5);
    EXPECT_EQ(text(2, count + 2), "");
    EXPECT_EQ(text(2, count + 3), "");
    EXPECT_EQ(doc.nPoints, before);
    EXPECT_FALSE(services.clipboard.empty());

    // BackSpace clears N cells as the Clear command does; then the depth of
    // that row, holding nothing else, clears the whole row.
    Focus(grid, 2, 3, 2, 4);
    window->IsChanged = false;
    QTest::keyClick(grid, Qt::Key_Backspace);
    EXPECT_TRUE(window->IsChanged);
    EXPECT_EQ(doc.nPoints[2].N, 0);
    EXPECT_EQ(doc.nPoints[3].N, 0);
    EXPECT_EQ(text(2, 3), "");
    typeAndLeave(1, 3, "");
    EXPECT_EQ(services.beeps, 5);
    EXPECT_EQ(doc.nPoints[2], (NPoint{-1, 0, 30, 0}));
    EXPECT_EQ(text(1, 3), "");
    EXPECT_EQ(window->SpreadInN().iFG(3), 0);
}

TEST_F(MainWindowEdit, CopyAndPasteRowsOfTheSoilGrid) {
    const std::vector<LayerRecord> before = doc.layers;
    ASSERT_GE(before.size(), 2u);
    Focus(window->vaSpreadS, 1, 1, 1, 1);
    window->mnuEditCopyRow_Click();
    EXPECT_FALSE(window->IsChanged);  // copying is no change
    EXPECT_FALSE(services.clipboard.empty());
    EXPECT_TRUE(window->mnuEditPasteRow->isEnabled());

    Focus(window->vaSpreadS, 1, 2, 1, 2);
    window->mnuEditPasteRow_Click();
    EXPECT_TRUE(window->IsChanged);
    ASSERT_EQ(doc.layers.size(), before.size());
    EXPECT_EQ(doc.layers[1].Thickness, before[0].Thickness);
    EXPECT_EQ(doc.layers[1].SoilName, before[0].SoilName);
}

TEST_F(MainWindowEdit, AClearedSoilRowLeavesNothingThatARefreshBringsBack) {
    ASSERT_GE(doc.layers.size(), 3u);
    const LayerRecord third = doc.layers[2];
    for (QAction* command : {window->mnuEditClearRow, window->mnuEditInsertRow}) {
        SCOPED_TRACE(command->objectName().toStdString());
        Focus(window->vaSpreadS, 1, 2, 1, 2);
        command->trigger();
        EXPECT_EQ(doc.layers[1], LayerRecord{});
        window->SetSpreadS();
        EXPECT_EQ(window->vaSpreadS->Text(3, 2).toStdString(), "");
    }
    EXPECT_EQ(doc.layers[2], LayerRecord{});  // the first cleared row, moved down
    EXPECT_EQ(doc.layers[3], third);
}

TEST_F(MainWindowEdit, CommandsOutsideTheGridsOnlyMarkTheDocumentChanged) {
    const Document before = doc;
    window->txtMagu->setFocus();
    services.clipboard = "1\t2\r\n";
    for (void (frmMain::*command)() :
         {&frmMain::mnuEditPaste_Click, &frmMain::mnuEditCopyUnder_Click,
          &frmMain::mnuEditDeleteUnderAll_Click}) {
        window->IsChanged = false;
        (window.get()->*command)();
        EXPECT_TRUE(window->IsChanged);
    }
    EXPECT_EQ(doc.nPoints, before.nPoints);
    EXPECT_EQ(doc.layers, before.layers);
    EXPECT_EQ(services.clipboard, "1\t2\r\n");
}

// Copy down over one row changes nothing: it still recalculates, but leaves
// no save question behind, as no empty command does.
TEST_F(MainWindowEdit, CopyDownWithOneRowStillRecalculatesButChangesNothing) {
    const std::vector<NPoint> before = doc.nPoints;
    Focus(window->vaSpreadN, 1, 2, 2, 2);
    doc.calcPoints.clear();
    window->IsChanged = false;
    window->mnuEditCopyUnder_Click();
    EXPECT_EQ(doc.nPoints, before);
    EXPECT_FALSE(doc.calcPoints.empty());
    EXPECT_FALSE(window->IsChanged);
}

TEST_F(MainWindowEdit, SoilNameSettingsRecalculateOnlyWhenSaved) {
    for (bool save : {false, true}) {
        SCOPED_TRACE(save);
        answerDialog = [save](QDialog& dialog) {
            auto& names = dynamic_cast<frmSNDef&>(dialog);
            save ? names.cmdOk_Click() : names.cmdCancel_Click();
        };
        doc.calcPoints.clear();
        window->mnuOptionSoName_Click();
        EXPECT_EQ(doc.calcPoints.empty(), !save);
    }
    EXPECT_EQ(shownDialogs, (std::vector<std::string>{"frmSNDef", "frmSNDef"}));
}

TEST_F(MainWindowEdit, CopyInTheResultGridTakesTheWholeGrid) {
    SpreadGrid* grid = window->vaSpreadE;
    Focus(grid, 2, 2, 2, 2);
    window->mnuEditCopy_Click();
    EXPECT_EQ(services.clipboard, grid->BlockText(SpreadBlock{-1, -1, -1, -1}));
    EXPECT_GT(std::count(services.clipboard.begin(), services.clipboard.end(), '\n'), 1);
    EXPECT_EQ(grid->ActiveCol(), 2);
    EXPECT_EQ(grid->ActiveRow(), 2);
    EXPECT_FALSE(window->IsChanged);

    services.clipboard.clear();
    window->mnuCopy1_Click();  // the pop-up's Copy
    EXPECT_EQ(services.clipboard, grid->BlockText(SpreadBlock{-1, -1, -1, -1}));
}

TEST_F(MainWindowEdit, RightButtonOpensTheEditMenuOrTheCopyMenu) {
    const QPoint at = window->mapToGlobal(QPoint(50, 50));
    window->vaSpreadE->setFocus();
    window->vaSpreadS_MouseDown(Qt::LeftButton, at);
    EXPECT_FALSE(window->mnuEdit->isVisible());
    window->vaSpreadS_MouseDown(Qt::RightButton, at);
    EXPECT_TRUE(window->vaSpreadS->hasFocus());
    EXPECT_TRUE(window->mnuEdit->isVisible());
    window->mnuEdit->close();

    window->vaSpreadE_MouseDown(Qt::RightButton, at);
    EXPECT_TRUE(window->vaSpreadE->hasFocus());
    EXPECT_TRUE(window->mnuPopCopy->isVisible());
    ASSERT_EQ(window->mnuPopCopy->actions().size(), 1);
    EXPECT_EQ(window->mnuPopCopy->actions()[0]->text(), "コピー");
    window->mnuPopCopy->close();
}

// ---------------------------------------------------------------------------
// The end of the desktop's session

// Logging out with unsaved edits asks the question closing asks; キャンセル
// (or a save that does not happen) cancels the session end, the other answers
// let it go on, and the close that then ends the program asks no more.
TEST_F(MainWindowEdit, TheEndOfTheSessionAsksAboutUnsavedEditsAsClosingDoes) {
    const fs::path site = folder / "site.qmf";
    const std::string onDisk = ReadAll(site);
    settings.iniFile = (folder / "Quilmorn.ini").string();
    struct Case {
        const char* what;
        MessageAnswer answer;
        bool goesOn;
        bool saved;
    } cases[] = {
        {"はい", MessageAnswer::Yes, true, true},
        {"いいえ", MessageAnswer::No, true, false},
        {"キャンセル", MessageAnswer::Cancel, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Project("site.qmf");
        fs::remove(folder / "Quilmorn.ini");
        MakeWindow();
        ASSERT_TRUE(window->OpenProjectPath(site.string()));
        ASSERT_TRUE(ShowActive(*window));
        services.messages.clear();
        doc.calcConditions.surfaceAccel = 321;
        window->IsChanged = true;
        services.messageAnswers = {c.answer};

        EXPECT_EQ(window->SessionEnding(true), c.goesOn);
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, kSavePrompt);
        EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNoCancel);
        Document back;
        ASSERT_EQ(ReadProjectFile(site.string(), back, services), kProjectFileOk);
        EXPECT_EQ(back.calcConditions.surfaceAccel == 321, c.saved);
        EXPECT_TRUE(window->isVisible());

        // The close that ends the session.
        services.messageAnswers = {MessageAnswer::No};
        window->close();
        if (c.goesOn) {
            EXPECT_EQ(services.messages.size(), 1u) << "asked once";
            EXPECT_FALSE(window->isVisible());
            EXPECT_TRUE(fs::exists(folder / "Quilmorn.ini")) << "the settings are written";
        } else {
            // The session goes on; a later close asks as ever.
            EXPECT_EQ(services.messages.size(), 2u);
            EXPECT_FALSE(window->isVisible());
        }
    }
}

TEST_F(MainWindowEdit, AfterTheSessionEndWasCancelledElsewhereClosingAsksAgain) {
    window->IsChanged = true;
    services.messageAnswers = {MessageAnswer::No};
    ASSERT_TRUE(window->SessionEnding(true));
    // Another program cancelled the session end; the user works on.
    window->txtKihon->setFocus();
    QTest::keyClick(window->txtKihon, Qt::Key_Down);
    window->IsChanged = true;
    services.messageAnswers = {MessageAnswer::Cancel};
    window->close();
    EXPECT_EQ(services.messages.size(), 2u);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowEdit, WithoutLeaveToAskTheSessionEndAsksNothingAndClosingStillAsks) {
    window->IsChanged = true;
    EXPECT_TRUE(window->SessionEnding(false));
    EXPECT_TRUE(services.messages.empty());
    services.messageAnswers = {MessageAnswer::Cancel};
    window->close();
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowEdit, ARefusedBoxCancelsTheSessionEndAndSaysWhy) {
    window->tabShow->setCurrentIndex(1);
    window->txtKasokudo->setFocus();
    window->txtKasokudo->setText(QStringLiteral("5000"));
    EXPECT_FALSE(window->SessionEnding(true));
    EXPECT_EQ(
        services.refusals,
        std::vector<std::string>{"「設計用水平加速度(㎝/s2)」には0～999の数値を入力してください"});
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(QApplication::focusWidget(), window->txtKasokudo);
}

}  // namespace
