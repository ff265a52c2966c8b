#include "ui/platform/qt_platform_services.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStringList>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QTextStream>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>

#include "ui/platform/modal_dialog_frame.h"

#include "ui/platform/help_commands.h"

namespace {

// A refusal's note: a label inside the window of the control it stands
// beside, drawn as a tooltip is. The grid's own tooltips and the pointer's
// moves leave it alone; it goes at the next key or click, when that control
// is hidden (a page switched away with it) or when the focus goes to another
// window (a dialog, another program). One note shows at a time.
class RefusalNote : public QObject {
  public:
    RefusalNote(const QString& text, QWidget* control, const QRect& area)
        : QObject(qApp), control_(control) {
        if (Current())
            Current()->End();
        Current() = this;
        QWidget* window = control->window();
        label_ = new QLabel(text, window);
        label_->setObjectName(QStringLiteral("refusalNote"));
        label_->setAttribute(Qt::WA_TransparentForMouseEvents);
        label_->setForegroundRole(QPalette::ToolTipText);
        label_->setBackgroundRole(QPalette::ToolTipBase);
        label_->setPalette(QToolTip::palette());
        label_->setFont(QToolTip::font());
        label_->setAutoFillBackground(true);
        label_->setFrameStyle(QFrame::Box | QFrame::Plain);
        label_->setMargin(
            1 + label_->style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, label_));
        label_->adjustSize();
        Place(window, area.isEmpty() ? control->rect() : area);
        label_->show();
        label_->raise();
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            // A menu's popup takes the keyboard for a moment; the note stays.
            if (!control_ || (now != nullptr && now->window() != control_->window() &&
                              now->window()->windowType() != Qt::Popup))
                End();
        });
        connect(qApp, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state != Qt::ApplicationActive)
                        End();
                });
        qApp->installEventFilter(this);
        // The key or click that brought the refusal is still being handled
        // (a key a grid ignores goes on to its parents): only the next one
        // takes the note away.
        QTimer::singleShot(0, this, [this] { armed_ = true; });
    }
    ~RefusalNote() override {
        if (Current() == this)
            Current() = nullptr;
    }

    static QPointer<RefusalNote>& Current() {
        static QPointer<RefusalNote> current;
        return current;
    }
    QWidget* Label() const { return ended_ ? nullptr : label_.data(); }

    void End() {
        if (ended_)
            return;
        ended_ = true;
        qApp->removeEventFilter(this);
        if (label_) {
            label_->hide();
            label_->deleteLater();
        }
        if (Current() == this)
            Current() = nullptr;
        deleteLater();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!control_ || !label_) {
            End();
            return false;
        }
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::ShortcutOverride:
                if (armed_ && !IsModifier(static_cast<QKeyEvent*>(event)->key()))
                    End();
                break;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::NonClientAreaMouseButtonPress:
                if (armed_)
                    End();
                break;
            case QEvent::Hide:
                if (watched == control_.data())
                    End();
                break;
            case QEvent::WindowDeactivate:
                if (watched == control_->window())
                    End();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    static bool IsModifier(int key) {
        return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
               key == Qt::Key_Meta || key == Qt::Key_AltGr;
    }

    // Under the area, or above it where the window ends below; always inside
    // the window.
    void Place(QWidget* window, const QRect& area) {
        const QSize size = label_->size();
        QPoint at = control_->mapTo(window, area.bottomLeft() + QPoint(0, 2));
        if (at.y() + size.height() > window->height())
            at.setY(control_->mapTo(window, area.topLeft()).y() - size.height() - 2);
        at.setX(std::clamp(at.x(), 0, std::max(0, window->width() - size.width())));
        at.setY(std::clamp(at.y(), 0, std::max(0, window->height() - size.height())));
        label_->move(at);
    }

    QPointer<QWidget> control_;
    QPointer<QLabel> label_;
    bool armed_ = false;
    bool ended_ = false;
};

// A box with a short text is as narrow as its text; the window manager would
// then cut the title off beside the frame's icon and buttons. The box keeps
// the title's width and room for those beside it.
void KeepTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    const QFontMetrics metrics(box.font());
    const int width = metrics.horizontalAdvance(box.windowTitle()) + 8 * metrics.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

bool IsHiragana(QChar c) {
    return c.unicode() >= 0x3041 && c.unicode() <= 0x309F;
}

bool BeginsWord(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x30A1 && u <= 0x30FA) || u == u'「' ||
           u == u'（' || u == u'(' || u == u'『';
}

bool EndsPhrase(QChar c) {
    return QStringView(u"。、，．）」』)/ 　").contains(c);
}

