#include "ui/dialogs/frmPreviewSet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/dialog_support.h"
#include "ui/platform/modal_dialog_frame.h"
#include "ui/platform/platform_services.h"

namespace {

const char* const kBoxCaptions[frmPreviewSet::kItemCount] = {
    "細粒分含有率（FC）",  "単位重量（γ）",           "粘土含有率(CC)",     "塑性指数（Ｉp）",
    "一軸圧縮強度（ｑu）", "ポアソン比（ν）",         "せん断波速度（Vs）", "粗密波速度（Vp）",
    "変形係数（Eo）",      "地盤反力係数低減率（β）", "圧縮係数（Cｃ）",    "圧密降伏応力(Pc）",
    "初期間隙比（eo）",    "ﾔﾝｸﾞ係数（Es）",
};

constexpr int kRowsPerColumn = 7;

}  // namespace

frmPreviewSet::frmPreviewSet(Document& doc, PlatformServices& services, QWidget* parent)
    : QDialog(parent), doc_(doc), services_(services) {
    setObjectName("frmPreviewSet");
    setWindowTitle(QStringLiteral("Vekt/Quilmorn-印刷項目の設定"));
    UseModalDialogFrame(*this);

    fraSodata = new QGroupBox(QStringLiteral("各土質項目"), this);
    fraSodata->setObjectName("fraSodata");
    auto* grid = new QGridLayout(fraSodata);
    for (int i = 0; i < kItemCount; ++i) {
        chkSodata[i] = new QCheckBox(QString::fromUtf8(kBoxCaptions[i]), fraSodata);
        chkSodata[i]->setObjectName(QStringLiteral("chkSodata(%1)").arg(i));
        grid->addWidget(chkSodata[i], i % kRowsPerColumn, i / kRowsPerColumn);
        // Like the boxes' click, this runs for changes made by the program too.
        connect(chkSodata[i], &QCheckBox::toggled, this, [this, i] { chkSodata_Click(i); });
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName("cmdOK");
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdZen = new QPushButton(QStringLiteral("前回指定"), this);
    cmdZen->setObjectName("cmdZen");
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    cmdHelp->setObjectName("cmdHelp");
    connect(cmdOK, &QPushButton::clicked, this, &frmPreviewSet::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPreviewSet::cmdCancel_Click);
    connect(cmdZen, &QPushButton::clicked, this, &frmPreviewSet::cmdZen_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmPreviewSet::cmdHelp_Click);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdOK, cmdCancel, cmdZen, cmdHelp})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraSodata);
    layout->addLayout(buttons);

    // The focus moves in the order the controls were made: the boxes by index,
    // then the buttons from the left.

    items_ = doc_.prevPrintItems;
    ShowItems();
}

int frmPreviewSet::ItemOfBox(int box) {
    if (box == 0)
        return 1;
    if (box == 1)
        return 0;
    return box;
}

bool frmPreviewSet::BoxAvailable(int box) const {
    // layerColumnUsed: 1 = unit weight .. 14 = Es, that is item + 1.
    bool used = doc_.layerColumnUsed[ItemOfBox(box) + 1] != 0;
    if (box == 0)
        return used || doc_.fcInputMode == 1;
    return used;
}

PrintItemFlags frmPreviewSet::PrintItems() {
    ReadItems();
    return items_;
}

void frmPreviewSet::SetPrintItems(const PrintItemFlags& items) {
    items_ = items;
    ShowItems();
}

void frmPreviewSet::ShowItems() {
    // Boxes that the record clears are cleared first: otherwise boxes still
    // checked further on would count against the limit and refuse items of
    // the record, and "前回指定" would not bring the confirmed choice back.
    for (int box = 0; box < kItemCount; ++box) {
        if (BoxAvailable(box) && items_[ItemOfBox(box)] == 0)
            chkSodata[box]->setChecked(false);
    }
    for (int box = 0; box < kItemCount; ++box) {
        if (BoxAvailable(box)) {
            chkSodata[box]->setChecked(items_[ItemOfBox(box)] != 0);
            chkSodata[box]->setEnabled(true);
        } else {
            chkSodata[box]->setEnabled(false);
        }
    }
}

void frmPreviewSet::ReadItems() {
    for (int box = 0; box < kItemCount; ++box)
        items_[ItemOfBox(box)] = chkSodata[box]->isEnabled() && chkSodata[box]->isChecked() ? 1 : 0;
}

void frmPreviewSet::chkSodata_Click(int box) {
    int checked = 0;
    for (QCheckBox* check : chkSodata)
        checked += check->isChecked() ? 1 : 0;
    if (checked <= kMaxCheckedItems)
        items_[ItemOfBox(box)] = chkSodata[box]->isChecked() ? 1 : 0;
    else
        chkSodata[box]->setChecked(false);  // runs this again, which clears the item
}

void frmPreviewSet::cmdOK_Click() {
    tag_ = kTagOK;
    doc_.prevPrintItems = items_;
    accept();
}

void frmPreviewSet::cmdCancel_Click() {
    reject();
}

void frmPreviewSet::cmdZen_Click() {
    items_ = doc_.prevPrintItems;
    ShowItems();
}

void frmPreviewSet::cmdHelp_Click() {
    services_.OpenHelp(HelpPagePath("print_items.htm"));
}
