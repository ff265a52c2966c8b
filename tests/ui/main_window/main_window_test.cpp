#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <cmath>
#include <string>
#include <vector>

#include "core/project_file.h"
#include "ui/example_boring.h"
#include "ui/grid/clsSpreadIn.h"
#include "ui/grid/spread_grid.h"
#include "ui/main_window/main_window_support.h"

namespace {

std::vector<uint8_t> Bits(const clsStrMeta& canvas) {
    auto bits = canvas.PageBits();
    return {bits.begin(), bits.end()};
}

int ActivePoints(const Document& doc) {
    int k = 0;
    for (const CalcPoint& p : doc.calcPoints)
        k += p.N != 0 ? 1 : 0;
    return k;
}

}  // namespace

// ---------------------------------------------------------------------------
// Frame: caption, menus, toolbar

TEST_F(MainWindowTest, CaptionIsTheFileNameWithoutExtensionBeforeTheProgramTitle) {
    EXPECT_EQ(form->windowTitle().toStdString(), "Vekt／Quilmorn2008");
    doc.currentFileName = "site1.qmf";
    form->SetCaption();
    EXPECT_EQ(form->windowTitle().toStdString(), "site1 - Vekt／Quilmorn2008");
    doc.currentFileName = "a.backup";  // an extension of more than four characters stays
    form->SetCaption();
    EXPECT_EQ(form->windowTitle().toStdString(), "a.backup - Vekt／Quilmorn2008");
}

TEST_F(MainWindowTest, TheWindowsOwnLoadFillsTheConditionControlsFromTheDocument) {
    // Only the load at creation has run: the condition page already shows
    // the document's conditions, and the programmed texts left no change.
    EXPECT_EQ(form->txtMagu->text().toStdString(), "7.5");
    EXPECT_EQ(form->txtKasokudo->text().toStdString(), "200");
    EXPECT_EQ(form->txtCalcDepth->text().toStdString(), "20");
    EXPECT_TRUE(form->optTigenShitei1[0]->isChecked());
    EXPECT_FALSE(form->IsChanged);
}

TEST_F(MainWindowTest, RecentFilesMenuShowsFilledEntriesAndTheSeparatorBelowThem) {
    form->SetMruMenu();
    EXPECT_FALSE(form->mnuFileList[6]->isVisible());
    for (size_t i = 1; i <= 5; ++i)
        EXPECT_FALSE(form->mnuFileList[i]->isVisible());

    settings.recentFiles[0] = "/data/borings/site1.qmf";
    form->SetMruMenu();
    EXPECT_TRUE(form->mnuFileList[6]->isVisible());
    EXPECT_TRUE(form->mnuFileList[1]->isVisible());
    EXPECT_EQ(form->mnuFileList[1]->text().toStdString(), "/data/borings/site1.qmf");
    for (size_t i = 2; i <= 5; ++i)
        EXPECT_FALSE(form->mnuFileList[i]->isVisible());

    // Long paths are shortened, and entries beyond the fifth are never shown.
    for (size_t i = 0; i < 10; ++i)
        settings.recentFiles[i] =
            "/a/very/long/folder/name/for/borings/number" + std::to_string(i) + "/site.qmf";
    form->SetMruMenu();
    for (size_t i = 1; i <= 5; ++i) {
        EXPECT_TRUE(form->mnuFileList[i]->isVisible());
        EXPECT_LE(form->mnuFileList[i]->text().size(), 33);
    }
}

TEST_F(MainWindowTest, ToolbarHasEighteenButtonsInOrderWithTheirTooltips) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"NEW", "新規作成"},        {"OPEN", "開く"},
        {"SAVE", "上書き保存"},     {"SAVEAS", "名前を付けて保存"},
        {"PRINTOUT", "印刷"},       {"COPY", "コピ－"},
        {"PASTE", "貼り付け"},      {"CLEAR", "クリア"},
        {"ROWCUT", "行切り取り"},   {"ROWCOPY", "行コピ－"},
        {"ROWPASTE", "行貼り付け"}, {"ROWINSERT", "行挿入"},
        {"ROWCLEAR", "行クリア"},   {"ROWDELETE", "行削除"},
        {"BCOPY", "下方へコピ－"},  {"BDELETE", "以降すべて削除"},
        {"PASSET", "パス設定"},     {"HELP", "ヘルプ"}};
    std::vector<std::pair<std::string, std::string>> buttons;
    std::vector<size_t> separatorsAfter;
    for (QAction* a : form->Toolbar1->actions()) {
        if (a->isSeparator())
            separatorsAfter.push_back(buttons.size());
        else
            buttons.emplace_back(a->objectName().toStdString(), a->toolTip().toStdString());
    }
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(separatorsAfter, (std::vector<size_t>{5, 16, 17}));
    for (const auto& [key, icon] : form->ImageList1)
        EXPECT_FALSE(icon.isNull()) << key.toStdString();

    // The HELP button opens the help; an unknown key does nothing.
    form->Toolbar1_ButtonClick(QStringLiteral("HELP"));
    EXPECT_EQ(services.helpPages.size(), 1u);
    form->Toolbar1_ButtonClick(QStringLiteral("help"));
    EXPECT_EQ(services.helpPages.size(), 1u);
}

TEST_F(MainWindowTest, EachToolbarButtonFollowsTheEnablingOfItsMenuItem) {
    const std::pair<const char*, const char*> pairs[] = {
        {"NEW", "mnuFileNew"},           {"OPEN", "mnuFileOpen"},
        {"SAVE", "mnuFileSave"},         {"SAVEAS", "mnuFileSaveAs"},
        {"PRINTOUT", "mnuFilePrint"},    {"COPY", "mnuEditCopy"},
        {"PASTE", "mnuEditPaste"},       {"CLEAR", "mnuEditClear"},
        {"ROWCUT", "mnuEditCutRow"},     {"ROWCOPY", "mnuEditCopyRow"},
        {"ROWPASTE", "mnuEditPasteRow"}, {"ROWINSERT", "mnuEditInsertRow"},
        {"ROWCLEAR", "mnuEditClearRow"}, {"ROWDELETE", "mnuEditDeleteRow"},
        {"BCOPY", "mnuEditCopyUnder"},   {"BDELETE", "mnuEditDeleteUnderAll"},
        {"PASSET", "mnuOptionPath"},     {"HELP", "mnuHelpIndex"},
    };
    for (auto [key, name] : pairs) {
        SCOPED_TRACE(key);
        QAction* item = form->menuBar()->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(item, nullptr);
        QAction* button = form->Toolbar1Buttons.at(QString::fromLatin1(key));
        const bool before = item->isEnabled();
        item->setEnabled(!before);
        EXPECT_EQ(button->isEnabled(), !before);
        item->setEnabled(before);
        EXPECT_EQ(button->isEnabled(), before);
    }
}

