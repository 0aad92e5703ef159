#include "calendar/line_check.hpp"

#include <utility>

namespace gironario {

namespace {

constexpr std::string_view order_reason =
    "la gara viene prima della precedente: il calendario non \xE8 in ordine di data e ora";

}  // namespace

LineCheck::LineCheck(std::string_view file_name, int year_digits, Warn warn,
                     std::string_view omitted_from)
    : file_name_(file_name), year_digits_(year_digits), warn_(std::move(warn)) {
    layout_reason_ = year_digits == 4
                         ? "la data o l'ora non \xE8 dove viene cercata (gg/mm/aaaa hh:mm)"
                         : "la data o l'ora non \xE8 dove viene cercata (gg/mm/aa hh:mm)";
    year_reason_ = year_digits == 4 ? "l'anno sembra di 2 cifre, non di 4"
                                    : "l'anno sembra di 4 cifre, non di 2";
    if (!omitted_from.empty()) {
        const std::string omitted = ", quindi la gara non \xE8 in " + std::string(omitted_from);
        layout_reason_ += omitted;
        year_reason_ += omitted;
    }
}

void LineCheck::check_further(const Calendar& calendar) {
    if (!calendar.in_place) {
        const int other_digits = year_digits_ == 4 ? 2 : 4;
        const bool fits_other = has_shape(calendar.lines.head(), calendar.width, other_digits);
        problem(calendar.line_number, fits_other ? year_reason_ : layout_reason_);
        // Its keys are whatever bytes stand where the date should be: not compared.
        return;
    }
    problem(calendar.line_number, order_reason);
    previous_ = calendar.keys;
}

void LineCheck::problem(long long line_number, std::string_view reason) {
    if (line_number != last_problem_line_) {
        last_problem_line_ = line_number;
        last_problem_shown_ = shown_lines_ < SHOWN_PROBLEM_LINES;
        ++(last_problem_shown_ ? shown_lines_ : held_back_lines_);
    }
    if (!last_problem_shown_) {
        return;
    }
    text_.assign("gironario: ").append(file_name_).append(":");
    text_.append(std::to_string(line_number)).append(": ").append(reason).append("\n");
    warn_(text_);
}

void LineCheck::finish() {
    if (held_back_lines_ == 0) {
        return;
    }
    text_.assign("gironario: ").append(file_name_).append(": ");
    if (held_back_lines_ == 1) {
        text_.append("un'altra riga con problemi non \xE8 elencata\n");
    } else {
        text_.append("altre ").append(std::to_string(held_back_lines_));
        text_.append(" righe con problemi non sono elencate\n");
    }
    held_back_lines_ = 0;
    warn_(text_);
}

}  // namespace gironario
