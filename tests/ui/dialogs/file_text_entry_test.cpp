// Texts that reach a file (project file, settings file) are entered as the
// file can hold them: the screen never shows a text that the file cannot.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/project_file.h"
#include "core/settings.h"
#include "core/soil_names.h"
#include "core/text_entry.h"
#include "output/clsPrinter.h"
#include "output/fake_printer.h"
#include "sheets/header_footer.h"
#include "support/recording_sinks.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/frmHF.h"
#include "ui/dialogs/frmKihon.h"
#include "ui/dialogs/frmOption.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/dialogs/frmYohaku.h"
#include "ui/example_boring.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/frmMain.h"

namespace {

constexpr const char* kKichi = "「𠮷」(U+20BB7)はファイルに保存できない文字です";

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// One box whose text reaches a file: how to confirm it and read back what the
// file then holds (none for a box whose text goes on into another box).
struct Place {
    QLineEdit* box = nullptr;
    bool quotedValue = false;
    std::function<std::optional<std::string>()> savedText;
};

class FileTextEntry : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(configDir.isValid());
        NewDocument(doc);
        doc.basicData = ExampleBoring().basicData;
        SetDefaultSoilNames(settings);
        settings.headerFooterCodes = HeaderFooterCodes();
        settings.iniFile = configDir.filePath("Quilmorn.ini").toStdString();
        settings.defaultDataFolder = configDir.path().toStdString();
    }

    // The project file's text after the document is written and read back.
    std::string ProjectText(std::string BasicData::*field) {
        Document back;
        NewDocument(back);
        EXPECT_EQ(ParseProjectFile(ProjectFileBytes(doc), back), kProjectFileOk);
        return back.basicData.*field;
    }

    // The settings after they are written and read back at the next start.
    Settings SettingsReadBack() {
        EXPECT_TRUE(SaveSettings(settings));
        Settings back;
        SetDefaultSoilNames(back);
        back.iniFile = settings.iniFile;
        Document scratch;
        LoadSettings(back, scratch);
        return back;
    }

    // A fresh dialog for each case, and the box of it that is tried.
    std::vector<std::pair<const char*, std::function<Place()>>> Places() {
        auto basic = [this](int box, std::string BasicData::*field) {
            return [this, box, field] {
                auto dialog = std::make_shared<frmKihon>(doc, services);
                dialog->SetDialogForm();
                return Place{dialog->Text1[box], true, [this, dialog, field] {
                                 dialog->cmdOk_Click();
                                 return std::optional(ProjectText(field));
                             }};
            };
        };
        return {
            {"工事名", basic(0, &BasicData::ProjectName)},
            {"略称", basic(1, &BasicData::ShortName)},
            {"調査地", basic(2, &BasicData::Site)},
            {"ヘッダ/フッタ",
             [this] {
                 auto dialog = std::make_shared<frmYohaku>(
                     settings, doc, program,
                     [this]() -> clsPrinter& {
                         if (!printer)
                             printer = std::make_unique<clsPrinter>(printSystem, printerMessages);
                         return *printer;
                     },
                     services);
                 return Place{dialog->txtHf[5], false, [this, dialog] {
                                  dialog->cmdOk_Click();
                                  return std::optional(SettingsReadBack().headerFooterText[5]);
                              }};
             }},
            {"定義文",
             [this] {
                 auto dialog = std::make_shared<frmHF>(
                     settings.headerFooterCodes, [](int, int) { return std::string(); }, services);
                 return Place{dialog->txtKata, false,
                              [dialog]() -> std::optional<std::string> { return std::nullopt; }};
             }},
            {"データフォルダ",
             [this] {
                 auto dialog = std::make_shared<frmOption>(settings, doc, services);
                 return Place{dialog->Text1, false, [this, dialog] {
                                  dialog->cmdOk_Click();
                                  return std::optional(SettingsReadBack().defaultDataFolder);
                              }};
             }},
        };
    }

    QTemporaryDir configDir;
    Document doc;
    Settings settings;
    ProgramInfo program;
    FakePrintSystem printSystem;
    RecordingMessageSink printerMessages;
    std::unique_ptr<clsPrinter> printer;
    FakePlatformServices services;
};

