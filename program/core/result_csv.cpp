#include "core/result_csv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "core/calc_driver.h"
#include "core/codepage.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/result_grades.h"
#include "core/value_line.h"

namespace {

constexpr const char* kWriteFailed = "CSVﾌｧｲﾙの書き込みに失敗しました";
constexpr const char* kResultsTitle = "液状化結果出力";

// A number as the program shows it in text: up to 15 significant digits, with
// a 0 before a leading decimal point ("7.5", "200", "0.5").
std::string NumberText(double value) {
    const std::string text = StrOfNumber(value);
    std::string_view rest(text);
    if (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    std::string result;
    if (!rest.empty() && rest.front() == '-') {
        result.push_back('-');
        rest.remove_prefix(1);
    }
    if (!rest.empty() && rest.front() == '.')
        result.push_back('0');
    result += rest;
    return result;
}

struct Column {
    const char* heading;
    const char* pattern;
    bool blankZero;
    double (*value)(const CalcPoint&, const CalcResult&);
};

// The table's columns; the clay content and plasticity columns (indexes 3 and
// 4) are written only when the layer table uses them.
const Column kColumns[] = {
    {"計算深度GL(m)", "##0.#0", false,
     [](const CalcPoint& p, const CalcResult&) { return p.Depth; }},
    {"N値(回)", "##0", false, [](const CalcPoint& p, const CalcResult&) { return p.N; }},
    {"細粒分含有率FC(%)", "##0.0", false,
     [](const CalcPoint& p, const CalcResult&) { return p.FC; }},
    {"粘土含有率CC(%)", "##0.0", false, [](const CalcPoint& p, const CalcResult&) { return p.CC; }},
    {"塑性指数Ip(%)", "##0.0", false, [](const CalcPoint& p, const CalcResult&) { return p.Ip; }},
    {"全土被り圧σz(kN/m2)", "##0.0", false,
     [](const CalcPoint& p, const CalcResult&) { return p.SigmaZ; }},
    {"有効土被り圧σ'z(kN/m2)", "##0.0", false,
     [](const CalcPoint& p, const CalcResult&) { return p.SigmaZe; }},
    {"補正係数γn", "##0.#0", false, [](const CalcPoint&, const CalcResult& r) { return r.rn; }},
    {"低減係数γd", "##0.#0", false, [](const CalcPoint&, const CalcResult& r) { return r.rd; }},
    {"応力振幅τd(kN/m2)", "##0.#0", false,
     [](const CalcPoint&, const CalcResult& r) { return r.tauD; }},
    {"応力比τd/σ'z", "#0.##0", false,
     [](const CalcPoint&, const CalcResult& r) { return r.tauDRatio; }},
    {"換算N値係数CN", "#0.##0", false, [](const CalcPoint&, const CalcResult& r) { return r.cn; }},
    {"換算N値N1", "##0.#0", false, [](const CalcPoint&, const CalcResult& r) { return r.n1; }},
    {"補正N値増分ΔNf", "##0.#0", false,
     [](const CalcPoint&, const CalcResult& r) { return r.deltaNf; }},
    {"補正N値Na", "##0.#0", false, [](const CalcPoint&, const CalcResult& r) { return r.na; }},
    {"液状化抵抗τl(kN/m2)", "##0.#0", false,
     [](const CalcPoint&, const CalcResult& r) { return r.tauL; }},
    {"抵抗比τl/σ'z", "#0.##0", false,
     [](const CalcPoint&, const CalcResult& r) { return r.tauLRatio; }},
    {"安全率Fl(*)", "##0.#0", false, [](const CalcPoint&, const CalcResult& r) { return r.fl; }},
    {"繰返し⊿変位⊿Dcy(cm)", "##0.#0", true,
     [](const CalcPoint&, const CalcResult& r) { return r.dcyShare; }},
    {"危険度指標⊿PL", "##0.#0", true,
     [](const CalcPoint&, const CalcResult& r) { return r.plShare; }},
    {"水平地盤反力係数の低減係数β", "#0.##0", false,
     [](const CalcPoint&, const CalcResult& r) { return r.beta; }},
    {"地盤剛性低下率G/Go", "##0.#0", true,
     [](const CalcPoint&, const CalcResult& r) { return r.gRatio; }},
    {"水圧上昇比u", "##0.#0", true, [](const CalcPoint&, const CalcResult& r) { return r.ru; }},
};

constexpr size_t kClayColumn = 3;
constexpr size_t kPlasticityColumn = 4;

class ResultWriter {
  public:
    explicit ResultWriter(const Document& doc) : doc_(doc) {}

    std::string Text(const Date& today);

  private:
    void Values(std::initializer_list<std::string_view> texts) {
        std::vector<LineValue> values;
        for (std::string_view text : texts)
            values.push_back(LineValue::Text(text));
        Line(FormatValueLine(values));
    }
    void Line(const std::string& line) { text_ += line + "\r\n"; }
    bool Shown(size_t column) const {
        if (column == kClayColumn)
            return doc_.layerColumnUsed[3] == 1;
        if (column == kPlasticityColumn)
            return doc_.layerColumnUsed[4] == 1;
        return true;
    }
    void Conditions(const Date& today);
    void Table();

    const Document& doc_;
    std::string text_;
};

void ResultWriter::Conditions(const Date& today) {
    const CalcConditions& c = doc_.calcConditions;
    Values({"液状化結果出力", FormatDate(today, "yyyy/mm/dd")});
    Values({"(計算条件)", "マグニチュード", NumberText(c.magnitude)});
    Values({"", "設計用水平加速度", NumberText(c.surfaceAccel), "(cm/s2)"});
    Values({"", "基点-計算深さ", NumberText(c.calcDepth), "(m)"});
    Values({"(計算範囲条件)", c.calcRange == 1 ? "計算深さまでの全域を対象として計算を行う"
                                               : "地下水位以浅は計算しない"});
    Values({"(地盤反力係数の低減率)", c.guideEdition != 0 ? "建築基礎構造設計指針 2001年版による"
                                                          : "建築基礎構造設計指針 1988年版による"});

    const char* heading = "(土質定数による対象除外条件)";
    auto exclusion = [&](int flag, const char* text) {
        if (flag != 1)
            return;
        Values({heading, text});
        heading = "";
    };
    exclusion(c.excludeClay20, "粘土含有率20%以上の層は対象外とする");
    exclusion(c.excludeFines35, "細粒分含有率35%以上の全ての層は対象外とする");
    exclusion(c.excludeFinesPlastic,
              "細粒分含有率35%以上で粘土含有率10%以上あるいは塑性指数15%以上の層は対象外とする");

    bool liquefies = false;
    for (size_t p = 0; p < doc_.calcPoints.size(); ++p)
        if (doc_.calcPoints[p].N != 0 && doc_.calcResults[p].fl < 1)
            liquefies = true;
    Values({"(液状化の安全率)",
            liquefies ? "Fl値が1未満の層があり液状化の可能性がある"
                      : "Fl値が1未満の層はなくFl値からは液状化の可能性はないと判断できる"});

    if (!doc_.calcPoints.empty()) {
        const CalcResult& last = doc_.calcResults.back();
        // Unpadded: only the table's columns are fixed-width.
        Values({"(液状化の程度)", "Dcy=" + FormatNumber(last.DcyTotal, "##0.#0") + "(cm) ",
                std::string("液状化の程度は") + DcyGrade(last.DcyTotal)});
        Values({"(液状化危険度指標)", "PL=" + FormatNumber(last.PLTotal, "##0.#0"),
                std::string("液状化の危険度は") + PlGrade(last.PLTotal)});
    }
    Values({""});
}

void ResultWriter::Table() {
    std::string header;
    for (size_t i = 0; i < std::size(kColumns); ++i)
        if (Shown(i))
            header += std::string("\"") + kColumns[i].heading + "\",";
    Line(header);

    for (size_t p = 0; p < doc_.calcPoints.size(); ++p) {
        const CalcPoint& point = doc_.calcPoints[p];
        if (point.N == 0)
            continue;
        const CalcResult& result = doc_.calcResults[p];
        std::string line;
        for (size_t i = 0; i < std::size(kColumns); ++i) {
            if (!Shown(i))
                continue;
            const Column& column = kColumns[i];
            const double value = column.value(point, result);
            line += column.blankZero ? FormatFixedBlankZero(value, column.pattern, 1)
                                     : FormatFixed(value, column.pattern);
            line += ",";
        }
        Line(line);
    }
    Values(
        {"(*)Fl値が1より大きい土層は液状化発生の可能性がないものと判断し、"
         "逆に1以下はその可能性があると判断する."});
}

std::string ResultWriter::Text(const Date& today) {
    text_.clear();
    Conditions(today);
    Table();
    return text_;
}

}  // namespace

std::string ResultCsvPath(const std::string& projectPath) {
    // Either separator ends a folder, as for every path a user's file may hold.
    const size_t separator = projectPath.find_last_of("/\\");
    const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const size_t dot = projectPath.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return projectPath + ".CSV";
    // A project file that is itself named .CSV must not be replaced by its
    // own results (on a case-blind disk "csv" names the same file).
    std::string extension = projectPath.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (extension == "CSV")
        return projectPath + ".CSV";
    return projectPath.substr(0, dot + 1) + "CSV";
}

std::string ResultCsvBytes(const Document& doc, const Date& today) {
    return Utf8ToCp932(ResultWriter(doc).Text(today));
}

std::string ResultCsvWriteFailedText(const std::string& path, const WriteResult& result) {
    return std::string(kWriteFailed) + "\r\n\r\n" + path + "\r\n\r\n" + WriteFailureReason(result);
}

void SaveResultCsv(const std::string& path, Document& doc, MessageSink& messages,
                   CalcMessageSink& calcMessages, QuorlithLibrary& library) {
    CalcLiquefaction(doc, calcMessages, library);
    if (const WriteResult written = WriteFileReplacing(path, ResultCsvBytes(doc, Today()));
        !written)
        messages.ShowMessage(ResultCsvWriteFailedText(path, written), MessageIcon::None);
}

ResultsTarget LookAtResultsTarget(const std::string& path, int* error) {
    auto unreadable = [&](int cause) {
        if (error)
            *error = cause;
        return cause == ENAMETOOLONG ? ResultsTarget::NameTooLong : ResultsTarget::Unreadable;
    };
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? ResultsTarget::Free : unreadable(errno);
    if (!S_ISREG(info.st_mode))
        return ResultsTarget::Other;
    // The first value of a results file is its title, in quotes.
    const std::string title = Utf8ToCp932(std::string("\"") + kResultsTitle + "\"");
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return unreadable(errno);
    std::string head(title.size() + 1, '\0');
    size_t got = 0;
    while (got < head.size()) {
        ssize_t n = read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    head.resize(got);
    if (head.size() < title.size() || head.compare(0, title.size(), title) != 0)
        return ResultsTarget::Other;
    const bool titleEnds = head.size() == title.size() || head.back() == ',' ||
                           head.back() == '\r' || head.back() == '\n';
    return titleEnds ? ResultsTarget::Results : ResultsTarget::Other;
}

namespace {

// Why a results path could not be looked at, in words the user can act on.
std::string UnreadableReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "読み取る権限がありません";
        case ELOOP:
            return "シンボリックリンクが循環しています";
        case ENOTDIR:
            return "途中にフォルダでないものがあります";
        default:
            return "エラー番号 " + std::to_string(error);
    }
}

}  // namespace

