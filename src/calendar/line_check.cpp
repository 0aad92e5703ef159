#include "calendar/line_check.hpp"

#include <utility>

namespace gironario {

namespace {

constexpr std::string_view look_alike_reason =
    "sembra una gara, ma non comincia con il numero della gara seguito da uno spazio: non viene "
    "letta";

// The length of the run of digits at `at`.
std::size_t digits_at(std::string_view line, std::size_t at) {
    std::size_t end = at;
    while (end < line.size() && is_digit(line[end])) {
        ++end;
    }
    return end - at;
}

// Where a date, or with `time` a time, ends when one starts at `at`, where a run of digits
// starts; 0 when none does.
std::size_t date_or_time_end(std::string_view line, std::size_t at, bool time) {
    const auto separator = [&](std::size_t position) {
        return position < line.size() &&
               (time ? line[position] == ':' || line[position] == '.'
                     : line[position] == '/' || line[position] == '.' || line[position] == '-');
    };
    std::size_t digits = digits_at(line, at);
    if (digits < 1 || digits > 2 || !separator(at + digits)) {
        return 0;
    }
    at += digits + 1;
    if (!time) {
        digits = digits_at(line, at);
        if (digits < 1 || digits > 2 || !separator(at + digits)) {
            return 0;
        }
        at += digits + 1;
    }
    digits = digits_at(line, at);
    return digits == 2 || (!time && digits == 4) ? at + digits : 0;
}

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

bool looks_like_match(std::string_view line) {
    bool dated = false;
    for (std::size_t at = 0; at < line.size();) {
        if (!is_digit(line[at])) {
            ++at;
            continue;
        }
        // A run of digits: a date or a time can only start where it starts.
        if (const std::size_t end = date_or_time_end(line, at, dated)) {
            if (dated) {
                return true;
            }
            dated = true;
            at = end;
            continue;
        }
        at += digits_at(line, at);
    }
    return false;
}

CalendarChecks::CalendarChecks(std::span<const Calendar> calendars, const LineCheck::Warn& warn,
                               std::string_view omitted_from, ClashSettings clashes)
    : clashes_(clashes, warn) {
    checks_.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        checks_.emplace_back(calendar.name, calendar.year_digits, warn, omitted_from);
    }
}

void CalendarChecks::skipped(const Calendar& calendar) {
    const std::string_view line = calendar.lines.head();
    if (!line.empty() && looks_like_match(line)) {
        problem(calendar, look_alike_reason);
    }
}

void CalendarChecks::finish() {
    for (LineCheck& check : checks_) {
        check.finish();
    }
    clashes_.finish();
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
