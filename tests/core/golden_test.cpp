// Every boring in tests/data/golden (NAME.qmf) is read, calculated and written
// as test-output/NAME.CSV, which must equal NAME.CSV beside it apart from the
// first line (the date). A boring dropped into the folder is picked up.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/calc_driver.h"
#include "core/codepage.h"
#include "core/file_io.h"
#include "core/project_file.h"
#include "core/result_csv.h"
#include "support/recording_sinks.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGoldenFolder = fs::path(QM_TEST_DATA_DIR) / "golden";

std::vector<std::string> GoldenBorings() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(kGoldenFolder))
        if (entry.path().extension() == ".qmf")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start != bytes.size())
        lines.push_back(bytes.substr(start) + " (no CR LF at the end)");
    return lines;
}

// "液状化結果出力","yyyy/mm/dd"
bool IsDateLine(const std::string& line) {
    const std::string head = "\"液状化結果出力\",\"";
    if (line.size() != head.size() + 11 || line.compare(0, head.size(), head) != 0 ||
        line.back() != '"')
        return false;
    const std::string date = line.substr(head.size(), 10);
    for (size_t i = 0; i < date.size(); ++i) {
        const bool slash = i == 4 || i == 7;
        if (slash ? date[i] != '/' : !std::isdigit(static_cast<unsigned char>(date[i])))
            return false;
    }
    return true;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, ResultsFileMatches) {
    const std::string name = GetParam();
    Document doc;
    NewDocument(doc);
    RecordingMessageSink messages;
    RecordingCalcMessageSink calcMessages;
    ASSERT_EQ(kProjectFileOk,
              ReadProjectFile((kGoldenFolder / (name + ".qmf")).string(), doc, messages));

    const fs::path written = fs::path(QM_TEST_OUTPUT_DIR) / (name + ".CSV");
    fs::remove(written);
    SaveResultCsv(written.string(), doc, messages, calcMessages);
    EXPECT_TRUE(messages.messages.empty());

    std::string expectedBytes, actualBytes;
    ASSERT_TRUE(ReadWholeFile((kGoldenFolder / (name + ".CSV")).string(), expectedBytes))
        << "every golden boring needs its expected results file " << name << ".CSV";
    ASSERT_TRUE(ReadWholeFile(written.string(), actualBytes));
    const std::vector<std::string> expected = Lines(expectedBytes);
    const std::vector<std::string> actual = Lines(actualBytes);
    ASSERT_FALSE(actual.empty());
    EXPECT_TRUE(IsDateLine(Cp932ToUtf8(actual[0]))) << Cp932ToUtf8(actual[0]);
    for (size_t i = 1; i < std::min(expected.size(), actual.size()); ++i)
        EXPECT_EQ(Cp932ToUtf8(expected[i]), Cp932ToUtf8(actual[i])) << "line " << i + 1;
    EXPECT_EQ(expected.size(), actual.size());
}

INSTANTIATE_TEST_SUITE_P(Borings, Golden, testing::ValuesIn(GoldenBorings()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(GoldenFolder, HoldsTheBorings) {
    EXPECT_GE(GoldenBorings().size(), 5u);
}

}  // namespace
