#include "ui/dialogs/frmKihon.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/date_input.h"
#include "core/format.h"
#include "core/number_text.h"
#include "core/text_number.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/platform/modal_dialog_frame.h"
#include "ui/platform/platform_services.h"
#include "ui/widgets/text_entry_guard.h"

namespace {

constexpr const char* kDatePattern = "yyyy/mm/dd";
constexpr const char* kLevelPattern = "###0.00#";

// Label1(i) is the label of the box kLabelBox[i].
constexpr int kLabelBox[frmKihon::kBoxCount] = {0, 2, 3, 5, 6, 7, 4, 1};
const char* const kLabelCaptions[frmKihon::kBoxCount] = {
    "工事名",
    "調査地",
    "調査年月日",
    "基点- 設計ＧＬ(m)   基点がＧＬより上のとき＋",
    "基点- 孔内水位レベル(m)",
    "基点- 洪積層始点(m)",
    "～",
    "略称",
};

bool IsLevelBox(int box) {
    return box >= 5;
}

// The number a level box starts with, full-width digits read like the grids
// read them; 0 when there is none.
double LevelNumber(const QString& text) {
    const std::string halfWidth = HalfWidthNumberText(ToStd(text));
    return LeadingNumber(std::string_view(halfWidth));
}

QString LevelText(const QString& text) {
    return ToQ(FormatNumber(LevelNumber(text), kLevelPattern));
}

// A text box that selects all its text whenever it receives the focus.
class SelectingLineEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        selectAll();
    }
};

}  // namespace

