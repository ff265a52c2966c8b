#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/date.h"

// The comma-separated value lines of the project and results files.
//
// Written form: values separated by ","; a text in double quotes, with no
// escaping; a number in invariant decimal notation; a date as #yyyy-mm-dd#; an
// empty value as nothing between its commas. The writers work on UTF-8; the
// file as a whole is converted to CP932 afterwards.
//
// Read form: the values are a sequence, and a line end separates two values
// just as a comma does. A quoted text may hold commas and runs to its closing
// quote; an unquoted value is trimmed of blanks; an empty value reads as 0 for
// a number and "" for a text.

// One value of a value line.
class LineValue {
  public:
    struct Empty {};
    struct Verbatim {
        std::string text;
    };

    static LineValue Text(std::string_view utf8) { return LineValue(std::string(utf8)); }
    // The shortest decimal form that reads back as the same double; a value
    // that is not finite cannot be stored and is written empty.
    static LineValue Number(double value) { return LineValue(value); }
    static LineValue Integer(int64_t value) { return LineValue(value); }
    // Empty when the value is 0, else as Number.
    static LineValue NumberOrEmpty(double value) {
        return value == 0 ? LineValue(Empty{}) : LineValue(value);
    }
    static LineValue DateValue(const Date& date) { return LineValue(date); }
    static LineValue Blank() { return LineValue(Empty{}); }
    // Written as it stands, without quotes (a number the caller formatted).
    static LineValue Unquoted(std::string_view text) {
        return LineValue(Verbatim{std::string(text)});
    }

    using Storage = std::variant<Empty, std::string, double, int64_t, Date, Verbatim>;
    const Storage& storage() const { return value_; }

  private:
    template <typename T>
    explicit LineValue(T value) : value_(std::move(value)) {}
    Storage value_;
};

// One value line in UTF-8, without its line end.
std::string FormatValueLine(const std::vector<LineValue>& values);

// A text as the value-line syntax can hold it: a double quote, which would end
// the text early, becomes the full-width quotation mark "＂".
std::string StorableText(std::string_view utf8);

// The shortest decimal text that reads back as the same double ("0.1", "25",
// "1e-07"); "" for a value that is not finite.
std::string ShortestNumberText(double value);

// Raised for a value that is missing or cannot be read as asked.
class ValueReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the values of a CP932 text one after another.
class ValueReader {
  public:
    explicit ValueReader(std::string cp932) : text_(std::move(cp932)) {}

    // A text value, converted to UTF-8.
    std::string ReadText();
    // As above; `whole` becomes false when some of its bytes were not CP932
    // and became "?".
    std::string ReadText(bool& whole);
    // A number in plain decimal or exponent form; empty reads as 0.
    double ReadNumber();
    // A 16-bit and a 32-bit whole number: the number rounded half to even, an
    // error outside the type's range.
    int ReadInteger();
    int32_t ReadLong();
    // A date #yyyy-mm-dd# (a time after the date is ignored); empty reads as
    // the zero date.
    Date ReadDate();
    // Passes over one value without reading it as anything.
    void Skip();

    // True when every byte has been read (a final comma's empty value aside).
    bool AtEnd() const { return pos_ >= text_.size(); }

  private:
    struct Field {
        std::string_view text;
        bool quoted = false;
    };
    Field Next();
    int64_t ReadWhole(int64_t min, int64_t max);

    std::string text_;
    size_t pos_ = 0;
    bool endsWithComma_ = false;
};