void SaveResultCsvBeside(const std::string& projectPath, Document& doc, MessageSink& messages,
                         CalcMessageSink& calcMessages, QuorlithLibrary& library) {
    const std::string path = ResultCsvPath(projectPath);
    int error = 0;
    const ResultsTarget target = LookAtResultsTarget(path, &error);
    if (target == ResultsTarget::Free || target == ResultsTarget::Results) {
        SaveResultCsv(path, doc, messages, calcMessages, library);
        return;
    }
    // The screen still shows the results of the data as saved.
    CalcLiquefaction(doc, calcMessages, library);
    std::string why;
    switch (target) {
        case ResultsTarget::NameTooLong:
            why =
                "\r\nはファイル名が長すぎて、このファイルシステムには作れません。\r\n"
                "結果ファイルも書き込むには、短い名前で保存し直してください。";
            break;
        case ResultsTarget::Unreadable:
            why = "\r\nを調べることができなかったため（" + UnreadableReason(error) +
                  "）、書き込みませんでした。";
            break;
        default:
            why = "\r\nは結果ファイルではないため、そのまま残しました。";
            break;
    }
    messages.ShowMessage("結果ファイルは書き込みませんでした。\r\n\r\n" + path + why +
                             "\r\n\r\nデータファイル " + projectPath + " は保存しました。",
                         MessageIcon::Exclamation);
}