// ---------------------------------------------------------------------------
// Resize layout and splitter

TEST_F(MainWindowTest, AtTheLoadSizeThePagesTakeTheirSizesFromTheTabStrips) {
    ShowWindow();
    const TwipsLayout& t = form->layout;
    EXPECT_EQ(form->InnerWidth(), form->LoadClientWidth);
    EXPECT_EQ(form->InnerHeight(), form->LoadClientHeight);
    EXPECT_EQ(form->SplitToSoilTabGap, 120);
    EXPECT_EQ(form->LowerPaneHeight, form->LoadLowerPaneHeight);

    EXPECT_EQ(t.Width(form->tabShow), 4875);
    EXPECT_EQ(t.Height(form->tabShow), 3555);
    EXPECT_EQ(t.Width(form->picShow[0]), 4875 - 120);
    EXPECT_EQ(t.Height(form->picShow[0]), 3555 - 420);
    EXPECT_EQ(t.Width(form->picShow[2]), 4875 - 240);
    EXPECT_EQ(t.Height(form->picShow[2]), 3555 - 560);
    EXPECT_EQ(t.Left(form->tabNchi), 4980);
    EXPECT_EQ(t.Height(form->vaSpreadN), 2475 - 560 - 60);
    EXPECT_EQ(t.Top(form->picSplit), 3960);
    EXPECT_EQ(t.Top(form->tabSoData), 4080);
    EXPECT_EQ(t.Width(form->vaSpreadS), 8895 - 240 - 2400);
    EXPECT_EQ(t.Left(form->frmSoilName), t.Width(form->vaSpreadS) + 120);
    // The pages of each strip lie on top of each other.
    EXPECT_EQ(t.Top(form->picNchi[1]), t.Top(form->picNchi[0]));
    EXPECT_EQ(t.Left(form->picSoData[1]), t.Left(form->picSoData[0]));
    EXPECT_EQ(t.Left(form->picShow[2]), t.Left(form->picShow[0]));
}

TEST_F(MainWindowTest, GrowingTheWindowWidensTheFigureTabAndMovesTheNValuePanel) {
    ShowWindow();
    const TwipsLayout& t = form->layout;
    int px = form->layout.ToPixelsX(1500);
    int py = form->layout.ToPixelsY(1200);
    form->resize(form->width() + px, form->height() + py);
    QApplication::processEvents();
    int dW = form->InnerWidth() - form->LoadClientWidth;
    int dH = form->InnerHeight() - form->LoadClientHeight;
    ASSERT_GT(dW, 1400);
    ASSERT_GT(dH, 1100);
    EXPECT_EQ(t.Width(form->tabShow), 4875 + dW);
    EXPECT_EQ(t.Left(form->tabNchi), 4980 + dW);
    EXPECT_EQ(t.Left(form->txtKihon), 4980 + dW);
    EXPECT_EQ(t.Left(form->picNchi[0]), 4980 + dW + 120);
    // The lower pane keeps its height: the whole growth goes to the upper area.
    EXPECT_EQ(t.Height(form->tabShow), 3555 + dH);
    EXPECT_EQ(t.Top(form->picSplit), form->InnerHeight() - form->LowerPaneHeight);
    EXPECT_EQ(t.Height(form->tabSoData), 2355);
    EXPECT_EQ(t.Width(form->tabSoData), 8895 + dW);
    EXPECT_EQ(t.Width(form->vaSpreadE), 4875 + dW - 240 - 60);
    EXPECT_EQ(t.Height(form->lblCalcComent), 3555 + dH - 560 - 1000);
}

TEST_F(MainWindowTest, TheWindowCannotShrinkBelowItsLoadSize) {
    ShowWindow();
    form->resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(form->InnerWidth(), form->LoadClientWidth);
    EXPECT_EQ(form->InnerHeight(), form->LoadClientHeight);
}

TEST_F(MainWindowTest, SplitterDropIsClampedBelowTheNValueTabAndAboveTheBottom) {
    ShowWindow();
    const TwipsLayout& t = form->layout;
    int H = form->InnerHeight();
    int highest = t.Top(form->tabNchi) + 1200;

    struct Case {
        int dropY;
        int splitterTop;
    };
    const Case cases[] = {
        {highest + 300, highest + 300},  // a free drop lands where it is dropped
        {500, highest},                  // above the limit: at the limit
        {H - 100, H - 420},              // near the bottom: the lower area keeps 420
    };
    for (const Case& c : cases) {
        form->Form_DragDrop(form->picSplit, 0, c.dropY);
        EXPECT_EQ(t.Top(form->picSplit), c.splitterTop) << c.dropY;
        EXPECT_EQ(t.Top(form->tabSoData), c.splitterTop + 120) << c.dropY;
    }
    // A drop of anything else is ignored.
    form->Form_DragDrop(form->tabShow, 0, highest + 100);
    EXPECT_EQ(t.Top(form->picSplit), H - 420);
}