// Whether a line may break before `text[at]`.
bool BreakBefore(const QString& text, qsizetype at) {
    if (at <= 0 || at >= text.size())
        return false;
    const QChar before = text[at - 1];
    const QChar here = text[at];
    if (QStringView(u"。、，．）」』").contains(here))
        return false;  // punctuation never begins a line
    return EndsPhrase(before) || (IsHiragana(before) && BeginsWord(here));
}

// The widest line a box's text is given: a box whose lines are no wider
// keeps them as they are and takes its height from their number.
int MessageLineWidth(const QMessageBox& box) {
    const QScreen* screen = box.screen();
    const int screenWidth = screen != nullptr ? screen->availableGeometry().width() : 1024;
    // The box's own wrapping width, less its icon and margins.
    return std::max(160, std::min(screenWidth / 2, 500) - 120);
}

// The room a box's frame, title bar and buttons leave for its text on the
// screen, in pixels.
int MessageTextRoom(QMessageBox& box, const QLabel& label) {
    const QScreen* screen = box.screen();
    const int screenHeight = screen != nullptr ? screen->availableGeometry().height() : 768;
    const int around = box.sizeHint().height() - label.sizeHint().height();
    const int titleBar = 2 * QFontMetrics(box.font()).height();
    return std::max(label.fontMetrics().lineSpacing(), screenHeight - around - titleBar);
}

// Gives the box `text` in lines no wider than the box, so that the box, which
// takes its size from the longest line and the number of lines, shows every
// line. A text taller than the screen scrolls, within a box that fits it.
void SetMessageText(QMessageBox& box, const QString& text) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    const int width = MessageLineWidth(box);
    box.setText(MessageLines(text, QFontMetrics(box.font()), width));
    if (label == nullptr || grid == nullptr)
        return;
    const int room = MessageTextRoom(box, *label);
    if (label->sizeHint().height() <= room)
        return;
    auto* scroll = new QScrollArea;
    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    box.setText(MessageLines(text, label->fontMetrics(), width - bar));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    delete grid->replaceWidget(label, scroll);
    scroll->setWidget(label);
    scroll->setWidgetResizable(true);
    scroll->setFixedSize(label->sizeHint().width() + bar, room);
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// How long the desktop's opener may take to answer. It fails at once when it
// has nothing to open the target with; one still running has started a
// program and waits for it.
constexpr int kOpenerAnswerMs = 3000;

// The keys of the desktop entry `desktopId` that its command line needs; none
// when the entry cannot be found, an empty command when it has no Exec line.
std::optional<RegisteredProgram> ReadDesktopEntry(const QString& desktopId) {
    QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    // The name in the user's language when the entry has one.
    QString locale = QLocale::system().name();  // "ja_JP"
    const QStringList nameKeys = {QStringLiteral("Name[%1]").arg(locale),
                                  QStringLiteral("Name[%1]").arg(locale.section(u'_', 0, 0)),
                                  QStringLiteral("Name")};
    QTextStream in(&file);
    bool inEntry = false;
    RegisteredProgram program;
    program.entryPath = path.toStdString();
    int nameRank = static_cast<int>(nameKeys.size());
    while (!in.atEnd()) {
        QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        qsizetype equals = line.indexOf(u'=');
        if (!inEntry || equals < 0)
            continue;
        QString key = line.left(equals).trimmed();
        std::string value = line.mid(equals + 1).trimmed().toStdString();
        if (key == QStringLiteral("Exec"))
            program.exec = value;
        else if (key == QStringLiteral("Icon"))
            program.icon = value;
        else if (int rank = static_cast<int>(nameKeys.indexOf(key)); rank >= 0 && rank < nameRank) {
            program.name = value;
            nameRank = rank;
        }
    }
    return program;
}

}  // namespace

QtPlatformServices::QtPlatformServices(QWidget* parentWindow) : parent_(parentWindow) {}

QWidget* QtPlatformServices::MessageOwner() const {
    if (parent_ != nullptr)
        return parent_;
    // During start-up the main window is shown before it is handed over:
    // messages then open over it rather than alone in the middle of the
    // screen.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) == nullptr || !w->isVisible())
            continue;
        // Just shown, it may not stand where the window manager puts it yet;
        // a box centred on it now would open somewhere else.
        QElapsedTimer waited;
        waited.start();
        while (w->windowHandle() != nullptr && !w->windowHandle()->isExposed() &&
               waited.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        return w;
    }
    return nullptr;
}

