#include "core/project_file.h"

#include "core/settings_test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <functional>

#include <filesystem>
#include <fstream>

#include "core/calc_driver.h"
#include "core/codepage.h"
#include "core/file_io.h"
#include "core/result_csv.h"
#include "support/boring_builder.h"
#include "support/recording_sinks.h"

namespace {

namespace fs = std::filesystem;

std::string DataPath(const std::string& name) {
    return std::string(QM_TEST_DATA_DIR) + "/project/" + name;
}

// A fresh folder under the build's test output for the files a test writes.
std::string ScratchFolder(const std::string& name) {
    fs::path folder = fs::path(QM_TEST_OUTPUT_DIR) / "project_file" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

Document FullDocument() {
    Document doc;
    NewDocument(doc);
    doc.basicData.ProjectName = "工事, その1 \"仮称\"";
    doc.basicData.ShortName = "Ｂ－１, 北棟";
    doc.basicData.Site = "  埼玉県  ";
    doc.basicData.SurveyFrom = Date{2008, 2, 29};
    doc.basicData.SurveyTo = Date{2008, 3, 5};
    doc.basicData.DatumToGL = -0.35;
    doc.basicData.DatumToWaterLevel = 1.2;
    doc.basicData.DatumToDiluvium = 12.123456789012345;
    doc.nConvert30 = 1;
    doc.fcInputMode = 1;
    doc.nGraphMax = 60;
    doc.nPoints = {{1.15, 3, 30, 12.5}, {2.15, 50, 10, 0}, {-1, 0, 30, 0}, {3.3, 0.1, 29.5, 1e-7}};
    doc.layerColumnUsed = {1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    LayerRecord sand;
    sand.Thickness = 2.5;
    sand.SoilName = "細砂, 緩い";
    sand.SoilCode = 203;
    sand.gamma = -18;
    sand.FC = 10;
    sand.Ip = 0;
    sand.Es = 1234.5;
    LayerRecord clay;
    clay.Thickness = 0.1;
    clay.SoilName = "粘土";
    clay.SoilCode = 2147483647;
    clay.gamma = 16.5;
    clay.CC = -40;
    clay.Vp = 1500;
    clay.eo = 1.25;
    doc.layers = {sand, clay};
    doc.calcConditions.magnitude = 7.25;
    doc.calcConditions.surfaceAccel = 350;
    doc.calcConditions.calcDepth = 0;
    doc.calcConditions.calcRange = 1;
    doc.calcConditions.excludeClay20 = 1;
    doc.calcConditions.excludeFines35 = 0;
    doc.calcConditions.excludeFinesPlastic = 1;
    doc.calcConditions.guideEdition = 0;
    doc.calcConditions.calcReserved = {1, -2, 3, 0, 0, 0, 0, 0, 32767};
    doc.prevPrintItems = {1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return doc;
}

TEST(ProjectFile, FullRoundTripKeepsEveryField) {
    std::string path = ScratchFolder("round_trip") + "/full.qmf";
    Document written = FullDocument();
    ASSERT_EQ(WriteProjectFile(path, written), kProjectFileOk);

    Document read;
    NewDocument(read);
    read.currentFolder = "/kept";
    RecordingMessageSink messages;
    ASSERT_EQ(ReadProjectFile(path, read, messages), kProjectFileOk);
    EXPECT_TRUE(messages.messages.empty());

    // A double quote cannot be stored as it is; it comes back full-width.
    Document expected = written;
    expected.basicData.ProjectName = "工事, その1 ＂仮称＂";
    expected.currentFolder = "/kept";
    EXPECT_EQ(read, expected);
}

// A document whose every field differs from what the fixtures store, so that
// the tests see what a read replaces and what it keeps.
Document Before() {
    Document doc = FullDocument();
    doc.layerColumnUsed = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1};
    doc.prevPrintItems = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1};
    doc.calcConditions.calcReserved = {9, 8, 7, 6, 5, 4, 3, 2, 1};
    doc.calcConditions.guideEdition = 1;
    doc.calcPoints.resize(3);
    doc.calcResults.resize(3);
    doc.currentFileName = "open.qmf";
    doc.currentFolder = "/data";
    return doc;
}

int ReadFixture(const std::string& name, Document& doc) {
    RecordingMessageSink messages;
    int result = ReadProjectFile(DataPath(name), doc, messages);
    EXPECT_EQ(messages.messages.size(), result == kProjectFileOk ? 0u : 1u);
    return result;
}

TEST(ProjectFile, ReadsVersion10AndKeepsWhatItDoesNotStore) {
    Document doc = Before();
    ASSERT_EQ(ReadFixture("v10.qmf", doc), kProjectFileOk);
    EXPECT_EQ(doc.basicData.ProjectName, "旧版の工事, 第2期");
    EXPECT_EQ(doc.basicData.ShortName, "Ｂ－２");
    EXPECT_EQ(doc.basicData.SurveyFrom, (Date{1999, 12, 1}));
    EXPECT_EQ(doc.basicData.SurveyTo, (Date{1999, 12, 3}));
    EXPECT_EQ(doc.basicData.DatumToDiluvium, 8);
    ASSERT_EQ(doc.nPoints.size(), 3u);
    EXPECT_EQ(doc.nPoints[2].N, 25.5);
    EXPECT_EQ(doc.nPoints[2].FC, 0);
    ASSERT_EQ(doc.layers.size(), 2u);
    EXPECT_EQ(doc.layers[0].SoilName, "埋土");
    EXPECT_EQ(doc.layers[0].SoilCode, 901);
    EXPECT_EQ(doc.layers[0].gamma, -17);
    EXPECT_EQ(doc.layers[1].Thickness, 3.5);
    EXPECT_EQ(doc.layers[1].nu, 0.3);
    EXPECT_EQ(doc.layers[1].Vs, 120);
    // The six constants version 1.0 does not know start at 0 in the new rows.
    for (int item = 9; item <= kSoilConstantCount; ++item)
        EXPECT_EQ(doc.layers[0].Constant(item), 0) << item;
    // Flags 0..8 come from the file, 9..14 keep their values.
    EXPECT_EQ(doc.layerColumnUsed,
              (std::array<int, 15>{1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(doc.prevPrintItems, Before().prevPrintItems);
    EXPECT_EQ(doc.calcConditions.calcReserved, Before().calcConditions.calcReserved);
    EXPECT_EQ(doc.calcConditions.guideEdition, 0);
    EXPECT_EQ(doc.calcConditions.calcDepth, 20);
    // Stored results are not read; the caller recalculates.
    EXPECT_TRUE(doc.calcPoints.empty());
    EXPECT_TRUE(doc.calcResults.empty());
    EXPECT_EQ(doc.currentFileName, "open.qmf");
    EXPECT_EQ(doc.currentFolder, "/data");
}

TEST(ProjectFile, ReadsVersion15WithThe1988Edition) {
    Document doc = Before();
    ASSERT_EQ(ReadFixture("v15.qmf", doc), kProjectFileOk);
    EXPECT_EQ(doc.basicData.ShortName, "");
    EXPECT_EQ(doc.basicData.DatumToWaterLevel, 3);
    EXPECT_EQ(doc.basicData.DatumToDiluvium, 0);
    EXPECT_EQ(doc.nConvert30, 1);
    EXPECT_EQ(doc.fcInputMode, 1);
    EXPECT_EQ(doc.nGraphMax, 80);
    ASSERT_EQ(doc.nPoints.size(), 1u);
    EXPECT_EQ(doc.nPoints[0].Penetration, 10);
    EXPECT_EQ(doc.nPoints[0].FC, 35);
    ASSERT_EQ(doc.layers.size(), 1u);
    const double constants[] = {17.5, 35,   12,  18,   50,  0.45, 150,
                                1400, 5000, 0.8, 0.25, 100, 1.1,  7000};
    for (int item = 1; item <= kSoilConstantCount; ++item)
        EXPECT_EQ(doc.layers[0].Constant(item), constants[item - 1]) << item;
    EXPECT_EQ(doc.calcConditions.surfaceAccel, 150);
    EXPECT_EQ(doc.calcConditions.calcRange, 1);
    EXPECT_EQ(doc.calcConditions.excludeClay20, 1);
    EXPECT_EQ(doc.calcConditions.guideEdition, 0);
    // Stored with the first two items exchanged.
    EXPECT_EQ(doc.prevPrintItems, (PrintItemFlags{0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(doc.calcConditions.calcReserved, Before().calcConditions.calcReserved);
}

TEST(ProjectFile, ReadsVersion16AndSkipsTheStoredResults) {
    Document doc = Before();
    ASSERT_EQ(ReadFixture("v16.qmf", doc), kProjectFileOk);
    EXPECT_EQ(doc.basicData.ProjectName, "液状化検討, 本館");
    EXPECT_EQ(doc.basicData.DatumToGL, -0.3);
    ASSERT_EQ(doc.nPoints.size(), 2u);
    EXPECT_EQ(doc.nPoints[0].Depth, 1.15);
    EXPECT_EQ(doc.nPoints[0].N, 5);
    EXPECT_EQ(doc.nPoints[1].N, 12);
    ASSERT_EQ(doc.layers.size(), 2u);
    EXPECT_EQ(doc.layers[0].gamma, -18);
    EXPECT_EQ(doc.layers[1].SoilCode, 100);
    EXPECT_EQ(doc.prevPrintItems, (PrintItemFlags{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(doc.calcConditions.guideEdition, 1);
    EXPECT_EQ(doc.calcConditions.calcReserved, (std::array<int, 9>{0, 0, 0, 0, 0, 0, 0, 0, 7}));
    EXPECT_TRUE(doc.calcPoints.empty());
}

TEST(ProjectFile, NewDocumentWritesEmptyCountsAndReadsBackUnchanged) {
    std::string path = ScratchFolder("new") + "/new.qmf";
    Document doc;
    NewDocument(doc);
    ASSERT_EQ(WriteProjectFile(path, doc), kProjectFileOk);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    std::string text = Cp932ToUtf8(bytes);
    EXPECT_NE(text.find("\r\n@Ｎ値データ\r\n0,0,0,50\r\n@地層データ\r\n"
                        "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n@液状化データ\r\n"
                        "7.5,200,20,0,0,0,0,0\r\n@前回の出力指定\r\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(
        text.starts_with("\"Vekt/Quilmorn Ver1.6\",\"ヴァルンホルト株式会社\"\r\n@基本データ\r\n"));
    EXPECT_TRUE(text.ends_with("\r\n@計算条件\r\n1,0,0,0,0,0,0,0,0,0\r\n"));

    Document read = FullDocument();
    RecordingMessageSink messages;
    ASSERT_EQ(ReadProjectFile(path, read, messages), kProjectFileOk);
    read.currentFolder = doc.currentFolder;
    read.currentFileName = doc.currentFileName;
    read.calcConditions.gravity = doc.calcConditions.gravity;
    EXPECT_EQ(read, doc);
}

// The lines the writer makes for single fields.
TEST(ProjectFile, WritesEmptyAndSignedValuesAsStored) {
    Document doc;
    NewDocument(doc);
    doc.nPoints = {{1.5, 10, 30, 0}};
    LayerRecord layer;
    layer.Thickness = 2;
    layer.SoilName = "砂";
    layer.Vs = -150;  // a default from the tables, its column not in use
    doc.layers = {layer};
    doc.prevPrintItems = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::string text = Cp932ToUtf8(ProjectFileBytes(doc));
    EXPECT_NE(text.find("\r\n1.5,10,30,\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n2,2,\"砂\",0,,,,,,,-150,,,,,,,\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n@前回の出力指定\r\n0,1,0,0,0,0,0,0,0,0,0,0,0,0\r\n"),
              std::string::npos)
        << text;

    doc.fcInputMode = 1;
    text = Cp932ToUtf8(ProjectFileBytes(doc));
    EXPECT_NE(text.find("\r\n1.5,10,30,0\r\n"), std::string::npos) << text;

    Document read;
    ASSERT_EQ(ParseProjectFile(ProjectFileBytes(doc), read), kProjectFileOk);
    EXPECT_EQ(read.layers[0].Vs, -150);
    EXPECT_EQ(read.prevPrintItems, doc.prevPrintItems);
}

// Files that must not be read, with the result and the message they give.
TEST(ProjectFile, RejectedFilesGiveTheirResultAndMessageAndChangeNothing) {
    const std::string maker = "\"ヴァルンホルト株式会社\"";
    std::string valid = Cp932ToUtf8(ProjectFileBytes(FullDocument()));
    struct Case {
        const char* name;
        std::string utf8;
        int result;
        const char* message;
    };
    const Case cases[] = {
        {"other version", "\"Vekt/Quilmorn Ver2.0\"," + maker + "\r\n", kUnknownVersion,
         "未知のバージョンのファイルです"},
        {"short version", "\"Vekt/Quilmorn Ver\"," + maker + "\r\n", kUnknownVersion,
         "未知のバージョンのファイルです"},
        {"other maker", "\"Vekt/Quilmorn Ver1.6\",\"他社\"\r\n", kNotAProjectFile,
         "Vekt／Quilmorn2008のデータファイルではありません"},
        {"other maker, other version", "\"Vekt/Quilmorn Ver9\",\"\"\r\n", kNotAProjectFile,
         "Vekt／Quilmorn2008のデータファイルではありません"},
        {"other product", "\"Vekt/Quilmorm Ver1.6\"," + maker + "\r\n", kNotAProjectFile,
         "Vekt／Quilmorn2008のデータファイルではありません"},
        // Reading stops short of the two header values: a read error.
        {"empty file", "", kProjectFileError, "データの読み込みに失敗しました"},
        {"one value", "\"Vekt/Quilmorn Ver1.6\"\r\n", kProjectFileError,
         "データの読み込みに失敗しました"},
        {"header only", "\"Vekt/Quilmorn Ver1.6\"," + maker + "\r\n", kProjectFileError,
         "データの読み込みに失敗しました"},
        {"cut short", valid.substr(0, valid.size() / 2), kProjectFileError,
         "データの読み込みに失敗しました"},
        {"text for a number",
         "\"Vekt/Quilmorn Ver1.6\"," + maker + "\r\n@基本データ\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n" +
             "#2008-01-01#,#2008-01-01#\r\nabc,0,0\r\n",
         kProjectFileError, "データの読み込みに失敗しました"},
        {"impossible date",
         "\"Vekt/Quilmorn Ver1.6\"," + maker + "\r\n@基本データ\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n" +
             "#2007-02-29#,#2008-01-01#\r\n0,0,0\r\n",
         kProjectFileError, "データの読み込みに失敗しました"},
        {"count out of range",
         "\"Vekt/Quilmorn Ver1.6\"," + maker + "\r\n@基本データ\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n" +
             "#2008-01-01#,#2008-01-01#\r\n0,0,0\r\n@Ｎ値データ\r\n40000,0,0,50\r\n",
         kProjectFileError, "データの読み込みに失敗しました"},
    };
    std::string folder = ScratchFolder("rejected");
    for (const Case& c : cases) {
        std::string path = folder + "/" + c.name + ".qmf";
        std::ofstream(path, std::ios::binary) << Utf8ToCp932(c.utf8);
        Document doc = Before();
        RecordingMessageSink messages;
        EXPECT_EQ(ReadProjectFile(path, doc, messages), c.result) << c.name;
        EXPECT_EQ(doc, Before()) << c.name;
        ASSERT_EQ(messages.messages.size(), 1u) << c.name;
        EXPECT_EQ(messages.messages[0].text, std::string(c.message) + "\r\n\r\n" + path) << c.name;
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(messages.messages[0].title, "Vekt／Quilmorn2008");
        EXPECT_EQ(messages.messages[0].buttons, MessageButtons::Ok);
    }
}

TEST(ProjectFile, MissingFileOrFolderIsNotFound) {
    std::string folder = ScratchFolder("missing");
    for (const std::string& path : {folder + "/none.qmf", folder}) {
        Document doc = Before();
        RecordingMessageSink messages;
        EXPECT_EQ(ReadProjectFile(path, doc, messages), kProjectFileNotFound);
        EXPECT_EQ(doc, Before());
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, "ファイルが見つかりませんでした\r\n\r\n" + path);
    }
}

// Only a regular file of sane size is read: anything else is refused at once
// with the read error, without waiting on it or reading it into memory.
TEST(ProjectFile, OnlyRegularFilesOfSaneSizeAreRead) {
    std::string folder = ScratchFolder("hostile");
    std::string header = Utf8ToCp932("\"Vekt/Quilmorn Ver1.6\",\"ヴァルンホルト株式会社\"\r\n");
    std::string fifo = folder + "/fifo.qmf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Sparse: the size is there, the disk blocks are not.
    std::string oversized = folder + "/oversized.qmf";
    std::ofstream(oversized, std::ios::binary) << header;
    fs::resize_file(oversized, kMaxTextFileBytes + 1);
    std::string largest = folder + "/largest.qmf";
    std::ofstream(largest, std::ios::binary) << header;
    fs::resize_file(largest, kMaxTextFileBytes);
    for (const std::string& path : {fifo, std::string("/dev/zero"), oversized}) {
        SCOPED_TRACE(path);
        Document doc = Before();
        RecordingMessageSink messages;
        EXPECT_EQ(ReadProjectFile(path, doc, messages), kProjectFileError);
        EXPECT_EQ(doc, Before());
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, "データの読み込みに失敗しました\r\n\r\n" + path);
    }
    // A file at the cap is read (and then refused for what it holds).
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(largest, bytes));
    EXPECT_EQ(bytes.size(), kMaxTextFileBytes);
    EXPECT_FALSE(ReadWholeFile(oversized, bytes));
    EXPECT_EQ(bytes.size(), kMaxTextFileBytes);  // unchanged by the refusal
}

// A read-only project file is not replaced, even though its folder would let
// the rename go around its mode (and even for a user the mode does not bind).
TEST(ProjectFile, WriteRefusesAReadOnlyFile) {
    std::string folder = ScratchFolder("read-only");
    for (mode_t mode : {0444, 0400}) {
        std::string path = folder + "/site-" + std::to_string(mode) + ".qmf";
        std::ofstream(path, std::ios::binary) << "old contents";
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        EXPECT_EQ(WriteProjectFile(path, FullDocument()), kProjectFileError);
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(path, bytes));
        EXPECT_EQ(bytes, "old contents");
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, mode);
    }
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 2);  // no temporary file left behind
}

TEST(ProjectFile, WriteReplacesTheFileWholeOrNotAtAll) {
    std::string folder = ScratchFolder("write");
    std::string path = folder + "/site.qmf";
    std::ofstream(path, std::ios::binary) << "old contents";
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    Document doc = FullDocument();
    ASSERT_EQ(WriteProjectFile(path, doc), kProjectFileOk);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, ProjectFileBytes(doc));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // Failures: a folder in the way, a missing folder. Nothing is left behind.
    fs::create_directory(folder + "/taken.qmf");
    EXPECT_EQ(WriteProjectFile(folder + "/taken.qmf", doc), kProjectFileError);
    EXPECT_EQ(WriteProjectFile(folder + "/no/such/folder.qmf", doc), kProjectFileError);
    EXPECT_EQ(WriteProjectFile("", doc), kProjectFileError);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 2);  // site.qmf and the folder
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, ProjectFileBytes(doc));
}

// A project file reached through a symbolic link is saved into the file the
// link names; the link stays a link.
TEST(ProjectFile, WriteThroughALinkReplacesTheFileItNames) {
    std::string folder = ScratchFolder("link");
    fs::create_directory(folder + "/real");
    std::string target = folder + "/real/site.qmf";
    std::ofstream(target, std::ios::binary) << "old contents";
    std::string link = folder + "/site.qmf";
    fs::create_symlink("real/site.qmf", link);

    Document doc = FullDocument();
    ASSERT_EQ(WriteProjectFile(link, doc), kProjectFileOk);
    EXPECT_TRUE(fs::is_symlink(link));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(target, bytes));
    EXPECT_EQ(bytes, ProjectFileBytes(doc));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder + "/real"))
        ++entries;
    EXPECT_EQ(entries, 1);  // no temporary file left behind
}

