#include "ui/dialogs/frmOption.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "core/path_helpers.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/platform/modal_dialog_frame.h"
#include "ui/platform/platform_services.h"
#include "ui/widgets/text_entry_guard.h"

namespace {

constexpr std::string_view kFullWidthBlank = "\xE3\x80\x80";  // U+3000

bool StartsWithBlank(std::string_view text) {
    return text.starts_with(' ') || text.starts_with(kFullWidthBlank);
}

bool EndsWithBlank(std::string_view text) {
    return text.ends_with(' ') || text.ends_with(kFullWidthBlank);
}

// The text without its leading and trailing blanks, half- or full-width (an
// input method types the latter); a text of blanks only becomes empty.
std::string TrimBlanks(const std::string& text) {
    std::string_view rest = text;
    while (StartsWithBlank(rest))
        rest.remove_prefix(rest.starts_with(' ') ? 1 : kFullWidthBlank.size());
    while (EndsWithBlank(rest))
        rest.remove_suffix(rest.ends_with(' ') ? 1 : kFullWidthBlank.size());
    return std::string(rest);
}

// Why mkdir failed, in words the user can act on; empty for a rare cause.
std::string CreationFailureReason(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "上位のフォルダが存在しません。";
        case EACCES:
        case EPERM:
        case EROFS:
            return "フォルダを作成する権限がありません。";
        case EEXIST:
            return "同じ名前のファイルがあります。";
        case ENAMETOOLONG:
            return "フォルダ名が長すぎます。";
        default:
            return {};
    }
}

}  // namespace

frmOption::frmOption(Settings& settings, Document& doc, PlatformServices& services, QWidget* parent)
    : QDialog(parent), settings_(settings), doc_(doc), services_(services) {
    setObjectName("frmOption");
    setWindowTitle(QStringLiteral("動作設定"));
    UseModalDialogFrame(*this);

    Check1 = new QCheckBox(QStringLiteral("印刷時にカラー出力を行う"), this);
    Check1->setObjectName("Check1");
    fraFolder = new QGroupBox(QStringLiteral("データを開くときの最初のフォルダ"), this);
    fraFolder->setObjectName("fraFolder");
    Text1 = new QLineEdit(fraFolder);
    Text1->setObjectName("Text1");
    folderGuard_ = GuardTextEntry(*Text1, services_);
    // Wide enough for a folder path of some depth.
    Text1->setMinimumWidth(Text1->fontMetrics().averageCharWidth() * 40);
    cmdRef = new QPushButton(QStringLiteral("参照..."), fraFolder);
    cmdRef->setObjectName("cmdRef");
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName("cmdOk");
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    cmdHelp->setObjectName("cmdHelp");
    // Enter confirms the dialog rather than opening the folder browser.
    cmdOk->setDefault(true);

    auto* folder = new QHBoxLayout(fraFolder);
    folder->addWidget(Text1, 1);
    folder->addWidget(cmdRef);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Check1);
    layout->addWidget(fraFolder);
    layout->addLayout(buttons);

    connect(Text1, &QLineEdit::textChanged, this, &frmOption::EnableOk);
    connect(Check1, &QCheckBox::toggled, this, &frmOption::EnableOk);
    connect(cmdRef, &QPushButton::clicked, this, &frmOption::cmdRef_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmOption::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOption::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmOption::cmdHelp_Click);

    Text1->setText(ToQ(settings_.defaultDataFolder));
    Check1->setChecked(settings_.colorPrint != 0);
    EnableOk();
}

void frmOption::EnableOk() {
    // A folder text of blanks names no folder.
    cmdOk->setEnabled(!TrimBlanks(ToStd(Text1->text())).empty());
}

void frmOption::cmdRef_Click() {
    std::string start = ToStd(Text1->text());
    std::optional<std::string> chosen =
        services_.BrowseForFolder(std::string(kProgramTitle) + " データフォルダ", start);
    // A folder whose name the settings file cannot hold is refused like a
    // typed one.
    if (chosen)
        folderGuard_->Offer(ToQ(*chosen));
}

void frmOption::MakeSureFolderExists(const std::string& folder) {
    if (FolderExists(folder))
        return;
    std::string question = "指定されたフォルダ " + folder + " が存在しません。\r" + folder +
                           " を作成してもよろしいですか。";
    if (services_.ShowMessage(question, MessageIcon::Question, kProgramTitle,
                              MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    // One level only: the parent has to exist.
    if (::mkdir(folder.c_str(), 0777) != 0) {
        std::string message = "フォルダ " + folder + " を作成できませんでした。";
        if (std::string reason = CreationFailureReason(errno); !reason.empty())
            message += "\n" + reason;
        services_.ShowMessage(message, MessageIcon::Exclamation, kProgramTitle, MessageButtons::Ok);
    }
}

void frmOption::cmdOk_Click() {
    std::string folder = TrimBlanks(ToStd(Text1->text()));
    if (folder.empty())
        return;
    settings_.defaultDataFolder = folder;
    MakeSureFolderExists(settings_.defaultDataFolder);
    if (doc_.currentFileName.empty())
        doc_.currentFolder = settings_.defaultDataFolder;
    settings_.colorPrint = Check1->isChecked() ? 1 : 0;
    accept();
}

void frmOption::cmdCancel_Click() {
    reject();
}

void frmOption::cmdHelp_Click() {
    services_.OpenHelp(HelpPagePath("options.htm"));
}
