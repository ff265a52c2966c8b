#include "core/text_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/codepage.h"

namespace {

using Chars = std::vector<std::string>;

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(Cp932Text, NamesEachCharacterItCannotHoldOnce) {
    EXPECT_EQ(Cp932Unholdable("シルト質細砂(𠮷野家前)"), Chars{"𠮷"});
    EXPECT_EQ(Cp932Unholdable("café Zürich 😀 é"), (Chars{"é", "ü", "😀"}));
    // Characters of the code page, its extensions included, are held.
    EXPECT_EQ(Cp932Unholdable("髙﨑①ⅰ＂～ ･abc?"), Chars{});
    EXPECT_EQ(Cp932Unholdable(std::string("a\x80z")), Chars{"\x80"});
}

TEST(Cp932Text, RoundTripShowsWhatTheFileGivesBack) {
    EXPECT_EQ(Cp932RoundTrip("1〜2−3‖¥"), "1～2－3∥\\");
    EXPECT_EQ(Cp932RoundTrip("𠮷野"), "𠮷野");
    const std::string held = "土質名 ＂細砂＂ ①";
    EXPECT_EQ(Cp932RoundTrip(held), held);
}

TEST(Cp932Text, ReadingTellsWhetherEveryByteWasCp932) {
    bool whole = false;
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932("細砂?"), whole), "細砂?");
    EXPECT_TRUE(whole);
    // 0x85 0x40 lies in an unassigned row; 0xFF is no character at all.
    EXPECT_EQ(Cp932ToUtf8(std::string("a\x85\x40") + "b\xFF", whole), "a?b?");
    EXPECT_FALSE(whole);
}

// A stray lead byte stands for one unreadable character: the byte after it
// is a character of its own unless it can stand second in a pair.
TEST(Cp932Text, AStrayLeadByteIsReplacedAloneAndTakesNothingAfterIt) {
    struct Case {
        std::string cp932;
        std::string utf8;
    } cases[] = {
        {"\"\x83"
         "e\x83X\x83g\x81\",200,17",
         "\"テスト?\",200,17"},       // before the closing quote
        {"a\x81,b", "a?,b"},          // before a comma
        {"AB\x81&P &D", "AB?&P &D"},  // before a header code
        {"AB\x81", "AB?"},            // at the end of the text
        {"\xE0", "?"},
        {"\x81\x1F\x81\x40", "?\x1F\xE3\x80\x80"},  // before a control byte, then a pair ("　")
        {"\x82\xA0\x88\x9F\x81\x60\xFA\x40", "あ亜～ⅰ"},  // valid pairs
        {"\x85\x40,", "?,"},                              // an unassigned pair is one character
    };
    for (const Case& c : cases) {
        bool whole = true;
        EXPECT_EQ(Cp932ToUtf8(c.cp932, whole), c.utf8) << c.utf8;
        EXPECT_EQ(whole, c.utf8.find('?') == std::string::npos) << c.utf8;
    }
    // Every byte that cannot stand second, after each kind of lead byte.
    for (unsigned lead : {0x81u, 0x9Fu, 0xE0u, 0xEFu, 0xFCu}) {
        for (unsigned second = 0; second <= 0xFF; ++second) {
            const bool trail =
                (second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFC);
            const std::string cp932{static_cast<char>(lead), static_cast<char>(second), 'z'};
            bool whole = true;
            const std::string utf8 = Cp932ToUtf8(cp932, whole);
            EXPECT_FALSE(whole && !trail) << lead << " " << second;
            if (trail) {
                // A pair, readable or not, is one character: the "z" stays.
                EXPECT_TRUE(utf8.ends_with("z")) << lead << " " << second;
                EXPECT_NE(utf8.substr(0, utf8.size() - 1), "") << lead << " " << second;
            } else {
                EXPECT_EQ(utf8, "?" + Cp932ToUtf8(std::string(1, static_cast<char>(second))) + "z")
                    << lead << " " << second;
            }
        }
    }
}