TEST(ProjectFile, ReadsWhatTheWriterWritesForAwkwardValues) {
    Document doc = FullDocument();
    doc.basicData.ProjectName = "";
    doc.basicData.Site = "\"";
    doc.nPoints = {{5e-324, 1e300, -0.0, 0.1 + 0.2}};
    doc.layers[0].SoilName = "a,b\",\"c";
    Document read;
    ASSERT_EQ(ParseProjectFile(ProjectFileBytes(doc), read), kProjectFileOk);
    EXPECT_EQ(read.basicData.ProjectName, "");
    EXPECT_EQ(read.basicData.Site, "＂");
    EXPECT_EQ(read.layers[0].SoilName, "a,b＂,＂c");
    EXPECT_EQ(read.nPoints, doc.nPoints);
}

TEST(ProjectFile, TextsCp932CannotHoldBecomeQuestionMarks) {
    Document doc = FullDocument();
    doc.basicData.Site = "Zürich 😀";
    Document read;
    ASSERT_EQ(ParseProjectFile(ProjectFileBytes(doc), read), kProjectFileOk);
    EXPECT_EQ(read.basicData.Site, "Z?rich ?");
}

// Bytes that are not CP932 are read as "?", and the reader names the texts
// that held them, so that the window can tell the user at opening.
TEST(ProjectFile, NamesTheTextsThatCouldNotBeReadWhole) {
    Document doc = FullDocument();
    doc.basicData.ProjectName = "PROJ";
    doc.basicData.Site = "SITE";
    doc.layers[1].SoilName = "SOIL";
    std::string bytes = ProjectFileBytes(doc);
    auto damage = [&bytes](const std::string& text, const std::string& into) {
        size_t at = bytes.find(text);
        ASSERT_NE(at, std::string::npos) << text;
        bytes.replace(at, text.size(), into);
    };
    damage("PROJ",
           "P\xFF"
           "J");  // no character at all
    damage("SITE",
           "S\x85\x40"
           "E");              // an unassigned double-byte code
    damage("SOIL", "S\x81");  // a lead byte without its trail
    std::string path = ScratchFolder("unreadable") + "/damaged.qmf";
    std::ofstream(path, std::ios::binary) << bytes;

    Document read;
    NewDocument(read);
    RecordingMessageSink messages;
    std::vector<std::string> unreadable{"left over"};
    ASSERT_EQ(ReadProjectFile(path, read, messages, &unreadable), kProjectFileOk);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(unreadable, (std::vector<std::string>{"工事名", "調査地", "2行目の土質名"}));
    EXPECT_EQ(read.basicData.ProjectName, "P?J");
    EXPECT_EQ(read.basicData.Site, "S?E");
    EXPECT_EQ(read.basicData.ShortName, doc.basicData.ShortName);

    const std::string message = UnreadableTextsMessage(unreadable, path);
    EXPECT_EQ(message,
              "次の文字列に読み取れない文字があり、「?」に置き換えて読み込みました。\r\n"
              "このまま保存すると「?」で保存されます。\r\n\r\n"
              "工事名\r\n調査地\r\n2行目の土質名\r\n\r\n" +
                  path);

    // A whole file names none; a "?" of its own is no damage.
    doc.basicData.ProjectName = "何?";
    ASSERT_EQ(ParseProjectFile(ProjectFileBytes(doc), read, &unreadable), kProjectFileOk);
    EXPECT_TRUE(unreadable.empty());
}

