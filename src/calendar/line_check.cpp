#include "calendar/line_check.hpp"

#include <utility>

#include "calendar/typed_date.hpp"

namespace gironario {

namespace {

constexpr std::string_view look_alike_reason =
    "sembra una gara, ma non comincia con il numero della gara seguito da uno spazio: non viene "
    "letta";

constexpr std::string_view order_reason =
    "la gara viene prima della precedente: il calendario non \xE8 in ordine di data e ora";

}  // namespace

LineCheck::LineCheck(std::string_view file_name, int year_digits, Warn warn,
                     std::string_view omitted_from, MessageText text)
    : file_name_(file_name), warn_(std::move(warn)), text_(text) {
    text_.own(layout_reason_,
              year_digits == 4
                  ? "la data o l'ora non si legge (gg/mm/aaaa hh:mm): la riga resta dopo la "
                    "precedente del suo calendario"
                  : "la data o l'ora non si legge (gg/mm/aa hh:mm): la riga resta dopo la "
                    "precedente del suo calendario");
    if (!omitted_from.empty()) {
        told_by_format_ = true;
        kept_layout_reason_ = layout_reason_;
        text_.own(layout_reason_, ", e la gara non \xE8 in ");
        text_.foreign(layout_reason_, omitted_from);
        text_.own(kept_layout_reason_, ", e la gara resta in ");
        text_.foreign(kept_layout_reason_, omitted_from);
        text_.own(kept_layout_reason_, " com'era");
    }
    text_.own(order_reason_, order_reason);
}

void LineCheck::check(const MatchRecord& match) {
    ++matches_;
    const bool placed = day_known_placed_ && match.time_pending;
    dated_ += match.dating == Dating::dated || placed ? 1 : 0;
    if (!match.in_place) {
        if (!told_by_format_ && !placed) {
            problem(match.line_number, layout_reason_);
        }
        // It stands after the match before it: not compared.
        return;
    }
    const bool earlier = match.keys.date != previous_.date ? match.keys.date < previous_.date
                                                           : match.keys.time < previous_.time;
    if (earlier) {
        problem(match.line_number, order_reason_);
    }
    previous_ = match.keys;
}

namespace {

std::vector<std::string> names_of(std::span<const Calendar> calendars) {
    std::vector<std::string> names;
    names.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        names.push_back(calendar.name());
    }
    return names;
}

}  // namespace

CalendarChecks::CalendarChecks(std::span<const Calendar> calendars, const Warn& warn,
                               std::string_view omitted_from, ClashSettings clashes,
                               MessageText text)
    : names_(names_of(calendars)), clashes_(clashes, warn, names_, text), text_(text) {
    text_.own(look_alike_reason_, look_alike_reason);
    checks_.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        checks_.emplace_back(calendar.name(), calendar.year_digits(), warn, omitted_from, text);
    }
}

void CalendarChecks::skipped(const Calendar& calendar) {
    const std::string_view line = calendar.skipped_line();
    if (!line.empty() && looks_like_match(line)) {
        checks_[calendar.index()].problem(calendar.line_number(), look_alike_reason_);
    }
}

void CalendarChecks::finish() {
    for (LineCheck& check : checks_) {
        check.finish();
    }
    clashes_.finish();
}

void LineCheck::unreadable(const MatchRecord& match, bool kept) {
    problem(match.line_number, kept ? kept_layout_reason_ : layout_reason_);
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
    message_.clear();
    text_.about_line(message_, file_name_, line_number);
    message_.append(reason);
    text_.own(message_, "\n");
    warn_(message_);
}

void LineCheck::finish() {
    if (held_back_lines_ == 0) {
        return;
    }
    message_.clear();
    text_.own(message_, "gironario: ");
    text_.foreign(message_, file_name_);
    text_.own(message_, ": ");
    text_.own(message_,
              more_not_listed(held_back_lines_, "riga con problemi", "righe con problemi"));
    text_.own(message_, "\n");
    held_back_lines_ = 0;
    warn_(message_);
}

}  // namespace gironario