TEST_F(MainWindowTest, AShortLowerAreaKeepsTheSoilPageHeights) {
    ShowWindow();
    const TwipsLayout& t = form->layout;
    int gridHeight = t.Height(form->vaSpreadS);
    int listTop = t.Top(form->lstSoilDef[1]);
    form->Form_DragDrop(form->picSplit, 0, form->InnerHeight() - 900);
    EXPECT_LE(t.Height(form->tabSoData), 1500);
    EXPECT_EQ(t.Height(form->vaSpreadS), gridHeight);
    EXPECT_EQ(t.Top(form->lstSoilDef[1]), listTop);
    EXPECT_EQ(t.Top(form->picSoData[0]), t.Top(form->tabSoData) + 420);

    // Dropped back up, the soil page grows again and its lists share the frame.
    form->Form_DragDrop(form->picSplit, 0, 3000);
    EXPECT_GT(t.Height(form->tabSoData), 1500);
    EXPECT_EQ(t.Height(form->vaSpreadS), t.Height(form->picSoData[0]) - 60);
    EXPECT_EQ(t.Height(form->lstSoilDef[1]), t.Height(form->lstSoilDef[0]));
    EXPECT_EQ(t.Top(form->lblSoilDef[1]), t.Top(form->lstSoilDef[1]));
}

TEST_F(MainWindowTest, NormalResizesRecordThePlacementExceptWhilePlacing) {
    ShowWindow();
    settings.windowPlacement = {};
    form->PlacingWindow = true;
    form->Form_Resize();
    EXPECT_EQ(settings.windowPlacement.left, -1);
    form->PlacingWindow = false;
    form->Form_Resize();
    EXPECT_NE(settings.windowPlacement.left, -1);
    EXPECT_EQ(settings.windowPlacement.width, form->layout.ToTwipsX(form->frameGeometry().width()));
}

// ---------------------------------------------------------------------------
// Closing

TEST_F(MainWindowTest, ClosingWithChangesAsksAndWritesTheSettings) {
    QTemporaryDir dir;
    settings.iniFile = dir.filePath("Quilmorn.ini").toStdString();
    ShowWindow();
    form->IsChanged = true;
    services.messageAnswers.push_back(MessageAnswer::No);
    form->close();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "データが更新されています。保存しますか？");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(services.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(services.messages[0].title, "Vekt／Quilmorn2008");
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Quilmorn.ini")));
    EXPECT_EQ(settings.windowPlacement.state, 0);
}

TEST_F(MainWindowTest, ClosingWithoutChangesAsksNothing) {
    ShowWindow();
    form->mnuFileEnd->trigger();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, AFailedSettingsWriteAtTheEndIsToldAndTheProgramStillEnds) {
    QTemporaryDir dir;
    // A folder where the settings file should be cannot be written over.
    settings.iniFile = dir.filePath("Quilmorn.ini").toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkdir("Quilmorn.ini"));
    ShowWindow();
    form->mnuFileEnd->trigger();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find(settings.iniFile), std::string::npos);
    EXPECT_NE(services.messages[0].text.find("書き込みに失敗しました"), std::string::npos);
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(form->isVisible());
}

// ---------------------------------------------------------------------------
// Edit enabling and navigation

TEST_F(MainWindowTest, EditCommandsFollowTheFocusAndTheClipboard) {
    Load(ExampleBoring());
    ShowWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto enabled = [this](const char* key) {
        return form->Toolbar1Buttons.at(QString::fromLatin1(key))->isEnabled();
    };

    form->tabShow->setCurrentIndex(1);
    ASSERT_EQ(QApplication::focusWidget(), form->txtMagu);
    form->SetEditMenu();
    for (QAction* a : {form->mnuEditCopy, form->mnuEditPaste, form->mnuEditClear,
                       form->mnuEditCopyUnder, form->mnuEditDeleteUnderAll})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(enabled("COPY"));
    EXPECT_FALSE(enabled("BDELETE"));

    services.clipboard = "1\t2\r\n";
    form->vaSpreadN->setFocus();
    EXPECT_TRUE(form->mnuEditCopy->isEnabled());
    EXPECT_TRUE(form->mnuEditPaste->isEnabled());
    EXPECT_TRUE(form->mnuEditDeleteRow->isEnabled());
    EXPECT_TRUE(enabled("PASTE"));

    services.clipboard.clear();
    form->tabShow->setCurrentIndex(2);
    form->vaSpreadE->setFocus();
    EXPECT_TRUE(form->mnuEditCopy->isEnabled());
    EXPECT_FALSE(form->mnuEditPaste->isEnabled());
    EXPECT_FALSE(form->mnuEditClear->isEnabled());
    EXPECT_TRUE(enabled("COPY"));
    EXPECT_FALSE(enabled("ROWCUT"));
}

TEST_F(MainWindowTest, UpDownAndEnterMoveAlongTheConditionInputs) {
    ShowWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->tabShow->setCurrentIndex(1);  // "液状化判定" fills the order
    ASSERT_EQ(QApplication::focusWidget(), form->txtMagu);

    QTest::keyClick(form->txtMagu, Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), form->txtMagu);
    QTest::keyClick(form->txtMagu, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->txtKasokudo);
    QTest::keyClick(form->txtKasokudo, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), form->txtCalcDepth);

    form->chkEkidata[2]->setChecked(true);  // disables (3)
    form->chkEkidata[1]->setFocus();
    QTest::keyClick(form->chkEkidata[1], Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), form->chkEkidata[2]);
    QTest::keyClick(form->chkEkidata[2], Qt::Key_Down);  // skips the disabled (3), wraps
    EXPECT_EQ(QApplication::focusWidget(), form->txtMagu);

    form->chkEkidata[2]->setChecked(false);
    form->chkEkidata[3]->setFocus();
    QTest::keyClick(form->chkEkidata[3], Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), form->txtMagu);
}

// ---------------------------------------------------------------------------
// Condition and option panels

