#pragma once

#include <QDialog>
#include <QString>

#include <array>

#include "core/document.h"

class QLabel;
class QLineEdit;
class QPushButton;
class PlatformServices;

// The basic-data dialog: project name, short name, survey site, survey period
// and the three levels of the document's basic data. The caller makes it,
// calls SetDialogForm(), shows it with exec() and, when Tag() reads "Changed",
// refreshes what shows the basic data and recalculates.
class frmKihon : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kBoxCount = 8;

    frmKihon(Document& doc, PlatformServices& services, QWidget* parent = nullptr);

    // Fills the boxes from the basic data, clears the changed flag and the tag.
    void SetDialogForm();
    // "Changed" once every box has been stored into the basic data.
    const QString& Tag() const { return tag_; }
    bool IsChanged() const { return changed_; }

    // Stores the boxes into the basic data when both dates can be read (0);
    // otherwise says so and stores nothing.
    int Save();
    // What activating the dialog on showing it does: the focus to OK when the
    // project name is filled in, else into the project-name box.
    void Form_Activate();

    // Text1: 0 project name, 1 short name, 2 survey site, 3 and 4 the survey
    // period, 5 to 7 the levels below the base point (design ground level,
    // water level in the borehole, top of the diluvial layer).
    std::array<QLineEdit*, kBoxCount> Text1{};
    std::array<QLabel*, kBoxCount> Label1{};
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

  public slots:
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    int BoxIndex(QObject* object) const;
    void MoveFocus(QWidget* from, int step);

    Document& doc_;
    PlatformServices& services_;
    std::array<QWidget*, kBoxCount + 1> focusList_{};
    bool changed_ = false;
    bool activationPending_ = false;
    QString tag_;
};
