#include "core/project_file.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/codepage.h"
#include "core/file_io.h"
#include "core/path_helpers.h"
#include "core/value_line.h"

namespace {

constexpr std::string_view kHeaderPrefix = "Vekt/Quilmorn Ver";
constexpr const char* kVersion10 = "Vekt/Quilmorn Ver1.0";
constexpr const char* kVersion15 = "Vekt/Quilmorn Ver1.5";
constexpr const char* kVersion16 = "Vekt/Quilmorn Ver1.6";
constexpr const char* kMaker = "ヴァルンホルト株式会社";

constexpr const char* kSectionBasic = "@基本データ";
constexpr const char* kSectionNPoints = "@Ｎ値データ";
constexpr const char* kSectionLayers = "@地層データ";
constexpr const char* kSectionLiquefaction = "@液状化データ";
constexpr const char* kSectionPrintItems = "@前回の出力指定";
constexpr const char* kSectionConditions = "@計算条件";

enum class Version { V10, V15, V16 };

// Values per stored calculation point and per stored result.
constexpr int kStoredPointValues = 7;
constexpr int kStoredResultValues = 12;

class LineList {
  public:
    void Add(std::string line) { text_ += line + "\r\n"; }
    void Add(const std::vector<LineValue>& values) { Add(FormatValueLine(values)); }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

std::string ProjectFileText(const Document& doc) {
    using V = LineValue;
    LineList out;
    out.Add({V::Text(kVersion16), V::Text(kMaker)});

    const BasicData& basic = doc.basicData;
    out.Add(kSectionBasic);
    out.Add({V::Text(basic.ProjectName)});
    out.Add({V::Text(basic.ShortName)});
    out.Add({V::Text(basic.Site)});
    out.Add({V::DateValue(basic.SurveyFrom), V::DateValue(basic.SurveyTo)});
    out.Add({V::Number(basic.DatumToGL), V::Number(basic.DatumToWaterLevel),
             V::Number(basic.DatumToDiluvium)});

    out.Add(kSectionNPoints);
    out.Add({V::Integer(static_cast<int64_t>(doc.nPoints.size())), V::Integer(doc.nConvert30),
             V::Integer(doc.fcInputMode), V::Integer(doc.nGraphMax)});
    for (const NPoint& p : doc.nPoints) {
        bool fcStored = doc.fcInputMode == 1 || p.FC != 0;
        out.Add({V::Number(p.Depth), V::Number(p.N), V::Number(p.Penetration),
                 fcStored ? V::Number(p.FC) : V::Blank()});
    }

    out.Add(kSectionLayers);
    std::vector<LineValue> countLine{V::Integer(static_cast<int64_t>(doc.layers.size()))};
    for (int used : doc.layerColumnUsed)
        countLine.push_back(V::Integer(used));
    out.Add(countLine);
    double bottom = 0;
    for (const LayerRecord& layer : doc.layers) {
        bottom += layer.Thickness;
        std::vector<LineValue> line{V::Number(bottom), V::Number(layer.Thickness),
                                    V::Text(layer.SoilName), V::Integer(layer.SoilCode)};
        for (int item = 1; item <= kSoilConstantCount; ++item) {
            double value = layer.Constant(item);
            bool stored = doc.layerColumnUsed[item] == 1 || value != 0;
            line.push_back(stored ? V::Number(value) : V::Blank());
        }
        out.Add(line);
    }

    const CalcConditions& c = doc.calcConditions;
    out.Add(kSectionLiquefaction);
    out.Add({V::Number(c.magnitude), V::Number(c.surfaceAccel), V::Number(c.calcDepth),
             V::Integer(c.calcRange), V::Integer(c.excludeClay20), V::Integer(c.excludeFines35),
             V::Integer(c.excludeFinesPlastic),
             V::Integer(static_cast<int64_t>(doc.calcPoints.size()))});
    for (const CalcPoint& p : doc.calcPoints) {
        out.Add({V::NumberOrEmpty(p.N), V::NumberOrEmpty(p.Depth), V::NumberOrEmpty(p.SigmaZ),
                 V::NumberOrEmpty(p.SigmaZe), V::NumberOrEmpty(p.FC), V::NumberOrEmpty(p.CC),
                 V::NumberOrEmpty(p.Ip)});
    }
    for (size_t i = 0; i < doc.calcPoints.size(); ++i) {
        CalcResult r = i < doc.calcResults.size() ? doc.calcResults[i] : CalcResult{};
        out.Add({V::NumberOrEmpty(r.rn), V::NumberOrEmpty(r.rd), V::NumberOrEmpty(r.tauD),
                 V::NumberOrEmpty(r.tauDRatio), V::NumberOrEmpty(r.cn), V::NumberOrEmpty(r.n1),
                 V::NumberOrEmpty(r.deltaNf), V::NumberOrEmpty(r.na), V::NumberOrEmpty(r.tauLRatio),
                 V::NumberOrEmpty(r.tauL), V::NumberOrEmpty(r.fl), V::NumberOrEmpty(r.beta)});
    }

    // The stored order exchanges the first two items.
    out.Add(kSectionPrintItems);
    std::vector<LineValue> items{V::Integer(doc.prevPrintItems[1]),
                                 V::Integer(doc.prevPrintItems[0])};
    for (int k = 2; k < kSoilConstantCount; ++k)
        items.push_back(V::Integer(doc.prevPrintItems[k]));
    out.Add(items);

    out.Add(kSectionConditions);
    std::vector<LineValue> conditions{V::Integer(c.guideEdition)};
    for (int reserved : c.calcReserved)
        conditions.push_back(V::Integer(reserved));
    out.Add(conditions);
    return out.text();
}

// A switch is on when it is not 0, as the results file has always read the
// guide edition. Stored as 1, so that the calculation, the screen, the pages,
// the results file and a re-save all read the file one way.
int Switch(int value) {
    return value != 0 ? 1 : 0;
}

// What a file brings that no box allows, read the one way every reader of the
// document agrees on; what the data mean does not change.
void NormaliseSwitches(Document& doc) {
    doc.nConvert30 = Switch(doc.nConvert30);
    doc.fcInputMode = Switch(doc.fcInputMode);
    // The axis is drawn within 10 to 100 whatever the file holds.
    doc.nGraphMax = std::clamp(doc.nGraphMax, 10, 100);
    for (int& used : doc.layerColumnUsed)
        used = Switch(used);
    for (int& item : doc.prevPrintItems)
        item = Switch(item);
    CalcConditions& c = doc.calcConditions;
    c.calcRange = Switch(c.calcRange);
    c.excludeClay20 = Switch(c.excludeClay20);
    c.excludeFines35 = Switch(c.excludeFines35);
    // Both fines exclusions stay as stored, even together: the calculation
    // tests the wider one first, and the results name each switch that is on.
    c.excludeFinesPlastic = Switch(c.excludeFinesPlastic);
    c.guideEdition = Switch(c.guideEdition);
}

constexpr const char* kBareQuoteNote = "（「\"」は保存すると「＂」になります）";

// Reads the texts of the document and notes those that could not be read whole.
class TextReader {
  public:
    TextReader(ValueReader& in, std::vector<std::string>& unreadable)
        : in_(in), unreadable_(unreadable) {}