TEST_F(MainWindowTest, ConditionBoxesTakeValuesInRangeAndRestoreOthersWithTheBell) {
    Load(ExampleBoring());
    struct Case {
        QLineEdit* frmMain::*box;
        double CalcConditions::*value;
        const char* typed;
        const char* shown;
        double stored;
        bool refused;
    };
    const Case cases[] = {
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "12.6", "13", 13, false},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "120", "20", 20, true},
        // One decimal, unless its rounding would leave the range.
        {&frmMain::txtMagu, &CalcConditions::magnitude, "7.25", "7.3", 7.3, false},
        {&frmMain::txtMagu, &CalcConditions::magnitude, "9.94", "9.9", 9.9, false},
        {&frmMain::txtMagu, &CalcConditions::magnitude, "9.95", "9.95", 9.95, false},
        {&frmMain::txtMagu, &CalcConditions::magnitude, "9.99", "9.99", 9.99, false},
        {&frmMain::txtMagu, &CalcConditions::magnitude, "10", "7.5", 7.5, true},
        {&frmMain::txtMagu, &CalcConditions::magnitude, "1.9", "7.5", 7.5, true},
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "350abc", "350", 350, false},
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "-1", "200", 200, true},
        // Full-width digits, as a Japanese input method types them.
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "３５０", "350", 350, false},
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "１５００", "200", 200, true},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "１５", "15", 15, false},
        {&frmMain::txtMagu, &CalcConditions::magnitude, "８．５", "8.5", 8.5, false},
        // A text without a number is refused, not read as 0 (which both boxes
        // would take).
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "", "200", 200, true},
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "-", "200", 200, true},
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "abc", "200", 200, true},
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "nan", "200", 200, true},
        {&frmMain::txtKasokudo, &CalcConditions::surfaceAccel, "1e400", "200", 200, true},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "", "20", 20, true},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, " .", "20", 20, true},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "inf", "20", 20, true},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "-1e400", "20", 20, true},
        {&frmMain::txtCalcDepth, &CalcConditions::calcDepth, "0", "0", 0, false},
    };
    auto note = [](QLineEdit* frmMain::*box) -> std::string {
        if (box == &frmMain::txtMagu)
            return "「マグニチュード」には2～9.99の数値を入力してください";
        return box == &frmMain::txtKasokudo
                   ? "「設計用水平加速度(㎝/s2)」には0～999の数値を入力してください"
                   : "「計算深さ(m)」には0～99の数値を入力してください";
    };
    for (const Case& c : cases) {
        Load(ExampleBoring());
        QLineEdit* box = form.get()->*c.box;
        int beeps = services.beeps;
        services.refusals.clear();
        const double before = doc.calcConditions.*c.value;
        form->FocusText = box->text();
        box->setText(QString::fromUtf8(c.typed));
        EXPECT_TRUE(form->IsChanged);
        // Typing alone does not reach the document.
        EXPECT_DOUBLE_EQ(doc.calcConditions.*c.value, before) << c.typed;
        if (c.box == &frmMain::txtMagu)
            form->txtMagu_LostFocus();
        else if (c.box == &frmMain::txtKasokudo)
            form->txtKasokudo_LostFocus();
        else
            form->txtCalcDepth_LostFocus();
        EXPECT_EQ(box->text().toStdString(), c.shown) << c.typed;
        EXPECT_DOUBLE_EQ(doc.calcConditions.*c.value, c.stored) << c.typed;
        EXPECT_EQ(services.beeps - beeps, c.refused ? 1 : 0) << c.typed;
        // The refusal is seen, not only heard.
        EXPECT_EQ(services.refusals,
                  c.refused ? std::vector<std::string>{note(c.box)} : std::vector<std::string>{})
            << c.typed;
        // Beside the box it concerns, which the focus has left by then.
        if (c.refused) {
            EXPECT_EQ(services.refusedBeside.back(), box) << c.typed;
        }
    }
}

TEST_F(MainWindowTest, ACalculationDepthChangeRecalculatesTheResultGrid) {
    Load(ExampleBoring());
    int before = ActivePoints(doc);
    ASSERT_GT(before, 0);
    form->FocusText = form->txtCalcDepth->text();
    form->txtCalcDepth->setText(QStringLiteral("10"));
    form->txtCalcDepth_LostFocus();
    EXPECT_LT(ActivePoints(doc), before);
    EXPECT_EQ(form->vaSpreadE->MaxRows(), ActivePoints(doc) + 1);
}

TEST_F(MainWindowTest, NValueLimitIsTakenWhenLeftBetweenTenAndHundred) {
    Load(ExampleBoring());
    ASSERT_EQ(doc.nGraphMax, 50);
    const struct {
        const char* text;
        const char* shown;  // after leaving
        int max;
        bool changed;
        bool refused;
    } cases[] = {
        {"50", "50", 50, false, false},     {"80", "80", 80, true, false},
        {"5", "80", 80, false, true},       {"62.5", "62", 62, true, false},
        {"150", "62", 62, false, true},     {"10", "10", 10, true, false},
        {"７０", "70", 70, true, false},    {"100", "100", 100, true, false},
        {"", "100", 100, false, true},      {"abc", "100", 100, false, true},
        {"1e400", "100", 100, false, true}, {"9.9", "100", 100, false, true},
        {"120", "100", 100, false, true},
    };
    for (const auto& c : cases) {
        form->IsChanged = false;
        services.refusals.clear();
        form->FocusText = form->txtNchi->text();
        const int before = doc.nGraphMax;
        const std::vector<uint8_t> figure = Bits(canvases.viewMeta[3]);
        // Typing, keystroke by keystroke, reaches neither the document nor
        // the figures: "120" would pass 12 on its way.
        form->txtNchi->clear();
        for (QChar ch : QString::fromUtf8(c.text))
            form->txtNchi->insert(QString(ch));
        EXPECT_EQ(doc.nGraphMax, before) << c.text;
        EXPECT_FALSE(form->IsChanged) << c.text;
        EXPECT_EQ(Bits(canvases.viewMeta[3]), figure) << c.text;

        EXPECT_EQ(form->txtNchi_LostFocus(), !c.refused) << c.text;
        EXPECT_EQ(form->txtNchi->text().toStdString(), c.shown) << c.text;
        EXPECT_EQ(doc.nGraphMax, c.max) << c.text;
        EXPECT_EQ(form->IsChanged, c.changed) << c.text;
        EXPECT_EQ(
            services.refusals,
            c.refused
                ? std::vector<std::string>{"「Ｎ値の上限値」には10～100の数値を入力してください"}
                : std::vector<std::string>{})
            << c.text;
        if (c.refused) {
            EXPECT_EQ(services.refusedBeside.back(), form->txtNchi) << c.text;
        }
    }
}