namespace {

// Where an over-long line breaks: the last place a reader breaks at whose
// part still fits; failing that (one run, a file name, wider than the line)
// after the last "/" that fits, and failing that after the last character
// that fits, so that no part is ever wider than the box. A blank the line
// breaks at is not shown and does not count. Never 0.
qsizetype LineCut(const QString& line, const QFontMetrics& metrics, int width) {
    qsizetype readerCut = 0;
    qsizetype slashCut = 0;
    qsizetype anyCut = 0;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, line);
    for (qsizetype at = characters.toNextBoundary(); at > 0 && at < line.size();
         at = characters.toNextBoundary()) {
        const QString part = line.left(at);
        if (metrics.horizontalAdvance(part.trimmed()) > width)
            break;
        if (BreakBefore(line, at))
            readerCut = at;
        if (metrics.horizontalAdvance(part) > width)
            continue;
        anyCut = at;
        if (line[at - 1] == u'/')
            slashCut = at;
    }
    if (readerCut > 0)
        return readerCut;
    if (slashCut > 0)
        return slashCut;
    if (anyCut > 0)
        return anyCut;
    // Not even one character fits: it stands alone.
    characters.toStart();
    return std::max<qsizetype>(1, characters.toNextBoundary());
}

}  // namespace

QString MessageLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList out;
    // CR LF, a lone LF and a lone CR each end a line.
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (QString rest : unified.split(u'\n')) {
        while (metrics.horizontalAdvance(rest.trimmed()) > width) {
            const qsizetype cut = LineCut(rest, metrics, width);
            if (cut >= rest.size())
                break;
            if (BreakBefore(rest, cut)) {
                out.append(rest.left(cut).trimmed());
                rest = rest.mid(cut).trimmed();
            } else {
                // Broken inside a run: every character of it stays.
                out.append(rest.left(cut));
                rest = rest.mid(cut);
            }
        }
        out.append(rest);
    }
    return out.join(u'\n');
}

MessageAnswer QtPlatformServices::ShowMessage(const std::string& text, MessageIcon icon,
                                              const std::string& title, MessageButtons buttons) {
    QMessageBox box(BoxIcon(icon), Q(title), QString(), BoxButtons(buttons), MessageOwner());
    // A file name such as "<b>.qmf" is a name, not markup.
    box.setTextFormat(Qt::PlainText);
    SetMessageText(box, Q(text));
    UseModalDialogFrame(box);
    KeepTitleWhole(box);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            break;
    }
    // Closing a box without a Cancel button counts as its one answer.
    if (buttons == MessageButtons::YesNo)
        return MessageAnswer::No;
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void QtPlatformServices::Refuse(const std::string& note) {
    RefuseBeside(note, nullptr);
}

void QtPlatformServices::RefuseBeside(const std::string& note, QWidget* control, QRect area) {
    QApplication::beep();
    if (note.empty())
        return;
    // A box or cell left for another window, or whose page went away with
    // the move, has no place for its note any more.
    if (control != nullptr && (!control->isVisible() || !control->window()->isActiveWindow()))
        return;
    QWidget* near = control != nullptr ? control : QApplication::focusWidget();
    if (near == nullptr)
        near = MessageOwner();
    if (near == nullptr || !near->isVisible())
        return;
    if (control == nullptr)
        area = QRect();
    new RefusalNote(Q(note), near, area);
}

QWidget* ShownRefusalNote() {
    RefusalNote* note = RefusalNote::Current();
    return note != nullptr ? note->Label() : nullptr;
}

namespace {

// A file dialog that takes a file whose name is not UTF-8: Qt shows such a
// name with replacement characters and finds no file under what it shows, so
// it would refuse to open it and would not ask before replacing it.
class FileDialog : public QFileDialog {
  public:
    FileDialog(QWidget* parent, const FileDialogRequest& request, bool confirmOverwrite)
        : QFileDialog(parent, Q(request.title), DialogStartPath(request),
                      QtNameFilters(request.filter)),
          request_(request),
          confirmOverwrite_(confirmOverwrite) {}

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && files[0].contains(QChar::ReplacementCharacter)) {
            const std::string path = ChosenFilePath(files[0], request_);
            struct stat info {};
            if (path != files[0].toStdString() && stat(path.c_str(), &info) == 0 &&
                S_ISREG(info.st_mode)) {
                if (acceptMode() == AcceptSave && confirmOverwrite_ &&
                    QMessageBox::question(
                        this, windowTitle(),
                        QFileInfo(files[0]).fileName() +
                            QStringLiteral(" は既に存在します。\n置き換えますか？")) !=
                        QMessageBox::Yes)
                    return;
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
    }

    std::optional<std::string> Chosen() {
        if (exec() != QDialog::Accepted || selectedFiles().isEmpty() ||
            selectedFiles()[0].isEmpty())
            return std::nullopt;
        return ChosenFilePath(selectedFiles()[0], request_);
    }

  private:
    FileDialogRequest request_;
    bool confirmOverwrite_;
};

}  // namespace