// A text of another writer, unquoted and holding a double quote, reads as it
// stands; as no text can be saved with one, the note names it.
TEST(ProjectFile, ABareQuoteInAnUnquotedTextIsNamedInTheNote) {
    Document doc;
    NewDocument(doc);
    doc.basicData.ShortName = "SHORT";
    std::string bytes = ProjectFileBytes(doc);
    const size_t at = bytes.find("\"SHORT\"");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 7, "12\"-A\x81");
    Document read;
    NewDocument(read);
    std::vector<std::string> unreadable;
    ASSERT_EQ(ParseProjectFile(bytes, read, &unreadable), kProjectFileOk);
    EXPECT_EQ(read.basicData.ShortName, "12\"-A?");
    EXPECT_EQ(unreadable, (std::vector<std::string>{"略称（「\"」は保存すると「＂」になります）"}));
    EXPECT_NE(UnreadableTextsMessage(unreadable, "/d/a.qmf").find(unreadable[0]),
              std::string::npos);
}

TEST(ProjectFile, UnreadableTextsMessageCountsWhatItDoesNotName) {
    std::vector<std::string> many;
    for (int row = 1; row <= 12; ++row)
        many.push_back(std::to_string(row) + "行目の土質名");
    const std::string message = UnreadableTextsMessage(many, "/d/a.qmf");
    EXPECT_NE(message.find("10行目の土質名\r\nほか2件\r\n"), std::string::npos);
    EXPECT_EQ(message.find("11行目"), std::string::npos);
}