TEST_F(MainWindowTest, TheTwoFinesExclusionsExcludeEachOther) {
    Load(ExampleBoring());
    QCheckBox* fines = form->chkEkidata[2];
    QCheckBox* plastic = form->chkEkidata[3];
    fines->setChecked(true);
    EXPECT_FALSE(plastic->isEnabled());
    EXPECT_EQ(doc.calcConditions.excludeFines35, 1);
    fines->setChecked(false);
    EXPECT_TRUE(plastic->isEnabled());
    plastic->setChecked(true);
    EXPECT_FALSE(fines->isEnabled());
    EXPECT_EQ(doc.calcConditions.excludeFinesPlastic, 1);
    EXPECT_EQ(doc.calcConditions.excludeFines35, 0);
    EXPECT_TRUE(form->IsChanged);

    // A file with both switches on keeps both: the plastic one shows behind
    // the wider one, disabled, until that is cleared.
    Document both = ExampleBoring();
    both.calcConditions.excludeFines35 = 1;
    both.calcConditions.excludeFinesPlastic = 1;
    Load(both);
    EXPECT_EQ(doc.calcConditions.excludeFines35, 1);
    EXPECT_EQ(doc.calcConditions.excludeFinesPlastic, 1);
    EXPECT_TRUE(fines->isChecked());
    EXPECT_TRUE(fines->isEnabled());
    EXPECT_TRUE(plastic->isChecked());
    EXPECT_FALSE(plastic->isEnabled());
    fines->setChecked(false);
    EXPECT_EQ(doc.calcConditions.excludeFines35, 0);
    EXPECT_EQ(doc.calcConditions.excludeFinesPlastic, 1);
    EXPECT_TRUE(plastic->isEnabled());
    EXPECT_FALSE(fines->isEnabled());
    // The plastic one alone leaves the wider one disabled on showing.
    Document plasticOnly = ExampleBoring();
    plasticOnly.calcConditions.excludeFinesPlastic = 1;
    Load(plasticOnly);
    EXPECT_FALSE(fines->isEnabled());
    EXPECT_TRUE(plastic->isEnabled());
    Load(ExampleBoring());
    EXPECT_TRUE(fines->isEnabled());
    EXPECT_TRUE(plastic->isEnabled());
}

TEST_F(MainWindowTest, FcOnTheNValueRowsDisablesTheLayersFcAndShowsItsColumnOnTheDataTab) {
    Load(ExampleBoring());
    ASSERT_EQ(form->vaSpreadN->MaxCols(), 2);
    form->tabNchi->setCurrentIndex(1);
    form->chkNchi[1]->setChecked(true);
    EXPECT_EQ(doc.fcInputMode, 1);
    EXPECT_FALSE(form->chkSodata[2]->isEnabled());
    EXPECT_TRUE(form->NGridOutdated);
    EXPECT_EQ(form->vaSpreadN->MaxCols(), 2);
    form->tabNchi->setCurrentIndex(0);
    EXPECT_EQ(form->vaSpreadN->MaxCols(), 3);
    EXPECT_EQ(form->vaSpreadN->Text(3, 0).toStdString(), "FC (%)");
    EXPECT_FALSE(form->NGridOutdated);
    // The soil grid lost its FC column (the example shows symbol, γ, FC, CC, Ip).
    EXPECT_EQ(form->vaSpreadS->MaxCols(), 3 + 4);
}

TEST_F(MainWindowTest, SoilColumnSwitchesRebuildTheSoilGridWhenItsDataTabIsShown) {
    Load(ExampleBoring());
    EXPECT_EQ(form->vaSpreadS->MaxCols(), 3 + 5);
    form->tabSoData->setCurrentIndex(1);
    form->chkSodata[6]->setChecked(true);  // Poisson's ratio
    EXPECT_EQ(doc.layerColumnUsed[6], 1);
    EXPECT_TRUE(form->SoilGridOutdated);
    form->tabSoData->setCurrentIndex(0);
    EXPECT_EQ(form->vaSpreadS->MaxCols(), 3 + 6);
    EXPECT_EQ(form->vaSpreadS->Text(9, 0).toStdString(), "ν");
    // The result grid shows CC and Ip only while their switches are on.
    EXPECT_FALSE(form->vaSpreadE->isColumnHidden(3));
    form->chkSodata[3]->setChecked(false);
    EXPECT_TRUE(form->vaSpreadE->isColumnHidden(3));
}

// ---------------------------------------------------------------------------
// Grid binding and the edit chain

TEST_F(MainWindowTest, GridsShowTheDocumentAndTheResults) {
    Load(ExampleBoring());
    SpreadGrid* n = form->vaSpreadN;
    EXPECT_EQ(n->Text(1, 1).toStdString(), "1.15");
    EXPECT_EQ(n->Text(2, 20).toStdString(), "50");
    EXPECT_EQ(n->Text(1, 21).toStdString(), "");
    SpreadGrid* s = form->vaSpreadS;
    EXPECT_EQ(s->Text(1, 1).toStdString(), "1.60");
    EXPECT_EQ(s->Text(1, 6).toStdString(), "20.00");
    EXPECT_EQ(s->Text(3, 2).toStdString(), "シルト質細砂");
    EXPECT_EQ(s->Text(4, 2).toStdString(), "7.01");  // soil code 701 as primary.modifier
    EXPECT_EQ(s->Text(1, 7).toStdString(), "");

    int k = ActivePoints(doc);
    ASSERT_GT(k, 0);
    SpreadGrid* e = form->vaSpreadE;
    EXPECT_TRUE(e->isVisibleTo(form->picShow[2]));
    EXPECT_EQ(e->MaxRows(), k + 1);
    EXPECT_EQ(e->Text(0, k + 1).toStdString(), "∑");
    EXPECT_EQ(e->Text(1, k + 1).toStdString(), "");
    EXPECT_EQ(e->Text(18, k + 1).toStdString(), "");
    EXPECT_FALSE(e->Text(20, k + 1).isEmpty());
    EXPECT_EQ(e->Text(0, 1).toStdString(), "1");

    std::vector<std::string> lines;
    for (const QString& line : form->txtKihon->toPlainText().split(u'\n'))
        lines.push_back(line.toStdString());
    EXPECT_EQ(lines, (std::vector<std::string>{"（仮称）港南三丁目共同住宅新築工事 地盤調査",
                                               "港南三丁目 No.1", "東京都港区港南三丁目",
                                               "2024/05/13～2024/05/15", "基点位置\t0.00m",
                                               "地下水位\t1.80m", "洪積層\t16.00m"}));
}

