#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/soil_names.h"
#include "sheets/sheet_context.h"
#include "support/qt_application.h"
#include "ui/main_window/frmMain.h"
#include "ui/platform/fake_platform_services.h"

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