// Inputs the fuzz target once failed on, kept under project/fuzz/: each must
// be read or refused without harm, and a refusal must change nothing.
TEST(ProjectFile, FuzzFindingsAreReadOrRefusedCleanly) {
    fs::path folder = fs::path(QM_TEST_DATA_DIR) / "project" / "fuzz";
    if (!fs::exists(folder))
        return;  // none kept
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(entry.path().string(), bytes));
        Document doc = Before();
        if (ParseProjectFile(bytes, doc) != kProjectFileOk) {
            EXPECT_EQ(doc, Before()) << entry.path();
        }
    }
}

TEST(ProjectFile, RefusesToWriteWhatCouldNotBeReadBack) {
    std::string folder = ScratchFolder("unstorable");
    Document doc = FullDocument();
    doc.nPoints.resize(32768);
    EXPECT_EQ(WriteProjectFile(folder + "/rows.qmf", doc), kProjectFileError);
    doc = FullDocument();
    doc.calcConditions.calcReserved[8] = 40000;
    EXPECT_EQ(WriteProjectFile(folder + "/reserved.qmf", doc), kProjectFileError);
    doc = FullDocument();
    doc.basicData.SurveyTo = Date{0, 0, 0};
    EXPECT_EQ(WriteProjectFile(folder + "/date.qmf", doc), kProjectFileError);
    EXPECT_TRUE(fs::is_empty(folder));
    doc = FullDocument();
    doc.nPoints.resize(32767);
    EXPECT_EQ(WriteProjectFile(folder + "/most.qmf", doc), kProjectFileOk);
}