TEST_F(MainWindowTest, ResultGridListsTheActivePointsInTheirFormatsAndATotalsRow) {
    Load(ExampleBoring());
    const double n[5] = {5, 0, 10, 0, 20};
    doc.calcPoints.assign(5, CalcPoint{});
    doc.calcResults.assign(5, CalcResult{});
    for (size_t i = 0; i < 5; ++i) {
        doc.calcPoints[i].Depth = 1.0 + static_cast<double>(i);
        doc.calcPoints[i].N = n[i];
        doc.calcPoints[i].SigmaZ = 18.26;
        CalcResult& r = doc.calcResults[i];
        r.tauDRatio = 0.12345;
        r.fl = 1.234;
        r.deltaNf = i == 0 ? 0 : 3.6;
        r.beta = i == 0 ? 0 : 0.5;
        r.dcyShare = 0.25;
        r.plShare = 1.5;
    }
    doc.calcResults[4].DcyTotal = 4.321;
    doc.calcResults[4].PLTotal = 7.89;
    form->ShowResult();

    SpreadGrid* e = form->vaSpreadE;
    ASSERT_EQ(e->MaxRows(), 4);
    auto text = [e](int col, int row) { return e->Text(col, row).toStdString(); };
    EXPECT_EQ(text(1, 1), "1.00");
    EXPECT_EQ(text(1, 2), "3.00");
    EXPECT_EQ(text(1, 3), "5.00");
    EXPECT_EQ(text(2, 3), "20");
    EXPECT_EQ(text(6, 1), "18.3");
    EXPECT_EQ(text(11, 1), "0.123");
    EXPECT_EQ(text(18, 1), "1.23");
    // A zero shows blank, except in the ΔNf and β columns.
    EXPECT_EQ(text(3, 1), "");
    EXPECT_EQ(text(14, 1), "0.00");
    EXPECT_EQ(text(21, 1), "0.000");
    EXPECT_EQ(text(21, 2), "0.500");
    // The totals row: the sums of the last point's record, nothing else.
    EXPECT_EQ(text(0, 4), "∑");
    EXPECT_EQ(text(19, 4), "4.32");
    EXPECT_EQ(text(20, 4), "7.89");
    for (int c : {1, 2, 6, 14, 18, 21})
        EXPECT_EQ(text(c, 4), "") << c;
}

TEST_F(MainWindowTest, NoActivePointHidesTheResultGridAndKeepsItsRows) {
    Load(ExampleBoring());
    int rows = form->vaSpreadE->MaxRows();
    doc.calcPoints.assign(3, CalcPoint{});
    doc.calcResults.assign(3, CalcResult{});
    form->ShowResult();
    EXPECT_FALSE(form->vaSpreadE->isVisibleTo(form->picShow[2]));
    EXPECT_EQ(form->vaSpreadE->MaxRows(), rows);
}

TEST_F(MainWindowTest, LeavingAnNValueCellRunsTheEditChain) {
    Load(ExampleBoring());
    auto frameBefore = Bits(canvases.viewMeta[3]);
    double flBefore = doc.calcResults.at(9).fl;
    form->vaSpreadN->SetText(2, 10, QStringLiteral("30"));
    form->vaSpreadN_LeaveCell(2, 10, 2, 11);
    EXPECT_DOUBLE_EQ(doc.nPoints[9].N, 30);
    EXPECT_TRUE(form->IsChanged);
    EXPECT_NE(doc.calcResults.at(9).fl, flBefore);
    EXPECT_NE(Bits(canvases.viewMeta[3]), frameBefore);
    // The result grid shows the new N of that point.
    int k = ActivePoints(doc);
    bool found = false;
    for (int r = 1; r <= k; ++r)
        found = found || (form->vaSpreadE->Text(1, r) == QStringLiteral("10.15") &&
                          form->vaSpreadE->Text(2, r) == QStringLiteral("30"));
    EXPECT_TRUE(found);
}

TEST_F(MainWindowTest, AnEmptyDepthCellGetsADefaultWhenLeftToTheRight) {
    Load(ExampleBoring());
    form->vaSpreadN_LeaveCell(1, 21, 2, 21);
    EXPECT_EQ(form->vaSpreadN->Text(1, 21).toStdString(), "21.15");
    ASSERT_EQ(doc.nPoints.size(), 21u);
    EXPECT_DOUBLE_EQ(doc.nPoints[20].Depth, 21.15);
    // Only the row just below the data gets one.
    form->vaSpreadN_LeaveCell(1, 25, 2, 25);
    EXPECT_EQ(form->vaSpreadN->Text(1, 25).toStdString(), "");

    Load(Document{});
    form->vaSpreadN_LeaveCell(1, 1, 2, 1);
    EXPECT_EQ(form->vaSpreadN->Text(1, 1).toStdString(), "0.00");
}

TEST_F(MainWindowTest, InvalidInputIsRefusedAndTheDocumentKeepsItsValue) {
    Load(ExampleBoring());
    form->IsChanged = false;
    form->vaSpreadN->SetText(2, 3, QStringLiteral("abc"));
    form->vaSpreadN_LeaveCell(2, 3, 2, 4);
    EXPECT_EQ(services.beeps, 1);
    EXPECT_DOUBLE_EQ(doc.nPoints[2].N, 6);
    EXPECT_FALSE(form->IsChanged);
}

