#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <string>

#include "core/settings.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class PlatformServices;

// The header/footer code chooser: the user picks a kind and an item, sees an
// example of what the item prints, appends the item's code to the definition
// text (txtKata) as often as wanted and confirms with OK, which sets the tag
// "OK". The page setup dialog puts txtKata's text in place of the selection of
// a template.
class frmHF : public QDialog {
    Q_OBJECT

  public:
    // The example text of kind and item (both counted from 0).
    using ExampleFunction = std::function<std::string(int kind, int item)>;

    static constexpr int kKindCount = 6;

    frmHF(const HeaderFooterCodeTable& codes, ExampleFunction example, PlatformServices& services,
          QWidget* parent = nullptr);

    const QString& Tag() const { return tag_; }

    QLabel* lblType = nullptr;
    QLabel* lblKoumoku = nullptr;
    QLabel* lblRei = nullptr;
    QLabel* lblTeigata = nullptr;
    std::array<QListWidget*, 2> lstShow{};  // 0 the kinds, 1 the items of the kind
    QLineEdit* txtKata = nullptr;
    QPushButton* cmdcopy = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdhelp = nullptr;

  public slots:
    void cmdcopy_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdhelp_Click();

  private:
    void SelectKind();
    void ShowExample();
    int SelectedRow(int list) const;

    HeaderFooterCodeTable codes_;
    ExampleFunction example_;
    PlatformServices& services_;
    QString tag_;
};
