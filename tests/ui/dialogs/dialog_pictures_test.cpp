#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTabBar>

#include <filesystem>
#include <memory>

#include "core/soil_names.h"
#include "output/clsPrinter.h"
#include "output/fake_printer.h"
#include "sheets/sample_boring.h"
#include "support/recording_sinks.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/dialogs/fdlgVersion.h"
#include "ui/dialogs/frmHF.h"
#include "ui/dialogs/frmKihon.h"
#include "ui/dialogs/frmOption.h"
#include "ui/dialogs/frmPreview.h"
#include "ui/dialogs/frmPreviewSet.h"
#include "ui/dialogs/frmSNDef.h"
#include "ui/dialogs/frmYohaku.h"

namespace {

// Writes a picture of every dialog into test-output/dialogs/ for people to
// look at; the test only checks that each picture was written.
TEST(DialogPictures, EveryDialogIsWrittenAsAPicture) {
    EnsureQtApplication();
    const QString folder = QStringLiteral(QM_TEST_OUTPUT_DIR "/dialogs");
    ASSERT_TRUE(QDir().mkpath(folder));

    Document doc;
    NewDocument(doc);
    doc.basicData.ProjectName = "市道改良工事";
    doc.layerColumnUsed = {1, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    doc.prevPrintItems[0] = 1;
    Settings settings;
    settings.headerFooterCodes = HeaderFooterCodes();
    FakePlatformServices services;
    FakePrintSystem printSystem;
    RecordingMessageSink printerMessages;
    clsPrinter printer(printSystem, printerMessages);
    ProgramInfo program = CurrentProgramInfo();

    auto save = [&](QWidget& dialog, const char* name) {
        dialog.show();
        QString path = folder + '/' + QString::fromUtf8(name) + ".png";
        EXPECT_TRUE(dialog.grab().save(path)) << name;
        dialog.hide();
    };

    frmPreviewSet printItems(doc, services);
    save(printItems, "frmPreviewSet");
    frmYohaku pageSetup(
        settings, doc, program, [&]() -> clsPrinter& { return printer; }, services);
    save(pageSetup, "frmYohaku_margins");
    pageSetup.TabShow->setCurrentIndex(1);
    save(pageSetup, "frmYohaku_header_footer");
    frmHF chooser(
        HeaderFooterCodes(), [](int, int) { return std::string("ppct"); }, services);
    save(chooser, "frmHF");
    frmKihon basicData(doc, services);
    basicData.SetDialogForm();
    save(basicData, "frmKihon");
    frmOption options(settings, doc, services);
    save(options, "frmOption");
    fdlgVersion version(program);
    save(version, "fdlgVersion");

    Settings soilNames;
    SetDefaultSoilNames(soilNames);
    frmSNDef soilNameDialog(soilNames, services);
    soilNameDialog.SetDialogForm();
    save(soilNameDialog, "frmSNDef");

    // The preview of a boring with results, whole and zoomed in twice.
    printSystem.device.dpi = 600;
    printSystem.device.horzRes = 4760;
    printSystem.device.vertRes = 6814;
    clsPrinter portrait(printSystem, printerMessages);
    Document boring = SampleBoring();
    SheetCanvases canvases;
    frmPreview preview(
        boring, settings, canvases, program, [&]() -> clsPrinter& { return portrait; }, services,
        boring.prevPrintItems);
    save(preview, "frmPreview_page1");
    preview.cmdNextpage_Click();
    save(preview, "frmPreview_page2");
    preview.show();
    preview.cmdScaleup_Click();
    preview.cmdScaleup_Click();
    save(preview, "frmPreview_page2_zoom4");
}

}  // namespace
