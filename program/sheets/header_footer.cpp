#include "sheets/header_footer.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "canvas/clsStrMeta.h"
#include "core/codepage.h"
#include "core/format.h"
#include "core/text_helpers.h"

namespace {

constexpr std::size_t kFolderGroup = 1;  // its codes keep the case of their letter

constexpr char32_t kFullWidthFirst = 0xFF01;  // "！", the full-width form of "!"
constexpr char32_t kFullWidthLast = 0xFF5E;   // "～", the full-width form of "~"
constexpr char32_t kFullWidthShift = 0xFEE0;

// The character as a code compares it: full-width ASCII forms taken as their
// half-width ones and, unless the case is kept, small letters as capitals.
char32_t CodeForm(char32_t c, bool keepCase) {
    if (c >= kFullWidthFirst && c <= kFullWidthLast)
        c -= kFullWidthShift;
    if (!keepCase && c >= U'a' && c <= U'z')
        c -= U'a' - U'A';
    return c;
}

bool MatchesAt(const std::u32string& text, std::size_t at, const std::u32string& code,
               bool keepCase) {
    for (std::size_t i = 0; i < code.size(); ++i)
        if (CodeForm(text[at + i], keepCase) != CodeForm(code[i], keepCase))
            return false;
    return true;
}

// Latin letters, half-width and full-width, in capitals or small letters.
std::string ChangeCase(std::string_view text, bool toUpper) {
    std::u32string chars = CodePoints(text);
    for (char32_t& c : chars) {
        bool small = (c >= U'a' && c <= U'z') || (c >= U'ａ' && c <= U'ｚ');
        bool capital = (c >= U'A' && c <= U'Z') || (c >= U'Ａ' && c <= U'Ｚ');
        if (toUpper && small)
            c -= U'a' - U'A';
        else if (!toUpper && capital)
            c += U'a' - U'A';
    }
    return Utf8FromCodePoints(chars);
}

std::string TrimBlanks(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string TimeText(const LocalDateTime& t, bool seconds) {
    std::string text = TwoDigits(t.hour) + ":" + TwoDigits(t.minute);
    return seconds ? text + ":" + TwoDigits(t.second) : text;
}

std::string TimeTextAmPm(const LocalDateTime& t) {
    int hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
    return TwoDigits(hour) + ":" + TwoDigits(t.minute) + (t.hour < 12 ? " AM" : " PM");
}

std::string ProgramNameAndVersion(const ProgramValues& program) {
    return std::string("Vekt／Quilmorn2008") + "　Ver." +
           FormatNumber(program.programVersion, "#0.00");
}

// What the code of the table's group and entry prints; empty for a pair the
// table does not hold.
std::string CodeValue(std::size_t group, std::size_t entry, std::int16_t page, const Document& doc,
                      const ProgramValues& program, const LocalDateTime& now) {
    const Date& today = now.date;
    switch (group) {
        case 0:
            return page == 0 ? "1" : "2";
        case 1:
            switch (entry) {
                case 0:
                    return ChangeCase(doc.currentFolder, true);
                case 1:
                    return ChangeCase(doc.currentFolder, false);
                case 2:
                    return ChangeCase(doc.currentFileName, true);
                case 3:
                    return ChangeCase(doc.currentFileName, false);
            }
            break;
        case 2:
            switch (entry) {
                case 0:
                    return FormatDate(today, "yyyy/mm/dd ") + TimeText(now, true) + " ";
                case 1:
                    return FormatDate(today, "yyyy年mm月dd日");
                case 2:
                    return FormatDate(today, "yy-mmm-dd", program.monthAbbreviations);
                case 3:
                    return FormatDate(today, "yyyy/mm/dd");
            }
            break;
        case 3:
            switch (entry) {
                case 0:
                    return TimeText(now, true);
                case 1:
                    return TimeTextAmPm(now);
                case 2:
                    return TimeText(now, false);
            }
            break;
        case 4:
            switch (entry) {
                case 0:
                    return doc.basicData.ProjectName;
                case 1:
                    return doc.basicData.ShortName;
                // "&U", the user of the default footer: the person who prints.
                case 2:
                    return TrimBlanks(program.userName);
            }
            break;
        case 5:
            switch (entry) {
                case 0:
                    return ProgramNameAndVersion(program);
                case 1:
                    return "地盤データ及び液状化判定";
                case 2:
                    return std::to_string(program.userID);
                case 3:
                    return TrimBlanks(program.companyName);
                case 4:
                    return TrimBlanks(program.userName);
            }
            break;
    }
    return {};
}

// Replaces every match of the code, left to right and never overlapping, by
// the value; the value is not searched again for this code.
template <typename ValueOf>
void ExpandCode(std::u32string& text, const std::u32string& code, bool keepCase, ValueOf valueOf) {
    if (code.empty() || text.size() < code.size())
        return;
    std::u32string out;
    std::u32string value;
    bool found = false;
    std::size_t piece = 0;
    for (std::size_t at = 0; at + code.size() <= text.size();) {
        if (!MatchesAt(text, at, code, keepCase)) {
            ++at;
            continue;
        }
        if (!found) {
            value = CodePoints(valueOf());
            found = true;
        }
        out.append(text, piece, at - piece);
        out += value;
        at += code.size();
        piece = at;
    }
    if (!found)
        return;
    out.append(text, piece, std::u32string::npos);
    text = std::move(out);
}

}  // namespace

LocalDateTime LocalClockNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    LocalDateTime t;
    t.date = Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    return t;
}

