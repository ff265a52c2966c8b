#include "core/project_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "core/codepage.h"
#include "core/file_io.h"
#include "support/recording_sinks.h"

namespace {

namespace fs = std::filesystem;

[[maybe_unused]] std::string DataPath(const std::string& name) {
    return std::string(QM_TEST_DATA_DIR) + "/project/" + name;
}

// A fresh folder under the build's test output for the files a test writes.
std::string ScratchFolder(const std::string& name) {
    fs::path folder = fs::path(QM_TEST_OUTPUT_DIR) / "project_file" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

// UTF-8 lines joined with CR LF and stored in CP932, as the program writes them.
[[maybe_unused]] std::string Cp932Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return Utf8ToCp932(text);
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

}  // namespace