// Every box that reaches a file × the odd inputs: what the box shows after
// the text is typed or pasted after "前" (an input method's commit and a paste
// both insert), the note the user gets, and that the file holds what the box
// shows.
TEST_F(FileTextEntry, EveryBoxShowsWhatItsFileWillHold) {
    struct Case {
        const char* what;
        std::string typed;
        std::string quotedShows;  // in a text value of the project file
        std::string plainShows;   // in a settings value
        const char* note;
    };
    const std::vector<Case> cases = {
        {"a character of place names", "𠮷", "前", "前", kKichi},
        {"accents and emoji", "é😀", "前", "前",
         "「é」(U+00E9)「😀」(U+1F600)はファイルに保存できない文字です"},
        {"double quotes", "\"後\"", "前＂後＂", "前\"後\"", nullptr},
        {"a TAB", "\t後", "前 後", "前 後", nullptr},
        {"a line break", "\r\n後", "前 後", "前 後", nullptr},
        {"a one-way character", "〜", "前～", "前～", nullptr},
    };
    for (const auto& [placeName, makePlace] : Places()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(placeName) + ": " + c.what);
            services.refusals.clear();
            Place place = makePlace();
            place.box->setText(QStringLiteral("前"));
            place.box->end(false);
            place.box->insert(QString::fromStdString(c.typed));

            const std::string shows = place.quotedValue ? c.quotedShows : c.plainShows;
            EXPECT_EQ(place.box->text().toStdString(), shows);
            if (c.note != nullptr)
                EXPECT_EQ(services.refusals, std::vector<std::string>{c.note});
            else
                EXPECT_TRUE(services.refusals.empty());
            if (std::optional<std::string> saved = place.savedText()) {
                EXPECT_EQ(*saved, shows);
            }
        }
    }
}

// Basic-data texts have no length limit: a long pasted name is kept whole,
// and the file holds it whole.
TEST_F(FileTextEntry, ALongBasicDataNameIsKeptWhole) {
    frmKihon dialog(doc, services);
    dialog.SetDialogForm();
    const std::string name = Repeat("あ", 300);
    dialog.Text1[0]->clear();
    dialog.Text1[0]->insert(QString::fromStdString(name));
    EXPECT_EQ(dialog.Text1[0]->text().toStdString(), name);
    dialog.cmdOk_Click();
    EXPECT_EQ(ProjectText(&BasicData::ProjectName), name);
    EXPECT_TRUE(services.refusals.empty());
}

// A folder chosen in the folder browser whose name the settings file cannot
// hold is refused like a typed one; the box keeps its folder.
TEST_F(FileTextEntry, ABrowsedFolderTheSettingsCannotHoldIsRefused) {
    frmOption dialog(settings, doc, services);
    const QString before = dialog.Text1->text();
    services.folderAnswers = {std::string("/home/user/café")};
    dialog.cmdRef_Click();
    EXPECT_EQ(dialog.Text1->text(), before);
    EXPECT_EQ(services.refusals,
              std::vector<std::string>{"「é」(U+00E9)はファイルに保存できない文字です"});
    services.folderAnswers = {std::string("/home/user/データ")};
    dialog.cmdRef_Click();
    EXPECT_EQ(dialog.Text1->text(), "/home/user/データ");
}

// ----- Soil names in the grids -----

class SoilNameEntry : public FileTextEntry {
  protected:
    // Opens the editor of the cell, as typing into it does.
    static QLineEdit* OpenEditor(SpreadGrid& grid, int col, int row) {
        grid.setFocus();
        grid.SetActiveCell(col, row);
        grid.edit(grid.currentIndex());
        return qobject_cast<QLineEdit*>(QApplication::focusWidget());
    }
};

TEST_F(SoilNameEntry, TypingIntoTheDefinitionsDialogRefusesCutsAndConverts) {
    frmSNDef dialog(settings, services);
    dialog.SetDialogForm();
    ASSERT_TRUE(ShowActive(dialog));
    SpreadGrid& grid = *dialog.vaSpreadS[frmSNDef::kMainGrid];
    QLineEdit* editor = OpenEditor(grid, 1, 1);
    ASSERT_NE(editor, nullptr);

    editor->setText(QStringLiteral("シルト質細砂("));
    editor->insert(QStringLiteral("𠮷"));
    EXPECT_EQ(editor->text(), "シルト質細砂(");
    EXPECT_EQ(services.refusals, std::vector<std::string>{kKichi});
    editor->insert(QStringLiteral("吉野家前)\"A\""));
    EXPECT_EQ(editor->text(), "シルト質細砂(吉野家前)＂A＂");

    // A paste into the editor is cut at the column's 99 bytes (49 full-width
    // characters), with a note that says so in characters, where the
    // editor's own limit would cut it without a word.
    services.refusals.clear();
    editor->insert(QString::fromStdString(Repeat("砂", 3000)));
    EXPECT_EQ(editor->text().toStdString(), "シルト質細砂(吉野家前)＂A＂" + Repeat("砂", 36));
    EXPECT_EQ(services.refusals, std::vector<std::string>{CutEntryNote(99)});
    EXPECT_EQ(CutEntryNote(99), "全角49文字・半角99文字までです。超えた分は切り捨てました");

    grid.CommitEditor();
    const QString shown = grid.Text(1, 1);
    EXPECT_EQ(Cp932Length(shown.toStdString()), 99);
    dialog.cmdOk_Click();
    const std::string saved = SettingsReadBack().mainSoilNames[0].SoilName;
    EXPECT_EQ(saved, shown.toStdString());
}

