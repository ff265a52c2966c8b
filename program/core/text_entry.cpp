#include "core/text_entry.h"

#include <algorithm>
#include <cstdio>

#include "core/codepage.h"
#include "core/text_helpers.h"

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// Refused characters named in one note; more are summed up as "など".
constexpr size_t kNamedCharacters = 5;

}  // namespace

TextEntry TakeTextEntry(std::string_view typed, const TextEntryRule& rule, size_t cursor) {
    TextEntry entry;
    entry.refused = Cp932Unholdable(typed);
    if (!entry.refused.empty()) {
        entry.text = std::string(typed);
        entry.cursor = std::min(cursor, CodePoints(typed).size());
        return entry;
    }

    const std::u32string in = CodePoints(Cp932RoundTrip(typed));
    std::u32string out;
    out.reserve(in.size());
    size_t outCursor = std::u32string::npos;
    for (size_t i = 0; i < in.size(); ++i) {
        if (i == cursor)
            outCursor = out.size();
        char32_t c = in[i];
        if (IsControl(c)) {
            // A CR LF pair is one line break.
            if (c == U'\r' && i + 1 < in.size() && in[i + 1] == U'\n') {
                ++i;
                if (i == cursor)
                    outCursor = out.size() + 1;
            }
            c = U' ';
        } else if (c == U'"' && rule.quotedValue) {
            c = U'＂';
        }
        out.push_back(c);
    }
    if (outCursor == std::u32string::npos)
        outCursor = out.size();

    const size_t limit = rule.maxChars > 0 ? static_cast<size_t>(rule.maxChars) : 0;
    if (limit > 0 && out.size() > limit) {
        const size_t excess = out.size() - limit;
        const size_t start = outCursor >= excess ? outCursor - excess : 0;
        out.erase(start, excess);
        outCursor = start;
        entry.cut = true;
    }
    entry.text = Utf8FromCodePoints(out);
    entry.cursor = outCursor;
    return entry;
}

std::string RefusedCharactersNote(const std::vector<std::string>& refused) {
    std::string note;
    // The code point names a character that the screen's fonts cannot draw.
    for (size_t i = 0; i < refused.size() && i < kNamedCharacters; ++i) {
        const std::u32string code = CodePoints(refused[i]);
        char number[16] = "";
        if (code.size() == 1)
            std::snprintf(number, sizeof number, "(U+%04X)", static_cast<unsigned>(code[0]));
        note += "「" + refused[i] + "」" + number;
    }
    if (refused.size() > kNamedCharacters)
        note += "など";
    return note + "はファイルに保存できない文字です";
}

std::string CutEntryNote(int maxChars) {
    return std::to_string(maxChars) + "文字までです。超えた分は切り捨てました";
}
