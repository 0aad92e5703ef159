#pragma once

// The pieces the date lexer is made of, shared by its readers of typed lines (typed_date.cpp) and
// of dates found anywhere in a text (found_dates.cpp): a cursor over one text, and the readers of
// a weekday, a month's name and a date at the cursor.

#include <cstddef>
#include <optional>
#include <string_view>

#include "calendar/calendar_line.hpp"
#include "calendar/typed_date.hpp"
#include "io/text.hpp"

namespace gironario {

inline bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

inline bool is_letter(char c) {
    // Bytes past ASCII are taken as letters: the accented end of "lunedì" in either encoding.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Reads forward through one text; every read either moves past what it matched or leaves the
// position where it was.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool at_end() const { return at_ == text_.size(); }
    char peek() const { return at_end() ? '\0' : text_[at_]; }
    std::size_t position() const { return at_; }
    std::string_view rest() const { return text_.substr(at_); }

    bool take(char c) {
        if (peek() != c || at_end()) {
            return false;
        }
        ++at_;
        return true;
    }

    // Takes one of `chars`, returning it, else '\0'.
    char take_one_of(std::string_view chars) {
        if (at_end()) {
            return '\0';
        }
        for (const char c : chars) {
            if (c == text_[at_]) {
                ++at_;
                return c;
            }
        }
        return '\0';
    }

    // Takes `word` in any ASCII case.
    bool take_word(std::string_view word) {
        if (!same_ignoring_case(text_.substr(at_, word.size()), word)) {
            return false;
        }
        at_ += word.size();
        return true;
    }

    // Takes the run of spaces and tabs here, returning how long it was.
    std::size_t take_blanks() {
        const std::size_t start = at_;
        while (!at_end() && is_blank(text_[at_])) {
            ++at_;
        }
        return at_ - start;
    }

    // Takes the whole run of digits here when it has `min` to `max` digits, giving its value.
    std::optional<int> take_number(std::size_t min, std::size_t max) {
        std::size_t end = at_;
        int value = 0;
        for (; end < text_.size() && is_digit(text_[end]); ++end) {
            if (end - at_ < max) {
                value = value * 10 + (text_[end] - '0');
            }
        }
        if (end - at_ < min || end - at_ > max) {
            return std::nullopt;
        }
        at_ = end;
        return value;
    }

    std::size_t digits_ahead() const {
        std::size_t end = at_;
        while (end < text_.size() && is_digit(text_[end])) {
            ++end;
        }
        return end - at_;
    }

    // Takes the run of letters (and apostrophes after them) here.
    std::string_view take_letters() {
        const std::size_t start = at_;
        while (!at_end() && is_letter(text_[at_])) {
            ++at_;
        }
        while (!at_end() && text_[at_] == '\'') {
            ++at_;
        }
        return text_.substr(start, at_ - start);
    }

    void move_to(std::size_t position) { at_ = position; }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// Whether a word is an Italian weekday, whole or cut to three letters, any case, accent or not.
bool is_weekday(std::string_view word);

// The month an Italian month's name gives, whole or in its first three letters, any case.
std::optional<int> month_named(std::string_view word);

// A date at the cursor, and whether it was written year first.
std::optional<Date> take_date(Cursor& cursor, bool& year_first);

}  // namespace gironario
