#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <string>

#include "core/file_io.h"
#include "core/path_helpers.h"
#include "core/project_file.h"
#include "support/qt_application.h"
#include "ui/example_boring.h"
#include "ui/main_window/startup.h"
#include "ui/platform/fake_platform_services.h"

namespace {

// A settings folder of the test's own under a temporary XDG_CONFIG_HOME.
class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(config.isValid());
        saved = qgetenv("XDG_CONFIG_HOME");
        hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    }
    void TearDown() override {
        if (hadConfig)
            qputenv("XDG_CONFIG_HOME", saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    std::string SettingsFolder() const { return config.path().toStdString() + "/varnholt"; }

    void WriteIni(const std::string& text) {
        QDir().mkpath(QString::fromStdString(SettingsFolder()));
        std::ofstream(SettingsFolder() + "/Quilmorn.ini", std::ios::binary) << text;
    }

    std::string WriteExample(const std::string& name) {
        std::string path = data.filePath(QString::fromStdString(name)).toStdString();
        EXPECT_EQ(WriteProjectFile(path, ExampleBoring()), kProjectFileOk);
        return path;
    }

    QTemporaryDir config;
    QTemporaryDir data;
    QByteArray saved;
    bool hadConfig = false;
    FakePlatformServices services;
};

}  // namespace

TEST(CommandLinePath, DropsTheQuotesOfAQuotedPath) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"/data/site 1.qmf", "/data/site 1.qmf"},
        {"\"/data/site 1.qmf\"", "/data/site 1.qmf"},
        {"\"/data/site.qmfX", "/data/site.qmf"},  // the last character goes whatever it is
        {"\"", ""},
        {"\"\"", ""},
    };
    for (const auto& [line, path] : cases)
        EXPECT_EQ(CommandLinePath(line), path) << line;
}

TEST(CommandLineText, JoinsTheArgumentsWithBlanks) {
    char a0[] = "Quilmorn2008", a1[] = "/data/site", a2[] = "1.qmf";
    char* argv[] = {a0, a1, a2, nullptr};
    EXPECT_EQ(CommandLineText(3, argv), "/data/site 1.qmf");
    EXPECT_EQ(CommandLineText(1, argv), "");
}

TEST_F(StartupTest, WithoutACommandLineANewDocumentIsShown) {
    ProgramState state;
    ASSERT_EQ(StartProgram(state, services, ""), StartResult::kRunning);
    EXPECT_EQ(state.settings.iniFile, SettingsFolder() + "/Quilmorn.ini");
    EXPECT_TRUE(state.form->isVisible());
    EXPECT_EQ(state.form->windowTitle().toStdString(), "Vekt／Quilmorn2008");
    EXPECT_TRUE(state.doc.nPoints.empty());
    EXPECT_FALSE(state.form->IsChanged);
    EXPECT_EQ(state.form->lstSoilDef[1]->count(), 16);
    EXPECT_TRUE(services.messages.empty());

    // Closing writes the settings file.
    state.form->close();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(state.settings.iniFile)));
}

TEST_F(StartupTest, AQuotedCommandLineOpensTheFileAndRecordsIt) {
    std::string path = WriteExample("site 1.qmf");
    WriteIni("[Recent Files]\r\n1=/old/boring.qmf\r\n");
    ProgramState state;
    ASSERT_EQ(StartProgram(state, services, "\"" + path + "\""), StartResult::kRunning);
    EXPECT_EQ(state.form->windowTitle().toStdString(), "site 1 - Vekt／Quilmorn2008");
    EXPECT_EQ(state.doc.currentFileName, "site 1.qmf");
    EXPECT_EQ(state.doc.currentFolder, data.path().toStdString());
    EXPECT_EQ(state.doc.layers.size(), 6u);
    EXPECT_FALSE(state.doc.calcPoints.empty());
    EXPECT_EQ(state.settings.recentFiles[0], path);
    EXPECT_EQ(state.settings.recentFiles[1], "/old/boring.qmf");
    // The menu shows the opened file at once, above the one of the settings.
    EXPECT_EQ(state.form->mnuFileList[1]->text().toStdString(), CompactPath(path, 30));
    EXPECT_EQ(state.form->mnuFileList[2]->text().toStdString(), "/old/boring.qmf");
    EXPECT_FALSE(state.form->mnuFileList[3]->isVisible());
    EXPECT_FALSE(state.form->IsChanged);
    // The file as it was read, for the question before a Save replaces it.
    ASSERT_TRUE(state.form->ProjectFileContent);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(*state.form->ProjectFileContent, ContentOf(bytes));
}