TEST_F(SoilNameEntry, PastedNamesInTheMainWindowAreTakenAsTypedOnes) {
    SheetCanvases canvases;
    frmMain form(doc, settings, canvases, services);
    form.RunModal = [](QDialog&) { return 0; };
    doc = ExampleBoring();
    form.FormLoad();
    ASSERT_TRUE(ShowActive(form));
    SpreadGrid& grid = *form.vaSpreadS;
    auto paste = [&](int row, const std::string& clip) {
        services.refusals.clear();
        services.clipboard = clip;
        grid.setFocus();
        grid.SetActiveCell(3, row);
        grid.SelectBlock(SpreadBlock{3, row, 3, row});
        form.mnuEditPaste_Click();
    };

    struct Case {
        const char* what;
        std::string clip;
        std::string shows;
        std::vector<std::string> notes;
    };
    const std::vector<Case> cases = {
        {"refused", "シルト質細砂(𠮷野家前)\r\n", "埋め土", {kKichi}},
        {"quoted", "5\"砂\r\n", "5＂砂", {}},
        {"over long", Repeat("x", 3000) + "\r\n", Repeat("x", 99), {CutEntryNote(99)}},
        {"over long full-width", Repeat("砂", 60) + "\r\n", Repeat("砂", 49), {CutEntryNote(99)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        paste(1, c.clip);
        EXPECT_EQ(grid.Text(3, 1).toStdString(), c.shows);
        EXPECT_EQ(doc.layers[0].SoilName, c.shows);
        EXPECT_EQ(services.refusals, c.notes);
        Document back;
        NewDocument(back);
        ASSERT_EQ(ParseProjectFile(ProjectFileBytes(doc), back), kProjectFileOk);
        EXPECT_EQ(back.layers[0].SoilName, c.shows);
    }

    // Typed into the cell and left: the editor refuses at once.
    QLineEdit* editor = OpenEditor(grid, 3, 2);
    ASSERT_NE(editor, nullptr);
    services.refusals.clear();
    editor->insert(QStringLiteral("😀"));
    EXPECT_EQ(editor->text(), "シルト質細砂");
    EXPECT_EQ(services.refusals.size(), 1u);
}

// ----- Opening a file whose texts are not whole -----

TEST_F(FileTextEntry, OpeningAFileWithUnreadableTextsSaysWhichTexts) {
    Document damaged = ExampleBoring();
    damaged.basicData.Site = "SITE";
    damaged.layers[2].SoilName = "SOIL";
    std::string bytes = ProjectFileBytes(damaged);
    bytes.replace(bytes.find("SITE"), 4,
                  "S\xFF"
                  "E");
    bytes.replace(bytes.find("SOIL"), 4,
                  "S\x85\x40"
                  "L");
    auto write = [this](const char* name, const std::string& contents) {
        const std::string path = configDir.filePath(name).toStdString();
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents.data(), static_cast<qint64>(contents.size()));
        return path;
    };
    const std::string path = write("damaged.qmf", bytes);

    SheetCanvases canvases;
    frmMain form(doc, settings, canvases, services);
    form.RunModal = [](QDialog&) { return 0; };
    form.FormLoad();
    ASSERT_TRUE(form.OpenProjectPath(path));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, UnreadableTextsMessage({"調査地", "3行目の土質名"}, path));
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(doc.basicData.Site, "S?E");
    EXPECT_EQ(form.vaSpreadS->Text(3, 3).toStdString(), "S?L");

    // A whole file opens without a word.
    services.messages.clear();
    ASSERT_TRUE(form.OpenProjectPath(write("whole.qmf", ProjectFileBytes(ExampleBoring()))));
    EXPECT_TRUE(services.messages.empty());
}

}  // namespace