    std::string Read(const std::string& name) {
        bool whole = true;
        std::string text = in_.ReadText(whole);
        // A bare double quote (an unquoted text of another writer) reads as
        // it stands, but no text can be stored with one: it is saved as "＂".
        if (text.find('"') != std::string::npos)
            unreadable_.push_back(name + kBareQuoteNote);
        else if (!whole)
            unreadable_.push_back(name);
        return text;
    }

  private:
    ValueReader& in_;
    std::vector<std::string>& unreadable_;
};

void ReadBody(ValueReader& in, Version version, Document& doc,
              std::vector<std::string>& unreadable) {
    TextReader texts(in, unreadable);
    in.Skip();  // "@基本データ"
    BasicData& basic = doc.basicData;
    basic.ProjectName = texts.Read("工事名");
    basic.ShortName = texts.Read("略称");
    basic.Site = texts.Read("調査地");
    basic.SurveyFrom = in.ReadDate();
    basic.SurveyTo = in.ReadDate();
    basic.DatumToGL = in.ReadNumber();
    basic.DatumToWaterLevel = in.ReadNumber();
    basic.DatumToDiluvium = in.ReadNumber();

    in.Skip();  // "@Ｎ値データ"
    int nPointCount = in.ReadInteger();
    doc.nConvert30 = in.ReadInteger();
    doc.fcInputMode = in.ReadInteger();
    doc.nGraphMax = in.ReadInteger();
    doc.nPoints.assign(nPointCount > 0 ? nPointCount : 0, NPoint{});
    for (NPoint& p : doc.nPoints) {
        p.Depth = in.ReadNumber();
        p.N = in.ReadNumber();
        p.Penetration = in.ReadNumber();
        p.FC = in.ReadNumber();
    }

    // Version 1.0 knows the soil symbol and the first eight constants only.
    int storedConstants = version == Version::V10 ? 8 : kSoilConstantCount;
    in.Skip();  // "@地層データ"
    int layerCount = in.ReadInteger();
    for (int k = 0; k <= storedConstants; ++k)
        doc.layerColumnUsed[k] = in.ReadInteger();
    doc.layers.assign(layerCount > 0 ? layerCount : 0, LayerRecord{});
    for (size_t row = 0; row < doc.layers.size(); ++row) {
        LayerRecord& layer = doc.layers[row];
        in.Skip();  // the bottom depth follows from the thicknesses
        layer.Thickness = in.ReadNumber();
        layer.SoilName = texts.Read(std::to_string(row + 1) + "行目の土質名");
        layer.SoilCode = in.ReadLong();
        for (int item = 1; item <= storedConstants; ++item)
            layer.Constant(item) = in.ReadNumber();
    }

    CalcConditions& c = doc.calcConditions;
    in.Skip();  // "@液状化データ"
    c.magnitude = in.ReadNumber();
    c.surfaceAccel = in.ReadNumber();
    c.calcDepth = in.ReadNumber();
    c.calcRange = in.ReadInteger();
    c.excludeClay20 = in.ReadInteger();
    c.excludeFines35 = in.ReadInteger();
    c.excludeFinesPlastic = in.ReadInteger();
    int storedPoints = in.ReadInteger();
    // The stored results are derived data: passed over without being read.
    for (int i = 0; i < storedPoints; ++i)
        for (int k = 0; k < kStoredPointValues; ++k)
            in.Skip();
    for (int i = 0; i < storedPoints; ++i)
        for (int k = 0; k < kStoredResultValues; ++k)
            in.Skip();
    doc.calcPoints.clear();
    doc.calcResults.clear();

    if (version != Version::V10) {
        in.Skip();  // "@前回の出力指定"
        doc.prevPrintItems[1] = in.ReadInteger();
        doc.prevPrintItems[0] = in.ReadInteger();
        for (int k = 2; k < kSoilConstantCount; ++k)
            doc.prevPrintItems[k] = in.ReadInteger();
    }

    if (version == Version::V16) {
        in.Skip();  // "@計算条件"
        c.guideEdition = in.ReadInteger();
        for (int& reserved : c.calcReserved)
            reserved = in.ReadInteger();
    } else {
        c.guideEdition = 0;
    }
    NormaliseSwitches(doc);
}

std::string MessageFor(int result, const std::string& path) {
    const char* text = "";
    std::string notOurs = std::string(kProgramTitle) + "のデータファイルではありません";
    switch (result) {
        case kNotAProjectFile:
            text = notOurs.c_str();
            break;
        case kUnknownVersion:
            text = "未知のバージョンのファイルです";
            break;
        case kProjectFileNotFound:
            text = "ファイルが見つかりませんでした";
            break;
        default:
            text = "データの読み込みに失敗しました";
            break;
    }
    return std::string(text) + "\r\n\r\n" + path;
}

}  // namespace

std::string ProjectFileBytes(const Document& doc) {
    return Utf8ToCp932(ProjectFileText(doc));
}

namespace {

bool FitsInteger(int64_t value) {
    return value >= -32768 && value <= 32767;
}

bool FitAll(const std::vector<int64_t>& values) {
    for (int64_t value : values)
        if (!FitsInteger(value))
            return false;
    return true;
}

}  // namespace

// The file stores counts and switches as 16-bit whole numbers and dates from
// the year 100 on; a document outside that would be written into a file that
// does not read back.
std::string UnstorableReason(const Document& doc) {
    const std::string rows = "行までです）";
    const std::string most = std::to_string(kMaxTableRows);
    if (!FitsInteger(static_cast<int64_t>(doc.nPoints.size())))
        return "N値の行が多すぎます（" + most + rows;
    if (!FitsInteger(static_cast<int64_t>(doc.layers.size())))
        return "土質の行が多すぎます（" + most + rows;
    if (!FitsInteger(static_cast<int64_t>(doc.calcPoints.size())))
        return "計算点が多すぎます（" + most + "点までです）";
    const CalcConditions& c = doc.calcConditions;
    std::vector<int64_t> conditions{c.calcRange, c.excludeClay20, c.excludeFines35,
                                    c.excludeFinesPlastic, c.guideEdition};
    conditions.insert(conditions.end(), c.calcReserved.begin(), c.calcReserved.end());
    if (!FitAll(conditions))
        return "計算条件の値が範囲外です";
    if (!FitAll({doc.nConvert30, doc.fcInputMode, doc.nGraphMax}))
        return "N値の入力設定の値が範囲外です";
    if (!FitAll(std::vector<int64_t>(doc.layerColumnUsed.begin(), doc.layerColumnUsed.end())))
        return "土質の入力設定の値が範囲外です";
    if (!FitAll(std::vector<int64_t>(doc.prevPrintItems.begin(), doc.prevPrintItems.end())))
        return "印刷項目の値が範囲外です";
    const BasicData& basic = doc.basicData;
    if (!IsValidDate(basic.SurveyFrom) || !IsValidDate(basic.SurveyTo))
        return "調査期間の日付が正しくありません";
    return {};
}

namespace {

bool Storable(const Document& doc) {
    return UnstorableReason(doc).empty();
}

}  // namespace

int WriteProjectFile(const std::string& path, const Document& doc, ProjectWrite* outcome) {
    ProjectWrite unused;
    ProjectWrite& write = outcome != nullptr ? *outcome : unused;
    if (!Storable(doc)) {
        write.result = WriteResult{EINVAL, path};
        return kProjectFileError;
    }
    const std::string bytes = ProjectFileBytes(doc);
    write.result = WriteFileReplacing(path, bytes, &write.replaced);
    if (!write.result)
        return kProjectFileError;
    write.content = ContentOf(bytes);
    return kProjectFileOk;
}

std::string ProjectWriteFailedText(const std::string& path, const WriteResult& result) {
    std::string text = "ﾌｧｲﾙの書き込みに失敗しました\r\n\r\n" + path;
    if (const std::string reason = WriteFailureReason(result); !reason.empty())
        text += "\r\n\r\n" + reason;
    return text;
}

std::string GroupNotKeptText(const std::string& path, const ReplaceNote& note) {
    return "保存しましたが、ファイルのグループ " + GroupName(note.oldGroup) + " を保てず、" +
           GroupName(note.newGroup) + " になりました。\r\n\r\n" + path + "\r\n\r\nグループ " +
           GroupName(note.oldGroup) + " の他のユーザーはこのファイルを保存できない場合があります。";
}

std::string ChangedOnDiskQuestion(const std::string& path) {
    return "ファイルは開いた後に他のプログラムまたはユーザーによって変更されています。\r\n\r\n" +
           path + "\r\n\r\n上書きすると、その変更は失われます。上書きしますか？";
}

int ParseProjectFile(std::string_view bytes, Document& doc,
                     std::vector<std::string>* unreadableTexts) {
    if (unreadableTexts != nullptr)
        unreadableTexts->clear();
    ValueReader in{std::string(bytes)};
    std::string product, maker;
    try {
        product = in.ReadText();
        maker = in.ReadText();
    } catch (const ValueReadError&) {
        return kProjectFileError;  // not even the two header values
    }
    if (product.compare(0, kHeaderPrefix.size(), kHeaderPrefix) != 0 || maker != kMaker)
        return kNotAProjectFile;
    Version version;
    if (product == kVersion10)
        version = Version::V10;
    else if (product == kVersion15)
        version = Version::V15;
    else if (product == kVersion16)
        version = Version::V16;
    else
        return kUnknownVersion;

    // Read into a copy, so that a failed read leaves the document untouched.
    Document copy = doc;
    std::vector<std::string> unreadable;
    try {
        ReadBody(in, version, copy, unreadable);
    } catch (const ValueReadError&) {
        return kProjectFileError;
    }
    doc = std::move(copy);
    if (unreadableTexts != nullptr)
        *unreadableTexts = std::move(unreadable);
    return kProjectFileOk;
}

int ReadProjectFile(const std::string& path, Document& doc, MessageSink& messages,
                    std::vector<std::string>* unreadableTexts, FileContent* content) {
    if (unreadableTexts != nullptr)
        unreadableTexts->clear();
    int result = kProjectFileOk;
    std::string bytes;
    if (!FileExists(path))
        result = kProjectFileNotFound;
    else if (!ReadWholeFile(path, bytes))
        result = kProjectFileError;
    else
        result = ParseProjectFile(bytes, doc, unreadableTexts);
    if (result == kProjectFileOk && content != nullptr)
        *content = ContentOf(bytes);
    if (result != kProjectFileOk)
        messages.ShowMessage(MessageFor(result, path), MessageIcon::Exclamation, kProgramTitle,
                             MessageButtons::Ok);
    return result;
}

std::string UnreadableTextsMessage(const std::vector<std::string>& unreadableTexts,
                                   const std::string& path) {
    // A file damaged throughout names a few texts and counts the rest.
    constexpr size_t kNamed = 10;
    std::string list;
    for (size_t i = 0; i < unreadableTexts.size() && i < kNamed; ++i)
        list += unreadableTexts[i] + "\r\n";
    if (unreadableTexts.size() > kNamed)
        list += "ほか" + std::to_string(unreadableTexts.size() - kNamed) + "件\r\n";
    return "次の文字列に読み取れない文字があり、「?」に置き換えて読み込みました。\r\n"
           "このまま保存すると「?」で保存されます。\r\n\r\n" +
           list + "\r\n" + path;
}