TEST_F(StartupTest, AMissingFileIsReportedAndLeavesTheRecentFiles) {
    std::string missing = data.filePath("gone.qmf").toStdString();
    WriteIni("[Recent Files]\r\n1=" + missing + "\r\n2=/old/boring.qmf\r\n");
    ProgramState state;
    ASSERT_EQ(StartProgram(state, services, missing), StartResult::kRunning);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(state.settings.recentFiles[0], "/old/boring.qmf");
    EXPECT_EQ(state.form->windowTitle().toStdString(), "Vekt／Quilmorn2008");
    EXPECT_TRUE(state.doc.currentFileName.empty());
}

// A file whose texts are not whole opens, and the loaded window says which
// texts were read with "?" in their place.
TEST_F(StartupTest, AFileWithUnreadableTextsOpensAndSaysWhich) {
    Document boring = ExampleBoring();
    boring.basicData.ShortName = "NAME";
    std::string bytes = ProjectFileBytes(boring);
    bytes.replace(bytes.find("NAME"), 4,
                  "N\xFF"
                  "E");
    std::string path = data.filePath("damaged.qmf").toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    ProgramState state;
    ASSERT_EQ(StartProgram(state, services, path), StartResult::kRunning);
    EXPECT_EQ(state.doc.currentFileName, "damaged.qmf");
    EXPECT_EQ(state.doc.basicData.ShortName, "N?E");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, UnreadableTextsMessage({"略称"}, path));
}

TEST_F(StartupTest, ARelativeCommandLinePathIsKeptAbsolute) {
    WriteExample("rel.qmf");
    QString cwd = QDir::currentPath();
    QDir::setCurrent(data.path());
    ProgramState state;
    StartResult result = StartProgram(state, services, "rel.qmf");
    QDir::setCurrent(cwd);
    ASSERT_EQ(result, StartResult::kRunning);
    EXPECT_EQ(state.doc.currentFolder, data.path().toStdString());
    EXPECT_EQ(state.settings.recentFiles[0], data.filePath("rel.qmf").toStdString());
}

// A name in code page 932 bytes (as an archive from another system unpacks)
// is opened and saved under its own bytes.
TEST_F(StartupTest, ANameThatIsNotUtf8IsOpenedAndSavedUnderItsOwnBytes) {
    const std::string name = "\x83\x5c\x83\x8b\x8e\x9a.qmf";  // ソル字 in CP932
    const std::string path = data.path().toStdString() + "/" + name;
    ASSERT_EQ(WriteProjectFile(path, ExampleBoring()), kProjectFileOk);
    ProgramState state;
    ASSERT_EQ(StartProgram(state, services, path), StartResult::kRunning);
    // The settings file cannot hold the name: the recent-files entry lasts
    // for this run, and the start says so once.
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find(path), std::string::npos);
    EXPECT_EQ(state.doc.currentFileName, name);
    EXPECT_EQ(state.doc.layers.size(), 6u);
    state.doc.basicData.Site = "saved again";
    ASSERT_TRUE(state.form->mnuFileSave_Click());
    Document back;
    ASSERT_EQ(ReadProjectFile(path, back, services), kProjectFileOk);
    EXPECT_EQ(back.basicData.Site, "saved again");
}

