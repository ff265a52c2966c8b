#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/soil_names.h"
#include "sheets/sheet_context.h"
#include "support/qt_application.h"
#include "ui/main_window/frmMain.h"
#include "ui/platform/fake_platform_services.h"

// A cleared folder of the running test's own under the test output, and a
// new document with the default settings that save into it.
inline std::filesystem::path PrepareTestFolder(const std::string& suite, Settings& settings,
                                               Document& doc) {
    namespace fs = std::filesystem;
    fs::path folder = fs::path(QM_TEST_OUTPUT_DIR) / suite /
                      ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
    SetDefaultSoilNames(settings);
    settings.defaultDataFolder = folder.string();
    NewDocument(doc);
    doc.currentFolder = folder.string();
    return folder;
}

// A main window over a document of the test's own, with scripted platform
// services; dialogs are never shown (RunModal answers at once).
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        NewDocument(doc);
        SetDefaultSoilNames(settings);
        form = std::make_unique<frmMain>(doc, settings, canvases, services);
        form->RunModal = [this](QDialog&) {
            ++modalDialogs;
            return 0;
        };
    }

    // Puts a boring into the document and refreshes the window as start-up does.
    void Load(const Document& boring) {
        std::string folder = doc.currentFolder;
        doc = boring;
        doc.currentFolder = folder;
        form->FormLoad();
    }

    void ShowWindow() {
        form->show();
        QApplication::processEvents();
    }

    Document doc;
    Settings settings;
    SheetCanvases canvases;
    FakePlatformServices services;
    std::unique_ptr<frmMain> form;
    int modalDialogs = 0;
};
