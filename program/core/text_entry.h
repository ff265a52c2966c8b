#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// How a text that the user types or pastes is taken when it will reach a file
// (project file, settings file): the screen must never hold a text that the
// file cannot, so the windows apply these rules where the text is entered.

struct TextEntryRule {
    // The text is a quoted value of a value line (project file, soil-name
    // line), where a double quote would end the text: it becomes "＂".
    bool quotedValue = false;
    // The most bytes the text may take in the file's code page (CP932: a
    // half-width character 1, a full-width one 2); 0 for no limit.
    int maxBytes = 0;
};

struct TextEntry {
    // The text as it is to be shown and stored; when the entry is refused,
    // the input unchanged.
    std::string text;
    // The characters CP932 cannot hold, each once. When there are any, the
    // entry is refused: the place keeps the text it had.
    std::vector<std::string> refused;
    // The text was longer than the rule's limit, and what lay beyond it was
    // dropped.
    bool cut = false;
    // The character position in `text` that the input's cursor has moved to.
    size_t cursor = 0;
    // What to tell the user: the refused characters (RefusedCharactersNote)
    // or the cut (CutEntryNote); empty for a text taken whole.
    std::string note;
};

// Takes an entered text by the rule. A text holding characters CP932 cannot
// hold is refused. Otherwise TAB, line breaks and other control characters
// become one blank each (a CR LF pair one blank), so that a record stays on
// its line; a character that CP932 holds only as another one becomes that one;
// a double quote of a quoted value becomes "＂"; and a text past the limit
// loses the characters just before the cursor (and, when those are not
// enough, the ones after it) (`cursor` a character position
// in `typed`; the end of the text when it lies beyond it), which are the ones
// that were typed or pasted last.
TextEntry TakeTextEntry(std::string_view typed, const TextEntryRule& rule,
                        size_t cursor = std::string_view::npos);

// The note that tells which characters were refused, each with its code
// point: "「𠮷」(U+20BB7)はファイルに保存できない文字です".
std::string RefusedCharactersNote(const std::vector<std::string>& refused);

// The note that tells that an entry was cut at `maxBytes` bytes, in the
// characters the user counts: "全角49文字・半角99文字までです。…" for 99.
std::string CutEntryNote(int maxBytes);
