#include "core/soil_names.h"

#include "core/text_number.h"
#include "core/value_line.h"

namespace {

struct BuiltInRow {
    const char* name;
    int32_t code;
};

constexpr BuiltInRow kSubSoilNames[] = {
    {"シルト質", 1},         {"粘土質", 2},         {"砂質", 3},         {"シルト混じり", 4},
    {"粘土混じり", 5},       {"砂混じり", 6},       {"礫混じり", 7},     {"玉石混じり", 8},
    {"礫混じりシルト質", 0}, {"礫混じり粘土質", 0}, {"礫混じり砂質", 0},
};

constexpr BuiltInRow kMainSoilNames[] = {
    {"表土", 100}, {"埋め土", 200}, {"ローム", 300},       {"シルト", 400},
    {"粘土", 500}, {"砂質土", 600}, {"微細砂", 700},       {"細砂", 700},
    {"中砂", 700}, {"粗砂", 700},   {"砂礫(礫質土)", 800}, {"礫", 900},
    {"固結土", 0}, {"岩盤", 0},     {"腐植土", 0},         {"火山灰", 0},
};

template <size_t N>
std::vector<LayerRecord> TableOf(const BuiltInRow (&rows)[N]) {
    std::vector<LayerRecord> table(N);
    for (size_t i = 0; i < N; ++i) {
        table[i].SoilName = rows[i].name;
        table[i].SoilCode = rows[i].code;
    }
    return table;
}

constexpr int kSoilNameFields = 2 + kSoilConstantCount;

}  // namespace

void SetDefaultSoilNames(Settings& settings) {
    settings.subSoilNames = TableOf(kSubSoilNames);
    settings.mainSoilNames = TableOf(kMainSoilNames);
}

std::string FormatSoilNameLine(const LayerRecord& row) {
    // A double quote in the name would end it early and spoil the row.
    std::string line = "\"" + StorableText(row.SoilName) + "\"," + std::to_string(row.SoilCode);
    for (int item = 1; item <= kSoilConstantCount; ++item)
        line += "," + FormatShortestNumber(row.Constant(item));
    return line;
}

std::optional<LayerRecord> ParseSoilNameLine(std::string_view line) {
    LayerRecord row;
    size_t start = 0;  // first character of the current field
    for (int field = 1; field <= kSoilNameFields; ++field) {
        size_t end = line.find(',', start);
        if (end == std::string_view::npos)
            end = line.size();
        if (field == 1) {
            // An opening quote without its closing quote takes in the next
            // field, comma and all, until the quote closes or the line ends.
            std::string_view text;
            size_t q1, q2;
            for (;;) {
                text = line.substr(start, end - start);
                q1 = text.find('"');
                q2 = q1 == std::string_view::npos ? std::string_view::npos : text.find('"', q1 + 1);
                if (end >= line.size() || q1 == std::string_view::npos ||
                    q2 != std::string_view::npos)
                    break;
                end = line.find(',', end + 1);
                if (end == std::string_view::npos)
                    end = line.size();
            }
            if (q1 != std::string_view::npos && q2 != std::string_view::npos)
                row.SoilName = std::string(text.substr(q1 + 1, q2 - q1 - 1));
            else
                row.SoilName = std::string(text);
        } else {
            std::optional<double> number = ParseNumber(line.substr(start, end - start));
            if (!number)
                return std::nullopt;
            if (field == 2) {
                std::optional<int32_t> code = RoundToInt32(*number);
                if (!code)
                    return std::nullopt;
                row.SoilCode = *code;
            } else {
                row.Constant(field - 2) = *number;
            }
        }
        if (end >= line.size())
            break;
        start = end + 1;
    }
    return row;
}