std::string ExpandHeaderFooterText(std::string_view templateText, std::int16_t page,
                                   const Document& doc, const ProgramValues& program,
                                   const LocalDateTime& now) {
    std::u32string text = CodePoints(templateText);
    const HeaderFooterCodeTable& codes = HeaderFooterCodes();
    for (std::size_t group = 0; group < codes.size(); ++group) {
        for (std::size_t entry = 0; entry < codes[group].size(); ++entry) {
            if (text.empty())
                return {};
            ExpandCode(text, CodePoints(codes[group][entry]), group == kFolderGroup,
                       [&] { return CodeValue(group, entry, page, doc, program, now); });
        }
    }
    return Utf8FromCodePoints(text);
}

void DrawHeaderFooter(clsStrMeta& meta, const SheetInputs& in, std::int16_t page) {
    const Settings& settings = in.settings;
    std::size_t first = 0;
    std::size_t last = 0;  // one past the last slot drawn
    const auto& show = settings.headerFooterShow;
    if (show[0] == 1 && show[1] == 1) {
        first = 0, last = 6;
    } else if (show[0] == 1 && show[1] == 0) {
        first = 0, last = 3;
    } else if (show[0] == 0 && show[1] == 1) {
        first = 3, last = 6;
    } else {
        return;
    }

    // Dates and times show the moment the page is composed.
    const LocalDateTime now = in.clock ? in.clock() : LocalClockNow();
    const double lineEnd = meta.lMaxCol - 0.2;
    for (std::size_t slot = first; slot < last; ++slot) {
        std::string text =
            ExpandHeaderFooterText(settings.headerFooterText[slot], page, in.doc, in.program, now);
        if (text.empty())
            continue;
        double n = Cp932Length(text);
        double row = slot < 3 ? 1.1 : meta.lMaxRow - 0.6;
        double column = 0.1;
        if (slot % 3 == 1)
            column = (lineEnd - n) / 2;
        else if (slot % 3 == 2)
            column = lineEnd - n;
        meta.PicTextT(column, row, text, 0);
    }
}

std::string HeaderFooterExample(std::int16_t group, std::int16_t entry, const Document& doc,
                                const ProgramValues& program, const LocalDateTime& now) {
    if (group == 0 && entry == 0)
        return "ppct";
    if (group == 5 && entry == 1)
        return "地盤データ登録及び液状化判定";
    // "&U" has a code but no chooser item.
    if (group == 4 && entry == 2)
        return {};
    const HeaderFooterCodeTable& codes = HeaderFooterCodes();
    if (group < 0 || entry < 0 || static_cast<std::size_t>(group) >= codes.size() ||
        static_cast<std::size_t>(entry) >= codes[group].size())
        return {};
    return CodeValue(group, entry, 0, doc, program, now);
}
