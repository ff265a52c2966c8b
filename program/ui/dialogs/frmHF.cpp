#include "ui/dialogs/frmHF.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

#include "ui/dialogs/dialog_support.h"
#include "ui/platform/modal_dialog_frame.h"
#include "ui/platform/platform_services.h"
#include "ui/widgets/text_entry_guard.h"

namespace {

const char* const kKindNames[frmHF::kKindCount] = {"ﾍﾟｰｼﾞ", "ﾌｧｲﾙ名", "日付",
                                                   "時刻",  "ﾃﾞｰﾀ",   "ｼｽﾃﾑ"};

const std::vector<const char*> kItemNames[frmHF::kKindCount] = {
    {"ﾍﾟｰｼﾞ番号"},
    {"ﾃﾞｨﾚｸﾄﾘ(大文字)", "ﾃﾞｨﾚｸﾄﾘ(小文字)", "ﾌｧｲﾙ名(大文字)", "ﾌｧｲﾙ名(小文字)"},
    {"日付 1", "日付 2", "日付 3", "日付 4"},
    {"時刻 1", "時刻 2", "時刻 3"},
    {"ﾀｲﾄﾙ", "ｻﾌﾞﾀｲﾄﾙ"},
    {"ﾌﾟﾛｸﾞﾗﾑ名とﾊﾞｰｼﾞｮﾝ", "ﾌﾟﾛｸﾞﾗﾑの内容", "ﾕｰｻﾞｰID", "会社名", "氏名"},
};

}  // namespace

frmHF::frmHF(const HeaderFooterCodeTable& codes, ExampleFunction example,
             PlatformServices& services, QWidget* parent)
    : QDialog(parent), codes_(codes), example_(std::move(example)), services_(services) {
    setObjectName("frmHF");
    setWindowTitle(QStringLiteral("ﾍｯﾀﾞ/ﾌｯﾀ ﾌﾞﾗｳｻﾞ"));
    UseModalDialogFrame(*this);

    lblType = new QLabel(QStringLiteral("種類(&K):"), this);
    lblType->setObjectName("lblType");
    lstShow[0] = new QListWidget(this);
    lstShow[0]->setObjectName("lstShow(0)");
    lblType->setBuddy(lstShow[0]);
    lblKoumoku = new QLabel(QStringLiteral("選択(&S)"), this);
    lblKoumoku->setObjectName("lblKoumoku");
    lstShow[1] = new QListWidget(this);
    lstShow[1]->setObjectName("lstShow(1)");
    lblKoumoku->setBuddy(lstShow[1]);
    lblRei = new QLabel(this);
    lblRei->setObjectName("lblRei");
    lblRei->setFrameShape(QFrame::Panel);
    lblRei->setFrameShadow(QFrame::Sunken);
    // Titles and paths are shown as typed, never as markup.
    lblRei->setTextFormat(Qt::PlainText);
    lblTeigata = new QLabel(QStringLiteral("定義文（&W)："), this);
    lblTeigata->setObjectName("lblTeigata");
    txtKata = new QLineEdit(this);
    txtKata->setObjectName("txtKata");
    // The definition becomes part of a header or footer of the settings file.
    GuardTextEntry(*txtKata, services_);
    lblTeigata->setBuddy(txtKata);
    cmdcopy = new QPushButton(QStringLiteral("コピー"), this);
    cmdcopy->setObjectName("cmdcopy");
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName("cmdOk");
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdhelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    cmdhelp->setObjectName("cmdhelp");
    // Enter confirms the dialog rather than pressing "コピー".
    cmdOk->setDefault(true);

    auto* lists = new QGridLayout;
    lists->addWidget(lblType, 0, 0);
    lists->addWidget(lstShow[0], 1, 0);
    lists->addWidget(lblKoumoku, 0, 1);
    lists->addWidget(lstShow[1], 1, 1);
    lists->addWidget(lblRei, 2, 0, 1, 2);
    auto* definition = new QHBoxLayout;
    definition->addWidget(lblTeigata);
    definition->addWidget(txtKata, 1);
    definition->addWidget(cmdcopy);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdhelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(definition);
    layout->addLayout(buttons);

    // The focus goes from the kinds to the items, the definition text, its
    // copy button and the dialog's buttons.
    QWidget::setTabOrder(lstShow[0], lstShow[1]);
    QWidget::setTabOrder(lstShow[1], txtKata);
    QWidget::setTabOrder(txtKata, cmdcopy);
    QWidget::setTabOrder(cmdcopy, cmdOk);

    for (const char* kind : kKindNames)
        lstShow[0]->addItem(QString::fromUtf8(kind));
    // A click in either list; keyboard moves in the lists count as clicks too.
    connect(lstShow[0], &QListWidget::currentRowChanged, this, [this] { SelectKind(); });
    connect(lstShow[1], &QListWidget::currentRowChanged, this, [this] { ShowExample(); });
    // A click on the entry already selected refills (kinds) or refreshes the
    // example (items) all the same.
    connect(lstShow[0], &QListWidget::itemClicked, this, [this] { SelectKind(); });
    connect(lstShow[1], &QListWidget::itemClicked, this, [this] { ShowExample(); });
    connect(cmdcopy, &QPushButton::clicked, this, &frmHF::cmdcopy_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmHF::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmHF::cmdCancel_Click);
    connect(cmdhelp, &QPushButton::clicked, this, &frmHF::cmdhelp_Click);

    lstShow[0]->setCurrentRow(0);
}

int frmHF::SelectedRow(int list) const {
    QListWidget* widget = lstShow[list];
    for (int row = 0; row < widget->count(); ++row) {
        if (widget->item(row)->isSelected())
            return row;
    }
    return -1;
}

void frmHF::SelectKind() {
    int kind = SelectedRow(0);
    {
        QSignalBlocker quiet(lstShow[1]);
        lstShow[1]->clear();
        if (kind >= 0) {
            const std::vector<const char*>& names = kItemNames[kind];
            for (std::size_t item = 0; item < names.size(); ++item) {
                std::string code = item < codes_[kind].size() ? codes_[kind][item] : std::string();
                lstShow[1]->addItem(ToQ(code) + ':' + QString::fromUtf8(names[item]));
            }
            lstShow[1]->setCurrentRow(0);
        }
    }
    ShowExample();
}

void frmHF::ShowExample() {
    int kind = SelectedRow(0);
    int item = SelectedRow(1);
    lblRei->setText(kind >= 0 && item >= 0 ? ToQ(example_(kind, item)) : QString());
}

void frmHF::cmdcopy_Click() {
    int kind = SelectedRow(0);
    int item = SelectedRow(1);
    if (kind < 0 || item < 0 || static_cast<std::size_t>(item) >= codes_[kind].size())
        return;
    txtKata->setText(txtKata->text() + ToQ(codes_[kind][item]));
}

void frmHF::cmdOk_Click() {
    tag_ = kTagOK;
    accept();
}

void frmHF::cmdCancel_Click() {
    reject();
}

void frmHF::cmdhelp_Click() {
    services_.OpenHelp(HelpPagePath("header_footer_codes.htm"));
}