// What keeps a document from its file is named, for the user's message.
TEST(ProjectFile, NamesWhatKeepsADocumentFromItsFile) {
    struct Case {
        const char* what;
        std::function<void(Document&)> change;
        std::string reason;
    };
    const Case cases[] = {
        {"as it is", [](Document&) {}, ""},
        {"the most N-value rows", [](Document& d) { d.nPoints.resize(32767); }, ""},
        {"one N-value row too many", [](Document& d) { d.nPoints.resize(32768); },
         "N値の行が多すぎます（32767行までです）"},
        {"one layer too many", [](Document& d) { d.layers.resize(32768); },
         "土質の行が多すぎます（32767行までです）"},
        {"one point too many", [](Document& d) { d.calcPoints.resize(32768); },
         "計算点が多すぎます（32767点までです）"},
        {"a condition switch", [](Document& d) { d.calcConditions.calcReserved[8] = 40000; },
         "計算条件の値が範囲外です"},
        {"the N-value limit", [](Document& d) { d.nGraphMax = -40000; },
         "N値の入力設定の値が範囲外です"},
        {"a soil column switch", [](Document& d) { d.layerColumnUsed[14] = 32768; },
         "土質の入力設定の値が範囲外です"},
        {"a print item", [](Document& d) { d.prevPrintItems[0] = 99999; },
         "印刷項目の値が範囲外です"},
        {"a survey date",
         [](Document& d) {
             d.basicData.SurveyFrom = Date{0, 0, 0};
         },
         "調査期間の日付が正しくありません"},
    };
    for (const Case& c : cases) {
        Document doc = FullDocument();
        c.change(doc);
        EXPECT_EQ(UnstorableReason(doc), c.reason) << c.what;
    }
}

}  // namespace