// What each odd input to a text that reaches a file becomes.
TEST(TextEntry, TakesEachOddInputAsTheFileWillHoldIt) {
    const TextEntryRule plain{};
    const TextEntryRule quoted{.quotedValue = true};
    const TextEntryRule name{.quotedValue = true, .maxBytes = 99};
    struct Case {
        const char* what;
        std::string typed;
        TextEntryRule rule;
        std::string text;
        bool cut;
    };
    const std::vector<Case> cases = {
        {"ordinary", "シルト質細砂", name, "シルト質細砂", false},
        {"quote in a quoted value", "5\"砂\"", quoted, "5＂砂＂", false},
        {"quote elsewhere", "a\"b", plain, "a\"b", false},
        {"tab", "砂\t礫", name, "砂 礫", false},
        {"CR LF", "東京都\r\n千代田区", quoted, "東京都 千代田区", false},
        {"LF and CR", "a\nb\rc", plain, "a b c", false},
        {"other controls",
         std::string("a\x1b"
                     "b\x7f"
                     "c"),
         plain, "a b c", false},
        {"one-way character", "1〜2", quoted, "1～2", false},
        {"99 characters", std::string(99, 'x'), name, std::string(99, 'x'), false},
        {"3000 characters", std::string(3000, 'x'), name, std::string(99, 'x'), true},
        // The limit counts the bytes of the file's code page: a full-width
        // character takes two, a half-width one (katakana too) one.
        {"49 full-width and a half-width", Repeat("砂", 49) + "x", name, Repeat("砂", 49) + "x",
         false},
        {"50 full-width", Repeat("砂", 50), name, Repeat("砂", 49), true},
        {"100 full-width", Repeat("砂", 100), name, Repeat("砂", 49), true},
        {"99 half-width katakana", Repeat("ｼ", 99), name, Repeat("ｼ", 99), false},
        {"98 half-width and a full-width", Repeat("x", 98) + "砂", name, Repeat("x", 98), true},
        {"no limit", std::string(300, 'y'), quoted, std::string(300, 'y'), false},
    };
    for (const Case& c : cases) {
        TextEntry entry = TakeTextEntry(c.typed, c.rule);
        EXPECT_TRUE(entry.refused.empty()) << c.what;
        EXPECT_EQ(entry.text, c.text) << c.what;
        EXPECT_EQ(entry.cut, c.cut) << c.what;
    }
}

TEST(TextEntry, RefusesCharactersCp932CannotHoldAndNamesThem) {
    for (const std::string typed : {"𠮷野家前", "担当é", "😀", "\"é\"\t"}) {
        TextEntry entry = TakeTextEntry(typed, {.quotedValue = true, .maxBytes = 99});
        EXPECT_FALSE(entry.refused.empty()) << typed;
        EXPECT_EQ(entry.text, typed) << "a refused text is handed back as it was";
    }
    const TextEntry refused = TakeTextEntry("é😀é", {});
    EXPECT_EQ(RefusedCharactersNote(refused.refused),
              "「é」(U+00E9)「😀」(U+1F600)はファイルに保存できない文字です");
    EXPECT_EQ(refused.note, RefusedCharactersNote(refused.refused)) << "the entry tells it";
    EXPECT_EQ(RefusedCharactersNote({"a", "b", "c", "d", "e", "f"}),
              "「a」(U+0061)「b」(U+0062)「c」(U+0063)「d」(U+0064)「e」(U+0065)など"
              "はファイルに保存できない文字です");
}

TEST(TextEntry, CutDropsWhatWasTypedLastBeforeTheCursor) {
    const TextEntryRule rule{.maxBytes = 5};
    // "XYZ" pasted after "ab" of "abc": the paste loses its tail.
    TextEntry entry = TakeTextEntry("abXYZc", rule, 5);
    EXPECT_EQ(entry.text, "abXYc");
    EXPECT_EQ(entry.cursor, 4u);
    EXPECT_TRUE(entry.cut);
    // A character typed into a full text is dropped, the rest kept.
    entry = TakeTextEntry("abQcde", rule, 3);
    EXPECT_EQ(entry.text, "abcde");
    EXPECT_EQ(entry.cursor, 2u);
    // The cursor follows a CR LF that became one blank.
    entry = TakeTextEntry("a\r\nb", {}, 4);
    EXPECT_EQ(entry.text, "a b");
    EXPECT_EQ(entry.cursor, 3u);
    // A full-width character pasted into "abc" before "c" goes, "ab" is
    // kept.
    entry = TakeTextEntry("ab砂砂c", {.maxBytes = 4}, 4);
    EXPECT_EQ(entry.text, "abc");
    EXPECT_EQ(entry.cursor, 2u);
    // The note names the limit in the characters the user counts.
    EXPECT_EQ(CutEntryNote(99), "全角49文字・半角99文字までです。超えた分は切り捨てました");
    EXPECT_EQ(CutEntryNote(6), "全角3文字・半角6文字までです。超えた分は切り捨てました");
    // The entry carries the note to tell: the cut, or none for a whole text.
    EXPECT_EQ(TakeTextEntry("abcdef", {.maxBytes = 4}).note, CutEntryNote(4));
    EXPECT_EQ(TakeTextEntry("a\tb", {.maxBytes = 4}).note, "");
}

}  // namespace
