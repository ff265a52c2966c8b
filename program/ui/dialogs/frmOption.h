#pragma once

#include <QDialog>

#include "core/document.h"
#include "core/settings.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class PlatformServices;
class TextEntryGuard;

// The options dialog "動作設定": colour printing and the folder first offered
// when data are opened. It reads the settings when it is made and writes
// colorPrint and defaultDataFolder (and, for a document without a file yet,
// its current folder) only on OK. The caller shows it with exec(), which gives
// QDialog::Accepted after OK.
class frmOption : public QDialog {
    Q_OBJECT

  public:
    frmOption(Settings& settings, Document& doc, PlatformServices& services,
              QWidget* parent = nullptr);

    QCheckBox* Check1 = nullptr;
    QGroupBox* fraFolder = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdRef = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

  public slots:
    void cmdRef_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

  private:
    void EnableOk();
    void MakeSureFolderExists(const std::string& folder);

    Settings& settings_;
    Document& doc_;
    PlatformServices& services_;
    TextEntryGuard* folderGuard_ = nullptr;
};