TEST_F(MainWindowTest, ThicknessEditsRewriteTheDepthColumnAndTheDepthColumnIsSkipped) {
    Load(ExampleBoring());
    form->vaSpreadS->SetText(2, 1, QStringLiteral("2.6"));
    form->vaSpreadS_LeaveCell(2, 1, 1, 2);
    EXPECT_DOUBLE_EQ(doc.layers[0].Thickness, 2.6);
    EXPECT_EQ(form->vaSpreadS->Text(1, 1).toStdString(), "2.60");
    EXPECT_EQ(form->vaSpreadS->Text(1, 6).toStdString(), "21.00");
    EXPECT_EQ(form->vaSpreadS->ActiveCol(), 2);
    EXPECT_EQ(form->vaSpreadS->ActiveRow(), 2);
    EXPECT_TRUE(form->IsChanged);
}

TEST_F(MainWindowTest, DepthColumnSkipsLayersWithoutThickness) {
    Document d;
    NewDocument(d);
    d.layers.resize(3);
    d.layers[0].Thickness = 2.0;
    d.layers[2].Thickness = 1.5;
    Load(d);
    EXPECT_EQ(form->vaSpreadS->Text(1, 1).toStdString(), "2.00");
    EXPECT_EQ(form->vaSpreadS->Text(1, 2).toStdString(), "");
    EXPECT_EQ(form->vaSpreadS->Text(1, 3).toStdString(), "3.50");
}

TEST_F(MainWindowTest, ReadingAllRowsDropsTrailingBlanksAndKeepsInnerOnes) {
    Load(ExampleBoring());
    clsSpreadIn& bind = form->SpreadInN();
    bind.iFG(20, 0);
    bind.iFG(19, 0);
    bind.iFG(5, 0);
    form->GetNchiData(0);
    ASSERT_EQ(doc.nPoints.size(), 18u);
    EXPECT_EQ(doc.nPoints[4], (NPoint{-1, 0, 30, 0}));
    EXPECT_DOUBLE_EQ(doc.nPoints[17].Depth, 18.15);
}

TEST_F(MainWindowTest, AGridLongerThanItsDesignHoldsEveryRowOfALongBoring) {
    Document deep = ExampleBoring();
    deep.nPoints.clear();
    for (int i = 0; i < 700; ++i)
        deep.nPoints.push_back(NPoint{0.5 + 0.5 * i, 10, 30, 0});
    Load(deep);
    form->GetNchiData(0);
    EXPECT_EQ(doc.nPoints.size(), 700u);
}

// ---------------------------------------------------------------------------
// Soil-name assistant

TEST_F(MainWindowTest, SoilNameAssistantComposesNameCodeAndDefaults) {
    settings.subSoilNames[0].FC = 10;  // シルト質
    settings.mainSoilNames[7].FC = 5;  // 細砂
    settings.mainSoilNames[7].gamma = 18;
    form->SetSoilDefList();
    Document d = ExampleBoring();
    d.layers[1].gamma = 19;  // typed by the user: kept
    d.layers[1].FC = 0;      // not given: takes the default
    d.layers[1].SoilName = "砂";
    Load(d);

    form->vaSpreadS->SetActiveCell(3, 2);
    form->lstSoilDef[0]->setCurrentRow(1);  // シルト質
    form->lstSoilDef[1]->setCurrentRow(7);  // 細砂
    form->cmdSoilNameCopy_Click();
    const LayerRecord& layer = doc.layers[1];
    EXPECT_EQ(layer.SoilName, "シルト質細砂");
    EXPECT_EQ(layer.SoilCode, 701);
    EXPECT_DOUBLE_EQ(layer.gamma, 19);
    EXPECT_DOUBLE_EQ(layer.FC, -15);
    EXPECT_DOUBLE_EQ(layer.Thickness, 3.4);
    EXPECT_EQ(form->vaSpreadS->Text(3, 2).toStdString(), "シルト質細砂");
    EXPECT_TRUE(form->IsChanged);

    // "（なし）" with 礫 on the row just below the last layer adds a layer.
    form->vaSpreadS->SetActiveCell(3, 7);
    form->lstSoilDef[0]->setCurrentRow(0);
    form->lstSoilDef[1]->setCurrentRow(11);
    form->cmdSoilNameCopy_Click();
    ASSERT_EQ(doc.layers.size(), 7u);
    EXPECT_EQ(doc.layers[6].SoilName, "礫");
    EXPECT_EQ(doc.layers[6].SoilCode, 900);
    EXPECT_DOUBLE_EQ(doc.layers[6].Thickness, 0);

    // Two or more rows below: nothing.
    form->vaSpreadS->SetActiveCell(3, 10);
    form->cmdSoilNameCopy_Click();
    EXPECT_EQ(doc.layers.size(), 7u);

    // No main name chosen: nothing.
    form->lstSoilDef[1]->setCurrentRow(-1);
    form->vaSpreadS->SetActiveCell(3, 1);
    form->cmdSoilNameCopy_Click();
    EXPECT_EQ(doc.layers[0].SoilName, "埋め土");
}