// A working folder past PATH_MAX: the relative name cannot be made absolute,
// and Save writes the file that was opened, never one in the program folder.
TEST_F(StartupTest, ARelativeNameInAVeryDeepFolderIsSavedWhereItWasOpened) {
    const int home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(home, 0);
    ASSERT_EQ(chdir(data.path().toStdString().c_str()), 0);
    const std::string step(200, 'd');
    int depth = 0;
    for (; depth < 25; ++depth)
        ASSERT_TRUE(mkdir(step.c_str(), 0700) == 0 && chdir(step.c_str()) == 0);
    ASSERT_EQ(WriteProjectFile("deep.qmf", ExampleBoring()), kProjectFileOk);

    ProgramState state;
    StartResult result = StartProgram(state, services, "deep.qmf");
    bool saved = false;
    Document back;
    if (result == StartResult::kRunning) {
        state.doc.basicData.Site = "saved in the deep folder";
        saved = state.form->mnuFileSave_Click();
        ReadProjectFile("deep.qmf", back, services);
    }
    unlink("deep.qmf");
    unlink("deep.CSV");
    for (; depth > 0; --depth)
        ASSERT_TRUE(chdir("..") == 0 && rmdir(step.c_str()) == 0);
    ASSERT_EQ(fchdir(home), 0);
    close(home);

    ASSERT_EQ(result, StartResult::kRunning);
    EXPECT_TRUE(saved);
    EXPECT_EQ(back.basicData.Site, "saved in the deep folder");
    EXPECT_EQ(state.doc.currentFileName, "deep.qmf");
    EXPECT_FALSE(QFile::exists(QCoreApplication::applicationDirPath() + "/deep.qmf"));
}

TEST_F(StartupTest, ASecondInstanceEndsAtOnceAndSaysWhy) {
    ProgramState first;
    ASSERT_EQ(StartProgram(first, services, ""), StartResult::kRunning);
    ProgramState second;
    EXPECT_EQ(StartProgram(second, services, ""), StartResult::kAlreadyRunning);
    EXPECT_EQ(second.form, nullptr);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("既に起動しています"), std::string::npos);
    EXPECT_NE(services.messages[0].text.find(SettingsFolder() + "/Quilmorn2008.lock"),
              std::string::npos);
    EXPECT_NE(services.messages[0].text.find(std::to_string(QCoreApplication::applicationPid())),
              std::string::npos);
    first.form->close();
    first.instanceLock.reset();
    ProgramState third;
    EXPECT_EQ(StartProgram(third, services, ""), StartResult::kRunning);
}