std::optional<std::string> QtPlatformServices::GetOpenFileName(const FileDialogRequest& request) {
    FileDialog dialog(parent_, request, false);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return dialog.Chosen();
}

std::optional<std::string> QtPlatformServices::GetSaveFileName(const FileDialogRequest& request,
                                                               bool confirmOverwrite) {
    FileDialog dialog(parent_, request, confirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return dialog.Chosen();
}

std::optional<std::string> QtPlatformServices::BrowseForFolder(const std::string& title,
                                                               const std::string& initialFolder) {
    QString chosen = QFileDialog::getExistingDirectory(parent_, Q(title), Q(initialFolder),
                                                       QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

bool QtPlatformServices::OpenWithDesktop(const std::string& target) {
    // Asked through xdg-open and its exit status: Qt's own opener counts a
    // started opener as success, even when it then finds no program.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({Q(target)});
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    opener->start();
    if (!opener->waitForStarted()) {
        delete opener;
        return false;
    }
    // A desktop's opener answers at once; a plain window manager's may run
    // the browser in the foreground. Meanwhile the windows keep painting,
    // with the busy cursor, and take no input.
    if (opener->state() != QProcess::NotRunning) {
        QEventLoop wait;
        QObject::connect(opener, &QProcess::finished, &wait, &QEventLoop::quit);
        QTimer::singleShot(kOpenerAnswerMs, &wait, &QEventLoop::quit);
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
        QGuiApplication::restoreOverrideCursor();
    }
    if (opener->state() == QProcess::NotRunning) {
        bool opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
        delete opener;
        return opened;
    }
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    return true;
}

std::optional<RegisteredProgram> QtPlatformServices::AssociatedProgram(const std::string& ext) {
    QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("document.") + Q(ext),
                                                     QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return std::nullopt;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), type.name()});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    QString desktopId = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    if (desktopId.isEmpty())
        return std::nullopt;
    return ReadDesktopEntry(desktopId);
}

bool QtPlatformServices::StartProgram(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return false;
    QStringList rest;
    for (size_t i = 1; i < arguments.size(); ++i)
        rest << Q(arguments[i]);
    return QProcess::startDetached(Q(arguments[0]), rest);
}

std::string QtPlatformServices::ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

void QtPlatformServices::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(Q(text));
}

void QtPlatformServices::OpenHelp(const std::string& pagePath) {
    // The help pages take the way of every other page, warning included.
    OpenDocument(*this, pagePath);
}

QString QtNameFilters(const std::string& filter) {
    QStringList parts = Q(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(u';', u' ');
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        if (!description.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")")))
            description += QStringLiteral(" (") + patterns + QStringLiteral(")");
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

QString DialogStartPath(const FileDialogRequest& request) {
    QString folder = Q(request.initialFolder);
    QString name = Q(request.initialName);
    if (name.isEmpty())
        return folder;
    if (name.startsWith(u'/') || folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

namespace {

// The start path in the request's own bytes, composed as DialogStartPath does.
std::string StartPathBytes(const FileDialogRequest& request) {
    const std::string& folder = request.initialFolder;
    const std::string& name = request.initialName;
    if (name.empty())
        return folder;
    if (name.front() == '/' || folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The entry of `folder` whose name shows as `shown`; none when there is not
// exactly one.
std::optional<std::string> EntryShownAs(const std::string& folder, const QString& shown) {
    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr)
        return std::nullopt;
    std::optional<std::string> found;
    int matches = 0;
    while (const dirent* entry = readdir(dir)) {
        if (QFile::decodeName(entry->d_name) == shown) {
            found = entry->d_name;
            ++matches;
        }
    }
    closedir(dir);
    return matches == 1 ? found : std::nullopt;
}

}  // namespace

std::string ChosenFilePath(const QString& chosen, const FileDialogRequest& request) {
    const std::string start = StartPathBytes(request);
    if (!start.empty() && chosen == DialogStartPath(request))
        return start;
    if (!chosen.contains(QChar::ReplacementCharacter) || !chosen.startsWith(u'/'))
        return chosen.toStdString();
    std::string path;
    for (const QString& part : chosen.split(u'/', Qt::SkipEmptyParts)) {
        std::string bytes = part.toStdString();
        struct stat info {};
        if (part.contains(QChar::ReplacementCharacter) &&
            lstat((path + "/" + bytes).c_str(), &info) != 0) {
            if (std::optional<std::string> entry = EntryShownAs(path, part))
                bytes = *entry;
        }
        path += "/" + bytes;
    }
    return path;
}
