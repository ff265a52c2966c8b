#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/project_file.h"
#include "support/qt_application.h"
#include "ui/dialogs/dialog_test_support.h"
#include "ui/platform/desktop_entry.h"
#include "ui/platform/qt_platform_services.h"

TEST(QtNameFilters, TurnsDescriptionPatternPairsIntoQtFilters) {
    struct Case {
        std::string filter;
        QString expected;
    } cases[] = {
        {"Vekt／Quilmorn2008ファイル (*.qmf)|*.qmf|", "Vekt／Quilmorn2008ファイル (*.qmf)"},
        {"ﾒﾀﾌｧｲﾙ (*.wmf)|*.wmf", "ﾒﾀﾌｧｲﾙ (*.wmf)"},
        {"Text|*.txt;*.csv|All (*.*)|*.*|", "Text (*.txt *.csv);;All (*.*)"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtNameFilters(c.filter), c.expected) << c.filter;
}

TEST(DialogStartPath, JoinsFolderAndProposedName) {
    EXPECT_EQ(DialogStartPath({"", "", "/data", ""}), "/data");
    EXPECT_EQ(DialogStartPath({"", "", "/data", "site"}), "/data/site");
    EXPECT_EQ(DialogStartPath({"", "", "/data/", "site"}), "/data/site");
    EXPECT_EQ(DialogStartPath({"", "", "/data", "/other/site.qmf"}), "/other/site.qmf");
    EXPECT_EQ(DialogStartPath({"", "", "", "site"}), "site");
}

TEST(DesktopEntryArguments, FieldCodesAreReplacedAndTheTargetIsOneArgument) {
    const std::string url = R"(https://example.org/a b?x=1&y='2')";
    // The same address as one word of the shell, for a code inside quotes.
    const std::string shellWord = R"('https://example.org/a b?x=1&y='\''2'\''')";
    RegisteredProgram entry{"", "Web Browser", "browser-icon", "/usr/share/applications/b.desktop"};
    using Args = std::vector<std::string>;
    struct Case {
        const char* exec;
        Args arguments;
    } cases[] = {
        {"firefox-esr %u", {"firefox-esr", url}},
        {"viewer %F --flag", {"viewer", url, "--flag"}},
        {"tool --rate=50%% %f", {"tool", "--rate=50%", url}},
        {"plain", {"plain", url}},
        {"browser --class=%c %i %k %u",
         {"browser", "--class=Web Browser", "--icon", "browser-icon",
          "/usr/share/applications/b.desktop", url}},
        {"browser %c %d %D %n %N %v %m %u", {"browser", "Web Browser", url}},
        {R"(sh -c "browser %u")", {"sh", "-c", "browser " + shellWord}},
        {R"(/usr/bin/browser --new "%U")", {"/usr/bin/browser", "--new", url}},
        {R"("/opt/My Browser/run" --url=%u)", {"/opt/My Browser/run", "--url=" + url}},
        {R"(run "a \"quoted\" \$HOME \\\\ x" %u)", {"run", R"(a "quoted" $HOME \ x)", url}},
        {R"(run\sarg %u)", {"run", "arg", url}},  // string escapes come first
        {R"(browser "unclosed %u)", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        entry.exec = c.exec;
        EXPECT_EQ(DesktopEntryArguments(entry, url), c.arguments) << c.exec;
    }
    // An empty name or icon gives no argument.
    RegisteredProgram bare{"browser %i %c %u", "", "", ""};
    EXPECT_EQ(DesktopEntryArguments(bare, url), (Args{"browser", url}));
}

namespace {

// Puts scripts in front of PATH and a data folder in XDG_DATA_HOME while it
// lives, so that the desktop's tools answer as the test says.
class FakeDesktopTools {
  public:
    FakeDesktopTools() : path_(qgetenv("PATH")), dataHome_(qgetenv("XDG_DATA_HOME")) {
        qputenv("PATH", (folder_.path() + "/bin:").toUtf8() + path_);
        qputenv("XDG_DATA_HOME", (folder_.path() + "/data").toUtf8());
        QDir().mkpath(folder_.path() + "/bin");
        QDir().mkpath(folder_.path() + "/data/applications");
    }
    ~FakeDesktopTools() {
        qputenv("PATH", path_);
        if (dataHome_.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", dataHome_);
    }
    void Script(const QString& name, const QByteArray& body) {
        QFile file(folder_.path() + "/bin/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void Entry(const QString& name, const QByteArray& text) {
        QFile file(folder_.path() + "/data/applications/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QString Folder() const { return folder_.path(); }

  private:
    QTemporaryDir folder_;
    QByteArray path_;
    QByteArray dataHome_;
};

}  // namespace

TEST(QtPlatformServices, DesktopOpenCountsOnlyWhenTheOpenerSucceeds) {
    EnsureQtApplication();
    FakeDesktopTools tools;
    QtPlatformServices services;
    const std::string marker = tools.Folder().toStdString() + "/opened";
    tools.Script("xdg-open", "echo \"$1\" > " + QByteArray::fromStdString(marker) + "\nexit 0");
    EXPECT_TRUE(services.OpenWithDesktop("https://example.org/"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(marker)));
    // No program for the target: xdg-open's status 3.
    tools.Script("xdg-open", "exit 3");
    EXPECT_FALSE(services.OpenWithDesktop("https://example.org/"));
    // An opener that keeps running has started a browser in the foreground:
    // that counts as opened, and the program goes on painting meanwhile.
    tools.Script("xdg-open", "exec sleep 30");
    bool painted = false;
    QTimer::singleShot(50, [&painted] { painted = true; });
    EXPECT_TRUE(services.OpenWithDesktop("https://example.org/"));
    EXPECT_TRUE(painted);
}

TEST(QtPlatformServices, TheProgramRegisteredForHtmComesFromItsDesktopEntry) {
    EnsureQtApplication();
    FakeDesktopTools tools;
    QtPlatformServices services;
    tools.Script("xdg-mime", "echo web.desktop");
    tools.Entry("web.desktop",
                "[Desktop Entry]\nType=Application\nName=Web\nIcon=web-icon\n"
                "Exec=web --new %u\n[Desktop Action private]\nExec=web --private %u\n");
    std::optional<RegisteredProgram> program = services.AssociatedProgram("htm");
    ASSERT_TRUE(program.has_value());
    EXPECT_EQ(program->exec, "web --new %u");
    EXPECT_EQ(program->icon, "web-icon");
    EXPECT_FALSE(program->name.empty());
    EXPECT_EQ(program->entryPath,
              (tools.Folder() + "/data/applications/web.desktop").toStdString());

    // No default program, or an entry that is gone: nothing is known.
    tools.Script("xdg-mime", "exit 0");
    EXPECT_FALSE(services.AssociatedProgram("htm").has_value());
    tools.Script("xdg-mime", "echo gone.desktop");
    EXPECT_FALSE(services.AssociatedProgram("htm").has_value());
    // An entry without a command: known, but nothing to start.
    tools.Script("xdg-mime", "echo bare.desktop");
    tools.Entry("bare.desktop", "[Desktop Entry]\nType=Application\nName=Bare\n");
    std::optional<RegisteredProgram> bare = services.AssociatedProgram("htm");
    ASSERT_TRUE(bare.has_value());
    EXPECT_TRUE(bare->exec.empty());
}

TEST(QtMessageBoxes, EscapeAnswersCancelWhereThereIsOneAndNoOtherwise) {
    EnsureQtApplication();
    struct Case {
        MessageButtons buttons;
        MessageAnswer escape;
        int buttonCount;
    };
    const Case cases[] = {
        {MessageButtons::YesNoCancel, MessageAnswer::Cancel, 3},
        {MessageButtons::YesNo, MessageAnswer::No, 2},
        {MessageButtons::OkCancel, MessageAnswer::Cancel, 2},
        {MessageButtons::Ok, MessageAnswer::Ok, 1},
    };
    QtPlatformServices services;
    for (const Case& c : cases) {
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            buttons = static_cast<int>(box->buttons().size());
            QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(services.ShowMessage("?", MessageIcon::Exclamation, "t", c.buttons), c.escape);
        EXPECT_EQ(buttons, c.buttonCount);
    }
}

namespace {

// A folder and a project whose names are CP932 bytes, as an archive made on
// another system unpacks them.
class NamesNotUtf8 : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(temp.isValid());
        root = QFile::encodeName(temp.path()).toStdString();
        folder = root + "/\x92\x6e\x94\xd5";              // 地盤
        file = folder + "/\x83\x5c\x83\x8b\x8e\x9a.qmf";  // ソル字.qmf
        project = root + "/\x83\x5c\x83\x8b\x8e\x9a.qmf";
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
        std::ofstream(file) << "project";
        std::ofstream(project) << "project";
    }

    // Answers the file dialog that opens next: `choose` runs on it, then
    // it is accepted; a question it asks is answered Yes.
    void AnswerDialog(std::function<void(QFileDialog&)> choose, int* asked) {
        QTimer::singleShot(200, [this, choose, asked] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                AnswerDialog(choose, asked);  // not shown yet
                return;
            }
            if (choose)
                choose(*dialog);
            QTimer::singleShot(200, [asked] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    ++*asked;
                    box->button(QMessageBox::Yes)->click();
                }
            });
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

    void TearDown() override {
        // QTemporaryDir cannot remove names that are not UTF-8.
        std::error_code error;
        std::filesystem::remove_all(root, error);
    }

    QTemporaryDir temp;
    std::string root;
    std::string folder;
    std::string file;
    std::string project;  // in a folder whose name is UTF-8
};

TEST_F(NamesNotUtf8, TheChosenPathKeepsTheBytesOfEachNameItShows) {
    const QString shownFolder = QFile::decodeName(QByteArray::fromStdString(folder));
    const QString shownFile = QFile::decodeName(QByteArray::fromStdString(file));
    ASSERT_TRUE(shownFile.contains(QChar::ReplacementCharacter));
    struct Case {
        const char* what;
        FileDialogRequest request;
        QString chosen;
        std::string expected;
    } cases[] = {
        {"Save As proposing the open file, unchanged", {"", "", folder, file}, shownFile, file},
        {"the file picked in its folder", {"", "", root, ""}, shownFile, file},
        {"a new name in that folder",
         {"", "", root, ""},
         shownFolder + "/new.qmf",
         folder + "/new.qmf"},
        {"a UTF-8 name",
         {"", "", root, ""},
         QString::fromStdString(root + "/地盤.qmf"),
         root + "/地盤.qmf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChosenFilePath(c.chosen, c.request), c.expected) << c.what;
}

// Through the dialogs themselves: Save As keeps the proposed name's bytes
// (asking before it replaces the file), and Open can pick the file.
TEST_F(NamesNotUtf8, TheFileDialogsTakeTheFileUnderItsOwnBytes) {
    QtPlatformServices services;
    int asked = 0;
    AnswerDialog(nullptr, &asked);
    EXPECT_EQ(services.GetSaveFileName({"", "", root, project}, true), project);
    EXPECT_EQ(asked, 1);
    AnswerDialog(nullptr, &asked);
    EXPECT_EQ(services.GetSaveFileName({"", "", root, project}, false), project);
    EXPECT_EQ(asked, 1);

    const QString shown = QFile::decodeName(QByteArray::fromStdString(project));
    // Picked as a click in the list or typing does: its name, as shown, in the name box.
    AnswerDialog(
        [&](QFileDialog& dialog) {
            dialog.findChild<QLineEdit*>("fileNameEdit")->setText(QFileInfo(shown).fileName());
        },
        &asked);
    EXPECT_EQ(services.GetOpenFileName({"", "", root, ""}), project);
    EXPECT_EQ(asked, 1);
}

}  // namespace
// A refusal's note stands beside the box it concerns while that box can be
// seen in the active window: it goes when the box's page is hidden or the
// focus goes to another window, and it is not shown at all for a box that was
// left for another window or whose page went away with the move.
TEST(RefusalNote, LastsWhileItsBoxCanBeSeenInTheActiveWindow) {
    EnsureQtApplication();
    enum class End { PageHidden, OtherWindow, HiddenBefore, OtherWindowBefore };
    for (End end : {End::PageHidden, End::OtherWindow, End::HiddenBefore, End::OtherWindowBefore}) {
        SCOPED_TRACE(static_cast<int>(end));
        QWidget window;
        window.resize(400, 300);
        auto* page = new QWidget(&window);
        page->setGeometry(0, 0, 400, 200);
        auto* box = new QLineEdit(page);
        box->move(10, 10);
        auto* next = new QLineEdit(&window);
        next->move(10, 250);
        ASSERT_TRUE(ShowActive(window));
        box->setFocus();
        next->setFocus();  // the box is left, and refused
        QtPlatformServices services(&window);
        const QString note = QStringLiteral("「計算深さ(m)」には0～99の数値を入力してください");
        QWidget other;
        other.resize(200, 100);
        if (end == End::HiddenBefore)
            page->hide();
        if (end == End::OtherWindowBefore) {
            ASSERT_TRUE(ShowActive(other));
        }
        services.RefuseBeside(note.toStdString(), box);
        QTest::qWait(50);
        if (end == End::HiddenBefore || end == End::OtherWindowBefore) {
            EXPECT_EQ(ShownRefusalNote(), nullptr);
            continue;
        }
        QWidget* shown = ShownRefusalNote();
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(shown->property("text").toString(), note);
        EXPECT_EQ(shown->window(), &window);
        EXPECT_GE(shown->y(), box->mapTo(&window, QPoint(0, box->height())).y())
            << "under the box it is about, not under the focused one";
        EXPECT_LT(shown->y(), next->y());
        if (end == End::PageHidden) {
            page->hide();
        } else {
            ASSERT_TRUE(ShowActive(other));
        }
        QTest::qWait(20);
        EXPECT_EQ(ShownRefusalNote(), nullptr);
    }
}

// A note about a grid's cell stands under that cell and stays whatever the
// pointer does over the grid, whose cells have tooltips of their own; the
// next key or click takes it away, and it stays through no time limit.
TEST(RefusalNote, StaysThroughPointerAndTooltipsUntilTheNextKeyOrClick) {
    EnsureQtApplication();
    enum class End { Key, Click, RightClick };
    for (End end : {End::Key, End::Click, End::RightClick}) {
        SCOPED_TRACE(static_cast<int>(end));
        QWidget window;
        window.resize(500, 400);
        auto* grid = new QTableWidget(20, 4, &window);
        grid->setGeometry(0, 0, 500, 350);
        for (int row = 0; row < 20; ++row)
            for (int col = 0; col < 4; ++col) {
                auto* item = new QTableWidgetItem(QString::number(row * 10 + col));
                item->setToolTip(QStringLiteral("cell %1").arg(row));
                grid->setItem(row, col, item);
            }
        ASSERT_TRUE(ShowActive(window));
        grid->setFocus();
        QtPlatformServices services(&window);
        const QRect cell = grid->visualRect(grid->model()->index(3, 1))
                               .translated(grid->viewport()->mapTo(grid, QPoint(0, 0)));
        services.RefuseBeside("数値を入力してください", grid, cell);
        QWidget* shown = ShownRefusalNote();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->pos(), grid->mapTo(&window, cell.bottomLeft() + QPoint(0, 2)));

        QTest::qWait(20);
        for (int step = 0; step < 10; ++step) {
            const QPoint at(20 + step * 40, 20 + step * 30);
            QTest::mouseMove(grid->viewport(), at);
            QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
            QApplication::sendEvent(grid->viewport(), &help);
            QToolTip::showText(grid->viewport()->mapToGlobal(at), QStringLiteral("tip"),
                               grid->viewport());
            QTest::qWait(10);
        }
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(grid, &leave);
        QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QApplication::sendEvent(grid, &shift);  // a modifier alone is no key yet
        // Longer than a tooltip lasts (once is enough).
        QTest::qWait(end == End::Key ? 5100 : 20);
        ASSERT_EQ(ShownRefusalNote(), shown) << "the note stays";
        EXPECT_TRUE(shown->isVisible());
        QToolTip::hideText();

        if (end == End::Key)
            QTest::keyClick(grid, Qt::Key_Down);
        else
            QTest::mouseClick(grid->viewport(),
                              end == End::Click ? Qt::LeftButton : Qt::RightButton, {},
                              QPoint(30, 60));
        EXPECT_EQ(ShownRefusalNote(), nullptr);
    }
}

// A message's lines break where a reader breaks them, never inside a word.
TEST(MessageLines, BreakAtPunctuationBlanksAndWordStartsOnly) {
    EnsureQtApplication();
    const QFontMetrics metrics(QApplication::font());
    const int em = metrics.horizontalAdvance(QStringLiteral("あ"));
    struct Case {
        QString text;
        int width;  // in full-width characters
        QString lines;
    };
    const Case cases[] = {
        {QStringLiteral("短い文です。"), 20, QStringLiteral("短い文です。")},
        {QStringLiteral(
             "拡張子 .pdf に関連づけられたアプリケーションを見つけることができませんでした。"),
         20,
         QStringLiteral("拡張子 .pdf に関連づけられた\nアプリケーションを\n"
                        "見つけることができませんでした。")},
        {QStringLiteral("フォルダを作成できませんでした。余白の設定を確認してください。"), 18,
         QStringLiteral("フォルダを作成できませんでした。\n余白の設定を確認してください。")},
        // Paragraphs and a path keep their own lines.
        {QStringLiteral("書き込みに失敗しました\r\n\r\n/home/user/data/site.qmf"), 30,
         QStringLiteral("書き込みに失敗しました\n\n/home/user/data/site.qmf")},
        // A lone CR ends a line too.
        {QStringLiteral("存在しません。\r作成しますか。"), 30,
         QStringLiteral("存在しません。\n作成しますか。")},
        // A line with no place to break breaks where it must, every
        // character kept.
        {QStringLiteral("できませんでしたできませんでした"), 5,
         QStringLiteral("できません\nでしたでき\nませんでし\nた")},
    };
    for (const Case& c : cases) {
        const QString lines = MessageLines(c.text, metrics, c.width * em);
        EXPECT_EQ(lines, c.lines) << c.text.toStdString();
        if (c.width < 8)
            continue;  // too narrow for the word
        for (const QString& line : lines.split(u'\n'))
            EXPECT_FALSE(line.contains(QStringLiteral("できませんで")) &&
                         !line.contains(QStringLiteral("できませんでした")))
                << line.toStdString();
    }
}

namespace {

// `text` without its blanks and line ends, which may go where a line breaks.
QString Glyphs(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

QString Repeated(const QString& unit, int times) {
    QString out;
    for (int i = 0; i < times; ++i)
        out += unit;
    return out;
}

}  // namespace

// A run wider than the line (a long file name, a path's folder) breaks all
// the same: after a "/" where one fits, else anywhere; no line is wider than
// the box and no character is lost or moved.
TEST(MessageLines, LongRunsBreakAnywhereAndKeepEveryCharacter) {
    EnsureQtApplication();
    const QFontMetrics metrics(QApplication::font());
    const int width = 20 * metrics.horizontalAdvance(QStringLiteral("あ"));
    const QString name253 = Repeated(QStringLiteral("n"), 249) + QStringLiteral(".qmf");
    const QString d60 = Repeated(QStringLiteral("d"), 60) + u'/';
    const QString e60 = Repeated(QStringLiteral("e"), 60) + u'/';
    struct Case {
        const char* what;
        QString text;
        QStringList lines;  // when the breaks themselves are known
    };
    const Case cases[] = {
        {"ascii", Repeated(QStringLiteral("c"), 300) + QStringLiteral(".qmf"), {}},
        {"hiragana", Repeated(QStringLiteral("あいうえお"), 30), {}},
        {"katakana", Repeated(QStringLiteral("データファイル"), 20), {}},
        {"kanji", Repeated(QStringLiteral("地盤液状化判定"), 20), {}},
        {"full-width digits", Repeated(QStringLiteral("１２３４５"), 20), {}},
        {"mixed",
         QStringLiteral("データファイル /tmp/") + name253 + QStringLiteral(" は保存しました。"),
         {}},
        {"changed on disk",
         QStringLiteral("変更されています。\r\n\r\n/home/") + Repeated(QStringLiteral("c"), 120) +
             QStringLiteral(".qmf\r\n\r\n上書きすると、その変更は失われます。上書きしますか？"),
         {}},
        {"kana name",
         QStringLiteral("/home/user/") + Repeated(QStringLiteral("ボーリング柱状図"), 12) +
             QStringLiteral(".qmf"),
         {}},
        {"a path breaks after its folders",
         QStringLiteral("/home/user/") + d60 + e60 + QStringLiteral("site.qmf"),
         {QStringLiteral("/home/user/"), d60, e60, QStringLiteral("site.qmf")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Lines as the box gets them: the folder part fits a line of its own.
        const int lineWidth = c.lines.isEmpty() ? width : metrics.horizontalAdvance(d60) + 2;
        const QStringList lines = MessageLines(c.text, metrics, lineWidth).split(u'\n');
        EXPECT_GT(lines.size(), 1);
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), lineWidth) << line.toStdString();
        EXPECT_EQ(Glyphs(lines.join(QString())), Glyphs(c.text));
        if (!c.text.contains(u' ') && !c.text.contains(u'\r')) {
            EXPECT_EQ(lines.join(QString()), c.text);  // not even a blank goes
        }
        if (!c.lines.isEmpty()) {
            EXPECT_EQ(lines, c.lines);
        }
        // A run without a place to break fills each line it is broken into.
        if (c.text.contains(u'/'))
            continue;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            EXPECT_GT(metrics.horizontalAdvance(lines[i] + lines[i + 1].front()), lineWidth)
                << lines[i].toStdString();
    }
}

namespace {

// What a shown message box lets its reader see of its text.
struct ShownText {
    QString text;        // the label's text
    bool whole = false;  // every line inside the box and fully visible or scrollable to
    bool fits = false;   // the box inside the screen
};

// Shows `text` as the program does and looks at the box once it is up.
ShownText ShowAndLook(const std::string& text, MessageButtons buttons) {
    ShownText seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        EXPECT_NE(label, nullptr);
        if (label != nullptr) {
            seen.text = label->text();
            const QFontMetrics metrics = label->fontMetrics();
            const QStringList lines = seen.text.split(u'\n');
            bool linesFit = true;
            for (const QString& line : lines) {
                if (metrics.horizontalAdvance(line) > label->contentsRect().width()) {
                    ADD_FAILURE() << "wider than the label: " << line.toStdString();
                    linesFit = false;
                }
            }
            // The height the label's text takes at the label's width.
            const int needed = label->heightForWidth(label->width()) > 0
                                   ? label->heightForWidth(label->width())
                                   : label->sizeHint().height();
            const bool tallEnough =
                label->height() >= needed &&
                label->contentsRect().height() >=
                    static_cast<int>(lines.size() - 1) * metrics.lineSpacing() + metrics.height();
            // The label's whole height lies in the box above its buttons, or
            // in a scroll area that reaches all of it.
            auto* buttonBox = box->findChild<QWidget*>(QStringLiteral("qt_msgbox_buttonbox"));
            QWidget* shown = label;
            auto* scroll = qobject_cast<QScrollArea*>(
                label->parentWidget() != nullptr ? label->parentWidget()->parentWidget() : nullptr);
            bool reached = true;
            if (scroll != nullptr) {
                shown = scroll;
                reached = scroll->verticalScrollBar()->maximum() >=
                          label->height() - scroll->viewport()->height();
            }
            const QRect inBox(shown->mapTo(box, QPoint(0, 0)), shown->size());
            const bool inside = box->rect().contains(inBox) && buttonBox != nullptr &&
                                inBox.bottom() < buttonBox->mapTo(box, QPoint(0, 0)).y();
            seen.whole = linesFit && tallEnough && reached && inside;
            const QRect screen = box->screen()->availableGeometry();
            seen.fits = box->width() <= screen.width() && box->height() <= screen.height();
        }
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QtPlatformServices services;
    services.ShowMessage(text, MessageIcon::Exclamation, "Vekt／Quilmorn2008", buttons);
    return seen;
}

}  // namespace

// Every line of a message can be read in its box: a long file name breaks
// into lines the box is sized for, and a text taller than the screen scrolls
// within a box that fits the screen.
TEST(QtMessageBoxes, EveryLineOfTheMessageIsShown) {
    EnsureQtApplication();
    const std::string folder = "/home/user/" + std::string(40, 'd') + "/";
    const std::string name253 = std::string(249, 'n') + ".qmf";
    const std::string name124 = std::string(120, 'c') + ".qmf";
    std::string tall;
    for (int i = 0; i < 200; ++i)
        tall += "行 " + std::to_string(i) + "\r\n";
    tall += "最後の行";
    struct Case {
        const char* what;
        std::string text;
        MessageButtons buttons;
        std::string lastLine;
    };
    const Case cases[] = {
        {"results file",
         "結果ファイルは書き込みませんでした。\r\n\r\n" + folder + name253 +
             ".CSV\r\nはファイル名が長すぎて、このファイルシステムには作れません。\r\n"
             "結果ファイルも書き込むには、短い名前で保存し直してください。\r\n\r\nデータファイル " +
             folder + name253 + " は保存しました。",
         MessageButtons::Ok, "は保存しました。"},
        {"write failure",
         ProjectWriteFailedText(folder + name253, WriteResult{ENOSPC, folder + name253}),
         MessageButtons::Ok, ""},
        {"changed on disk", ChangedOnDiskQuestion(folder + name124), MessageButtons::YesNo,
         "上書きしますか？"},
        {"kana and kanji name",
         "ﾌｧｲﾙの書き込みに失敗しました\r\n\r\n/home/利用者/" +
             Repeated(QStringLiteral("液状化判定ボーリング"), 8).toStdString() + ".qmf",
         MessageButtons::Ok, ".qmf"},
        // A name that reads as markup is shown as it is, lines and all.
        {"markup in a name",
         "設定ファイル /tmp/<b>site</b>/Quilmorn2008.ini の書き込みに失敗しました。\n"
         "今回変更した設定は保存されません。",
         MessageButtons::Ok, "今回変更した設定は保存されません。"},
        {"taller than the screen", tall, MessageButtons::Ok, "最後の行"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ShownText seen = ShowAndLook(c.text, c.buttons);
        EXPECT_TRUE(seen.whole);
        EXPECT_TRUE(seen.fits);
        EXPECT_EQ(Glyphs(seen.text), Glyphs(QString::fromStdString(c.text)));
        EXPECT_TRUE(seen.text.endsWith(QString::fromStdString(c.lastLine)))
            << seen.text.toStdString();
    }
}