namespace {

// A calculated sand boring whose layers carry FC, CC and Ip and whose rows
// carry an FC of their own, so that every switch changes some result.
Document SwitchBoring() {
    BoringBuilder b;
    b.Layer(3, 18, 40, 25, 20).Layer(7, -19, 10, 5, 5).Water(1.5);
    for (int z = 1; z <= 9; ++z)
        b.Row(z, 8 + z, z < 4 ? 50 : 12);
    b.doc.calcConditions.calcRange = 0;
    b.doc.layerColumnUsed = {1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    b.doc.prevPrintItems = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    return b.doc;
}

struct OddValue {
    const char* what;
    int& (*field)(Document&);
    int odd;   // what the file holds
    int read;  // what every reader of the document takes it for
};

}  // namespace

// Switches a file brings outside 0 and 1 (and an axis limit outside 10 to 100)
// are read one way: non-zero is on, as the results file reads the guide
// edition. The calculation, the results file and a re-save of the file as read
// then agree with a file that held the sound value, and a second open and save
// changes nothing more.
TEST(ProjectFile, OddSwitchValuesAreReadOneWayEverywhere) {
    const OddValue cases[] = {
        {"guide edition 32767", [](Document& d) -> int& { return d.calcConditions.guideEdition; },
         32767, 1},
        {"guide edition -1", [](Document& d) -> int& { return d.calcConditions.guideEdition; }, -1,
         1},
        {"FC input mode 2", [](Document& d) -> int& { return d.fcInputMode; }, 2, 1},
        {"penetration column 2", [](Document& d) -> int& { return d.nConvert30; }, 2, 1},
        {"calculation range -1", [](Document& d) -> int& { return d.calcConditions.calcRange; }, -1,
         1},
        {"clay exclusion 2", [](Document& d) -> int& { return d.calcConditions.excludeClay20; }, 2,
         1},
        {"fines exclusion 3", [](Document& d) -> int& { return d.calcConditions.excludeFines35; },
         3, 1},
        {"plastic exclusion 32767",
         [](Document& d) -> int& { return d.calcConditions.excludeFinesPlastic; }, 32767, 1},
        {"CC column 32767", [](Document& d) -> int& { return d.layerColumnUsed[3]; }, 32767, 1},
        {"soil symbol column -5", [](Document& d) -> int& { return d.layerColumnUsed[0]; }, -5, 1},
        {"print item Vs 7", [](Document& d) -> int& { return d.prevPrintItems[6]; }, 7, 1},
        {"N axis 5", [](Document& d) -> int& { return d.nGraphMax; }, 5, 10},
        {"N axis 1000", [](Document& d) -> int& { return d.nGraphMax; }, 1000, 100},
    };
    for (const OddValue& c : cases) {
        SCOPED_TRACE(c.what);
        Document odd = SwitchBoring();
        c.field(odd) = c.odd;
        Document sound = SwitchBoring();
        c.field(sound) = c.read;

        Document opened;
        NewDocument(opened);
        ASSERT_EQ(ParseProjectFile(ProjectFileBytes(odd), opened), kProjectFileOk);
        EXPECT_EQ(c.field(opened), c.read);
        Document expected;
        NewDocument(expected);
        ASSERT_EQ(ParseProjectFile(ProjectFileBytes(sound), expected), kProjectFileOk);
        EXPECT_EQ(opened, expected);

        // The calculation and the results file.
        RecordingCalcMessageSink messages, soundMessages;
        CalcLiquefaction(opened, messages);
        CalcLiquefaction(expected, soundMessages);
        EXPECT_EQ(messages.messages, soundMessages.messages);
        EXPECT_EQ(opened.calcPoints, expected.calcPoints);
        EXPECT_EQ(opened.calcResults, expected.calcResults);
        const Date day{2026, 12, 10};
        EXPECT_EQ(ResultCsvBytes(opened, day), ResultCsvBytes(expected, day));

        // Saved and opened again: the same file and the same document.
        const std::string saved = ProjectFileBytes(opened);
        EXPECT_EQ(saved, ProjectFileBytes(expected));
        Document reopened;
        NewDocument(reopened);
        ASSERT_EQ(ParseProjectFile(saved, reopened), kProjectFileOk);
        CalcLiquefaction(reopened, messages);
        EXPECT_EQ(ProjectFileBytes(reopened), saved);
    }
}

// The two cases the screen made visible: a guide edition of 32767 is the 2001
// edition for the library and the results file alike. Both fines exclusions
// on stay on, so that an open and a save change no stored condition; the
// calculation applies the wider one, and the results name both.
TEST(ProjectFile, OddSwitchValuesGiveTheResultsOfTheirReading) {
    Document odd = SwitchBoring();
    odd.calcConditions.guideEdition = 32767;
    odd.calcConditions.excludeFines35 = 2;
    odd.calcConditions.excludeFinesPlastic = 3;
    Document opened;
    NewDocument(opened);
    ASSERT_EQ(ParseProjectFile(ProjectFileBytes(odd), opened), kProjectFileOk);
    EXPECT_EQ(opened.calcConditions.guideEdition, 1);
    EXPECT_EQ(opened.calcConditions.excludeFines35, 1);
    EXPECT_EQ(opened.calcConditions.excludeFinesPlastic, 1);
    RecordingCalcMessageSink messages;
    CalcLiquefaction(opened, messages);
    EXPECT_TRUE(messages.messages.empty());
    const std::string csv = Cp932ToUtf8(ResultCsvBytes(opened, Date{2026, 12, 10}));
    EXPECT_NE(csv.find("建築基礎構造設計指針 2001年版による"), std::string::npos);
    EXPECT_NE(
        csv.find(
            "\"(土質定数による対象除外条件)\",\"細粒分含有率35%以上の全ての層は対象外とする\"\r\n"
            "\"\",\"細粒分含有率35%以上で粘土含有率10%以上あるいは塑性指数15%以上の層は"
            "対象外とする\"\r\n"),
        std::string::npos)
        << csv;
    // The calculation with the fines exclusion alone gives the same points.
    Document alone = SwitchBoring();
    alone.calcConditions.excludeFines35 = 1;
    CalcLiquefaction(alone, messages);
    EXPECT_EQ(opened.calcResults, alone.calcResults);
}

// A file of another writer with both fines exclusions on: an open and a save
// write them back as they were.
TEST(ProjectFile, BothFinesExclusionsSurviveAnOpenAndASave) {
    TempFolder temp;
    const std::string path = temp.File("both.qmf");
    Document both = SwitchBoring();
    both.calcConditions.excludeFines35 = 1;
    both.calcConditions.excludeFinesPlastic = 1;
    ASSERT_EQ(WriteProjectFile(path, both), kProjectFileOk);
    const std::string stored = ReadBytes(path);
    RecordingMessageSink sink;
    Document opened;
    NewDocument(opened);
    ASSERT_EQ(ReadProjectFile(path, opened, sink), kProjectFileOk);
    ASSERT_EQ(WriteProjectFile(path, opened), kProjectFileOk);
    EXPECT_EQ(stored, ReadBytes(path));
}

namespace {

// A writable project in a folder the user cannot write: the message says the
// folder is why, and points to Save As.
TEST(ProjectWriteFailedText, SaysWhyAndWhatTheUserCanDo) {
    TempFolder temp;
    const std::string folder = temp.File("shared");
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/site.qmf";
    ASSERT_EQ(WriteProjectFile(path, Document{}), kProjectFileOk);
    std::filesystem::permissions(path, std::filesystem::perms(0666));
    std::filesystem::permissions(temp.path(), std::filesystem::perms(0755));
    const std::string plain = "ﾌｧｲﾙの書き込みに失敗しました\r\n\r\n" + path;
    EXPECT_EQ(ProjectWriteFailedText(path, WriteResult{}), plain);
    const std::string expected = plain + "\r\n\r\nフォルダ " + folder +
                                 " に書き込む権限がないため、保存できません。\r\n"
                                 "「名前を付けて保存」で書き込めるフォルダに保存してください。";
    std::filesystem::permissions(folder, std::filesystem::perms(0755));
    auto check = [&] {
        ProjectWrite write;
        if (WriteProjectFile(path, Document{}, &write) == kProjectFileOk)
            return 1;
        return ProjectWriteFailedText(path, write.result) == expected ? 0 : 2;
    };
    std::optional<int> result = AsAnotherUser(check);
    if (!result) {
        std::filesystem::permissions(folder, std::filesystem::perms(0555));
        result = check();
        std::filesystem::permissions(folder, std::filesystem::perms(0755));
    }
    EXPECT_EQ(0, *result);
}

}  // namespace