frmKihon::frmKihon(Document& doc, PlatformServices& services, QWidget* parent)
    : QDialog(parent), doc_(doc), services_(services) {
    setObjectName("frmKihon");
    setWindowTitle(QStringLiteral("Vekt/Quilmorn-基本データの編集"));
    UseModalDialogFrame(*this);

    for (int i = 0; i < kBoxCount; ++i) {
        Text1[i] = new SelectingLineEdit(this);
        Text1[i]->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        Text1[i]->installEventFilter(this);
        connect(Text1[i], &QLineEdit::textChanged, this, [this] { changed_ = true; });
    }
    // The three texts are text values of the project file.
    for (int i = 0; i < 3; ++i)
        GuardTextEntry(*Text1[i], services_, {.quotedValue = true});
    for (int i = 0; i < kBoxCount; ++i) {
        Label1[i] = new QLabel(QString::fromUtf8(kLabelCaptions[i]), this);
        Label1[i]->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        Label1[i]->setBuddy(Text1[kLabelBox[i]]);
    }
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName("cmdOk");
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    cmdHelp->setObjectName("cmdHelp");

    auto* grid = new QGridLayout;
    grid->addWidget(Label1[0], 0, 0);
    grid->addWidget(Text1[0], 0, 1, 1, 3);
    grid->addWidget(Label1[7], 1, 0);
    grid->addWidget(Text1[1], 1, 1, 1, 3);
    grid->addWidget(Label1[1], 2, 0);
    grid->addWidget(Text1[2], 2, 1, 1, 3);
    grid->addWidget(Label1[2], 3, 0);
    grid->addWidget(Text1[3], 3, 1);
    grid->addWidget(Label1[6], 3, 2);
    grid->addWidget(Text1[4], 3, 3);
    for (int box = 5; box < kBoxCount; ++box) {
        grid->addWidget(Label1[box - 2], box - 1, 0, 1, 3);
        grid->addWidget(Text1[box], box - 1, 3);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    // The boxes were made in their order, so Tab follows them to the buttons.

    connect(cmdOk, &QPushButton::clicked, this, &frmKihon::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmKihon::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmKihon::cmdHelp_Click);
}

void frmKihon::SetDialogForm() {
    for (int i = 0; i < kBoxCount; ++i)
        focusList_[i] = Text1[i];
    focusList_[kBoxCount] = cmdOk;

    const BasicData& data = doc_.basicData;
    Text1[0]->setText(ToQ(data.ProjectName));
    Text1[1]->setText(ToQ(data.ShortName));
    Text1[2]->setText(ToQ(data.Site));
    Text1[3]->setText(ToQ(FormatDate(data.SurveyFrom, kDatePattern)));
    Text1[4]->setText(ToQ(FormatDate(data.SurveyTo, kDatePattern)));
    Text1[5]->setText(ToQ(FormatNumber(data.DatumToGL, kLevelPattern)));
    Text1[6]->setText(ToQ(FormatNumber(data.DatumToWaterLevel, kLevelPattern)));
    Text1[7]->setText(ToQ(FormatNumber(data.DatumToDiluvium, kLevelPattern)));
    changed_ = false;
    tag_.clear();
}

int frmKihon::Save() {
    // Every box is read before anything is stored, so a refused date leaves
    // the basic data as they were and Cancel still undoes the whole edit.
    std::optional<Date> from = ReadDateInput(ToStd(Text1[3]->text()));
    std::optional<Date> to = ReadDateInput(ToStd(Text1[4]->text()));
    if (!from || !to) {
        services_.ShowMessage("年/月/日を正しく入力してください", MessageIcon::Exclamation,
                              kProgramTitle, MessageButtons::Ok);
        return 1;
    }
    BasicData& data = doc_.basicData;
    data.ProjectName = ToStd(Text1[0]->text());
    data.ShortName = ToStd(Text1[1]->text());
    data.Site = ToStd(Text1[2]->text());
    data.SurveyFrom = *from;
    data.SurveyTo = *to;
    data.DatumToGL = LevelNumber(Text1[5]->text());
    data.DatumToWaterLevel = LevelNumber(Text1[6]->text());
    data.DatumToDiluvium = LevelNumber(Text1[7]->text());
    tag_ = kTagChanged;
    return 0;
}

void frmKihon::Form_Activate() {
    if (!Text1[0]->text().isEmpty())
        cmdOk->setFocus(Qt::ActiveWindowFocusReason);
    else
        Text1[0]->setFocus(Qt::ActiveWindowFocusReason);
}

int frmKihon::BoxIndex(QObject* object) const {
    for (int i = 0; i < kBoxCount; ++i) {
        if (object == Text1[i])
            return i;
    }
    return -1;
}

void frmKihon::MoveFocus(QWidget* from, int step) {
    auto found = std::find(focusList_.begin(), focusList_.end(), from);
    // A control that is not in the list counts as the first.
    int index = found == focusList_.end() ? 0 : static_cast<int>(found - focusList_.begin());
    index = std::clamp(index + step, 0, kBoxCount);
    if (focusList_[index] != nullptr)
        focusList_[index]->setFocus(Qt::TabFocusReason);
}

bool frmKihon::event(QEvent* event) {
    // Only the activation that shows the dialog places the focus; coming back
    // from a message box or from another program leaves it where it was.
    if (event->type() == QEvent::Show)
        activationPending_ = true;
    if (event->type() == QEvent::WindowActivate && activationPending_) {
        activationPending_ = false;
        Form_Activate();
    }
    return QDialog::event(event);
}

bool frmKihon::eventFilter(QObject* watched, QEvent* event) {
    int box = BoxIndex(watched);
    if (box < 0)
        return QDialog::eventFilter(watched, event);
    // Switching to another window or opening the box's context menu is no
    // leaving of the box.
    Qt::FocusReason reason = event->type() == QEvent::FocusOut
                                 ? static_cast<QFocusEvent*>(event)->reason()
                                 : Qt::OtherFocusReason;
    if (event->type() == QEvent::FocusOut && IsLevelBox(box) &&
        reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        Text1[box]->setText(LevelText(Text1[box]->text()));
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Up:
                MoveFocus(Text1[box], -1);
                return true;
            case Qt::Key_Down:
            case Qt::Key_Return:
            case Qt::Key_Enter: {
                QString text = Text1[box]->text();
                // "=" in the short-name box copies the project name.
                if (box == 1 && (text == QStringLiteral("=") || text == QStringLiteral("＝")))
                    Text1[1]->setText(Text1[0]->text());
                else
                    MoveFocus(Text1[box], 1);
                return true;
            }
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmKihon::cmdOk_Click() {
    if (Save() == 0)
        accept();
}

void frmKihon::cmdCancel_Click() {
    reject();
}

void frmKihon::cmdHelp_Click() {
    services_.OpenHelp(HelpPagePath("basic_data.htm"));
}

void frmKihon::closeEvent(QCloseEvent* event) {
    if (CloseEditedDialog(*this, event, changed_, services_, [this] { return Save(); }))
        QDialog::closeEvent(event);
}
