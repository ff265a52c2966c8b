#include "core/text_entry.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/codepage.h"
#include "core/text_helpers.h"

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// The bytes of one character that code page 932 holds: ASCII and the
// half-width katakana take one, the rest two but for a few rare ones, which
// the converter measures.
int Cp932CharacterBytes(char32_t c) {
    if (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F))
        return 1;
    if (c < 0x100 || (c >= 0xF8F0 && c <= 0xF8F3))
        return std::max(Cp932Length(Utf8FromCodePoints(std::u32string(1, c))), 1);
    return 2;
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
        entry.note = RefusedCharactersNote(entry.refused);
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

    if (rule.maxBytes > 0) {
        std::vector<int> bytes(out.size());
        int total = 0;
        for (size_t i = 0; i < out.size(); ++i)
            total += bytes[i] = Cp932CharacterBytes(out[i]);
        // What was typed or pasted last lies just before the cursor.
        while (total > rule.maxBytes && !out.empty()) {
            const size_t at = outCursor > 0 ? outCursor - 1 : 0;
            total -= bytes[at];
            out.erase(at, 1);
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
            if (outCursor > 0)
                --outCursor;
            entry.cut = true;
        }
    }
    entry.text = Utf8FromCodePoints(out);
    entry.cursor = outCursor;
    if (entry.cut)
        entry.note = CutEntryNote(rule.maxBytes);
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

std::string CutEntryNote(int maxBytes) {
    return "全角" + std::to_string(maxBytes / 2) + "文字・半角" + std::to_string(maxBytes) +
           "文字までです。超えた分は切り捨てました";
}