// A lock file that names no running instance of the program never keeps a
// start out: it is cleared and taken over. (A running instance's lock keeps
// a start out: see above.)
TEST_F(StartupTest, StaleLockFilesAreCleared) {
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray app = QCoreApplication::applicationName().toUtf8();
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    struct Case {
        const char* name;
        QByteArray contents;
    };
    const Case cases[] = {
        {"empty", ""},
        {"garbage", "\x01\xff not a lock\n\n"},
        {"no process id", "pid\n" + app + "\n" + host + "\n"},
        {"another host", pid + "\n" + app + "\nsome-other-host.example\n"},
        {"a process that has ended", "999999999\n" + app + "\n" + host + "\n"},
        {"a process of another program", "1\n" + app + "\n" + host + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir().mkpath(QString::fromStdString(SettingsFolder()));
        QString lockPath = QString::fromStdString(SettingsFolder() + "/Quilmorn2008.lock");
        QFile lock(lockPath);
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(c.contents);
        lock.close();
        services.messages.clear();
        ProgramState state;
        StartResult result = StartProgram(state, services, "");
        EXPECT_EQ(result, StartResult::kRunning);
        EXPECT_TRUE(services.messages.empty());
        ASSERT_NE(state.instanceLock, nullptr);
        EXPECT_TRUE(state.instanceLock->isLocked());
        state.form->close();
        state.instanceLock.reset();
        QFile::remove(lockPath);
    }
}

// What cannot be a lock at the lock's path (the program only ever makes a
// regular file there) never stops a start, nor makes it wait: it is cleared
// and the lock taken, or, where it cannot be cleared, left alone.
TEST_F(StartupTest, WhatIsNoLockFileAtTheLocksPathNeverStopsAStart) {
    const std::string lockPath = SettingsFolder() + "/Quilmorn2008.lock";
    struct Case {
        const char* name;
        std::function<void()> make;
        bool locked;  // the start takes the lock
    };
    const Case cases[] = {
        {"an empty folder", [&] { mkdir(lockPath.c_str(), 0700); }, true},
        {"a dangling link", [&] { symlink("/nonexistent/lock", lockPath.c_str()); }, true},
        {"a link to a folder", [&] { symlink(SettingsFolder().c_str(), lockPath.c_str()); }, true},
        {"a FIFO", [&] { mkfifo(lockPath.c_str(), 0600); }, true},
        {"a folder with a file in it",
         [&] {
             mkdir(lockPath.c_str(), 0700);
             std::ofstream(lockPath + "/kept") << "kept";
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir().mkpath(QString::fromStdString(SettingsFolder()));
        c.make();
        services.messages.clear();
        ProgramState state;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(StartProgram(state, services, ""), StartResult::kRunning);
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(state.instanceLock != nullptr, c.locked);
        if (c.locked) {
            EXPECT_TRUE(services.messages.empty());
        } else {
            EXPECT_TRUE(QFile::exists(QString::fromStdString(lockPath + "/kept")));
            // Said once: the start runs unprotected, why, and what clears it.
            ASSERT_EQ(services.messages.size(), 1u);
            const std::string& text = services.messages[0].text;
            EXPECT_NE(text.find("二重起動の防止が働いていません"), std::string::npos) << text;
            EXPECT_NE(text.find("中身のあるフォルダ"), std::string::npos) << text;
            EXPECT_NE(text.find(lockPath), std::string::npos) << text;
        }
        state.form->close();
        state.instanceLock.reset();
        QDir(QString::fromStdString(lockPath)).removeRecursively();
        unlink(lockPath.c_str());
    }
}

// A settings file that cannot be read as the form it claims: the start says
// once where its copy is kept, and the next start asks nothing.
TEST_F(StartupTest, AnUnreadableSettingsFileIsKeptAsACopyAndToldOnce) {
    const std::string broken("\xFF\xFE[\0P\0\x00\xD8]\0", 8);
    WriteIni(broken);
    {
        ProgramState state;
        ASSERT_EQ(StartProgram(state, services, ""), StartResult::kRunning);
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_NE(services.messages[0].text.find(SettingsFolder() + "/Quilmorn.ini.orig"),
                  std::string::npos);
        state.form->close();
    }
    std::ifstream copy(SettingsFolder() + "/Quilmorn.ini.orig", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), broken);
    services.messages.clear();
    ProgramState again;
    ASSERT_EQ(StartProgram(again, services, ""), StartResult::kRunning);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(again.settings.mainSoilNames.size(), 16u);
    again.form->close();
}

TEST_F(StartupTest, TheSavedPlacementIsApplied) {
    WriteIni(
        "[Window]\r\nWindowLeft=1500\r\nWindowTop=900\r\nWindowWidth=9600\r\n"
        "WindowHeight=7500\r\nWindowStyle=0\r\n");
    ProgramState state;
    ASSERT_EQ(StartProgram(state, services, ""), StartResult::kRunning);
    QApplication::processEvents();
    const TwipsLayout& t = state.form->layout;
    // The placement lies on the screen, so it is kept as it was saved.
    ASSERT_TRUE(state.form->screen()->availableGeometry().contains(
        QRect(t.ToPixelsX(1500), t.ToPixelsY(900), t.ToPixelsX(9600), t.ToPixelsY(7500))));
    EXPECT_EQ(state.form->frameGeometry().width(), t.ToPixelsX(9600));
    EXPECT_EQ(state.form->frameGeometry().height(), t.ToPixelsY(7500));
    EXPECT_EQ(state.form->frameGeometry().x(), t.ToPixelsX(1500));
    EXPECT_EQ(state.form->frameGeometry().y(), t.ToPixelsY(900));
}

// A size no screen holds (a desk of several screens, a hand-edited file, a
// settings file with the largest numbers it can hold) starts at once, fitted
// to the screen, and is saved back as the window is.
TEST_F(StartupTest, ASavedSizeLargerThanTheScreenIsFittedToIt) {
    const char* sizes[] = {"99999999", "1000000", "300000", "172800", "2147483647"};
    for (const char* size : sizes) {
        SCOPED_TRACE(size);
        for (const char* style : {"0", "2"}) {
            WriteIni(std::string("[Window]\r\nWindowLeft=1500\r\nWindowTop=900\r\nWindowWidth=") +
                     size + "\r\nWindowHeight=" + size + "\r\nWindowStyle=" + style + "\r\n");
            QElapsedTimer clock;
            clock.start();
            ProgramState state;
            ASSERT_EQ(StartProgram(state, services, WriteExample("site.qmf")),
                      StartResult::kRunning);
            QApplication::processEvents();
            EXPECT_LT(clock.elapsed(), 5000);
            const QRect screen = state.form->screen()->availableGeometry();
            EXPECT_TRUE(screen.contains(state.form->frameGeometry()))
                << state.form->frameGeometry().width() << "x"
                << state.form->frameGeometry().height();
            state.form->close();
            const WindowPlacement& place = state.settings.windowPlacement;
            const TwipsLayout& t = state.form->layout;
            EXPECT_LE(place.width, t.ToTwipsX(screen.width()));
            EXPECT_LE(place.height, t.ToTwipsY(screen.height()));
        }
    }
}

TEST_F(StartupTest, AStartAndACloseWithoutATouchKeepTheSavedPlacement) {
    struct Case {
        const char* what;
        int state;
    } cases[] = {{"normal", 0}, {"maximised", 2}};
    for (const Case& c : cases) {
        WriteIni(
            "[Window]\r\nWindowLeft=1500\r\nWindowTop=900\r\nWindowWidth=9060\r\n"
            "WindowHeight=7275\r\nWindowStyle=" +
            std::to_string(c.state) + "\r\n");
        ProgramState state;
        ASSERT_EQ(StartProgram(state, services, ""), StartResult::kRunning);
        // The window system's late answers, then the close.
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        state.form->close();
        const WindowPlacement& place = state.settings.windowPlacement;
        EXPECT_EQ(place.left, 1500) << c.what;
        EXPECT_EQ(place.top, 900) << c.what;
        EXPECT_EQ(place.width, 9060) << c.what;
        EXPECT_EQ(place.height, 7275) << c.what;
        EXPECT_EQ(place.state, c.state) << c.what;
    }
}

TEST_F(StartupTest, APlacementOffTheScreenIsMovedOntoIt) {
    WriteIni(
        "[Window]\r\nWindowLeft=1500\r\nWindowTop=-90000\r\nWindowWidth=9060\r\n"
        "WindowHeight=7275\r\nWindowStyle=0\r\n");
    ProgramState state;
    ASSERT_EQ(StartProgram(state, services, ""), StartResult::kRunning);
    QApplication::processEvents();
    QRect screen = state.form->screen()->availableGeometry();
    EXPECT_GE(state.form->frameGeometry().top(), screen.top());
    EXPECT_EQ(state.form->frameGeometry().x(), state.form->layout.ToPixelsX(1500));
}

TEST_F(StartupTest, NoSettingsFolderStopsWithItsMessage) {
    // A file where the settings folder should be: it cannot be made.
    std::ofstream(SettingsFolder()) << "not a folder";
    ProgramState state;
    EXPECT_EQ(StartProgram(state, services, ""), StartResult::kNoSettingsFolder);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "設定ファイルへのパスが取得できません。");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(services.messages[0].title, "Vekt／Quilmorn2008");
}