TEST_F(MainWindowTest, SoilNameOnTheRowBelowTheLayersShowsAndStaysWhenTheThicknessIsTyped) {
    Load(ExampleBoring());
    form->vaSpreadS->SetActiveCell(3, 7);
    form->lstSoilDef[0]->setCurrentRow(0);   // （なし）
    form->lstSoilDef[1]->setCurrentRow(11);  // 礫
    form->cmdSoilNameCopy_Click();
    ASSERT_EQ(doc.layers.size(), 7u);
    EXPECT_EQ(form->vaSpreadS->Text(3, 7).toStdString(), "礫");
    EXPECT_EQ(form->vaSpreadS->Text(4, 7).toStdString(), "9.00");
    EXPECT_EQ(form->vaSpreadS->Text(2, 7).toStdString(), "");

    // An edit of another cell of the row, before any thickness, keeps both.
    form->vaSpreadS->SetText(5, 7, QStringLiteral("18"));
    form->vaSpreadS_LeaveCell(5, 7, 6, 7);
    EXPECT_EQ(form->vaSpreadS->Text(3, 7).toStdString(), "礫");
    EXPECT_EQ(form->vaSpreadS->Text(4, 7).toStdString(), "9.00");
    EXPECT_EQ(form->vaSpreadS->Text(5, 7).toStdString(), "18.0");
    EXPECT_EQ(doc.layers[6].SoilName, "礫");
    EXPECT_DOUBLE_EQ(doc.layers[6].gamma, 18);

    form->vaSpreadS->SetText(2, 7, QStringLiteral("2"));
    form->vaSpreadS_LeaveCell(2, 7, 3, 7);
    EXPECT_DOUBLE_EQ(doc.layers[6].Thickness, 2);
    EXPECT_EQ(doc.layers[6].SoilName, "礫");
    EXPECT_EQ(doc.layers[6].SoilCode, 900);
    EXPECT_EQ(form->vaSpreadS->Text(1, 7).toStdString(), "22.00");
}

TEST_F(MainWindowTest, SoilNameAssistantNeverStoresANegativeZero) {
    Load(ExampleBoring());
    form->vaSpreadS->SetActiveCell(3, 7);
    form->lstSoilDef[0]->setCurrentRow(1);  // シルト質, all constants 0
    form->lstSoilDef[1]->setCurrentRow(7);  // 細砂
    form->cmdSoilNameCopy_Click();
    ASSERT_EQ(doc.layers.size(), 7u);
    for (int item = 1; item <= kSoilConstantCount; ++item) {
        EXPECT_EQ(doc.layers[6].Constant(item), 0) << item;
        EXPECT_FALSE(std::signbit(doc.layers[6].Constant(item))) << item;
    }
    const std::string file = ProjectFileBytes(doc);
    for (size_t at = file.find("-0"); at != std::string::npos; at = file.find("-0", at + 1)) {
        const bool fieldStart = at == 0 || file[at - 1] == ',' || file[at - 1] == '\n';
        const bool fieldEnd = at + 2 == file.size() || file[at + 2] == ',' || file[at + 2] == '\r';
        EXPECT_FALSE(fieldStart && fieldEnd) << "a negative zero at byte " << at;
    }
}

TEST_F(MainWindowTest, SoilNameAssistantTakesOnlySelectedEntries) {
    Load(ExampleBoring());
    form->vaSpreadS->SetActiveCell(3, 1);
    QListWidget* mainList = form->lstSoilDef[1];
    // An entry made current without being selected, as the keyboard focus
    // does, is no choice.
    mainList->setCurrentRow(11);
    mainList->clearSelection();
    ASSERT_EQ(mainList->currentRow(), 11);
    form->cmdSoilNameCopy_Click();
    EXPECT_EQ(doc.layers[0].SoilName, "埋め土");

    // The selected entry counts, wherever the current one stands.
    mainList->setCurrentRow(11);
    mainList->selectionModel()->setCurrentIndex(mainList->model()->index(0, 0),
                                                QItemSelectionModel::NoUpdate);
    form->lstSoilDef[0]->clearSelection();
    form->cmdSoilNameCopy_Click();
    EXPECT_EQ(doc.layers[0].SoilName, "礫");
}

// ---------------------------------------------------------------------------
// Figure pane

TEST_F(MainWindowTest, FigureTabsSwitchPagesAndRecalculate) {
    Load(ExampleBoring());
    ShowWindow();
    doc.calcPoints.clear();
    form->tabShow->setCurrentIndex(2);
    EXPECT_FALSE(form->picShow[0]->isVisible());
    EXPECT_TRUE(form->picShow[2]->isVisible());
    EXPECT_FALSE(doc.calcPoints.empty());
    form->tabShow->setCurrentIndex(1);
    EXPECT_TRUE(form->picShow[1]->isVisible());
    EXPECT_EQ(form->HelpContextID, 20);
    form->tabShow->setCurrentIndex(0);
    EXPECT_TRUE(form->picShow[0]->isVisible());
    EXPECT_EQ(form->HelpContextID, 100);
}

TEST_F(MainWindowTest, ScrollBarSpansTheSheetBelowThePane) {
    Load(ExampleBoring());
    ShowWindow();
    const clsStrMeta& sheet = canvases.viewMeta[1];
    ASSERT_GT(sheet.lXM, 0);
    QScrollBar* bar = form->VScrollShow;
    int left = form->picShow[0]->width() - bar->width();
    int page = static_cast<int>(std::nearbyint(double(bar->height()) * sheet.lXM / left));
    ASSERT_LT(page, sheet.lYM);  // the sheet is taller than the pane
    EXPECT_EQ(bar->pageStep(), page);
    EXPECT_EQ(bar->maximum(), sheet.lYM - page);
    EXPECT_EQ(bar->x() + bar->width(), form->picShow[0]->width());

    // A pane taller than the sheet shows it whole: no scrolling.
    form->resize(form->width(), form->height() + 2000);
    QApplication::processEvents();
    EXPECT_EQ(bar->maximum(), 0);
}

TEST_F(MainWindowTest, ScreenshotOfTheExampleBoring) {
    Load(ExampleBoring());
    ShowWindow();
    QApplication::processEvents();
    QImage shot = form->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    shot.save(QStringLiteral(QM_TEST_OUTPUT_DIR "/main_window.png"));
    // The figure pane is not blank: the replayed sheet put dark pixels on it.
    QImage pane = form->picShow[0]->grab().toImage();
    int dark = 0;
    for (int y = 0; y < pane.height(); y += 2)
        for (int x = 0; x < pane.width(); x += 2)
            dark += qGray(pane.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 50);

    // The condition and result pages, for people to look at.
    form->tabShow->setCurrentIndex(1);
    form->grab().save(QStringLiteral(QM_TEST_OUTPUT_DIR "/main_window_conditions.png"));
    form->tabShow->setCurrentIndex(2);
    form->grab().save(QStringLiteral(QM_TEST_OUTPUT_DIR "/main_window_results.png"));
}
