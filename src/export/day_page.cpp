#include "export/day_page.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "calendar/prepared_source.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

// The Italian names as HTML: character references keep every byte of them ASCII.
constexpr std::array<std::string_view, 7> weekdays = {
    "domenica",       "luned&igrave;",  "marted&igrave;", "mercoled&igrave;",
    "gioved&igrave;", "venerd&igrave;", "sabato",
};
constexpr std::array<std::string_view, 12> months = {
    "gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
    "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre",
};

// The page's style. A phone 360 pixels wide shows every line wrapped, long words included; on
// paper the tags keep their colour in their text and border instead of a ground, and a day stays
// on one page unless it fills one.
std::string style() {
    std::string css =
        "@page { size: A4; margin: 15mm; }\n"
        "body { margin: 0 auto; max-width: 40rem; padding: 0.75rem; font-family: sans-serif; "
        "line-height: 1.4; overflow-wrap: anywhere; ";
    css.append("color: ").append(PAGE_TEXT).append("; background: ").append(PAGE_GROUND);
    css.append(
        "; }\n"
        "h1 { font-size: 1.5rem; margin: 0 0 1rem; }\n"
        "section { margin: 0 0 1rem; }\n"
        "h2 { font-size: 1.05rem; margin: 0; padding: 0.3rem 0.5rem; background: ");
    css.append(DAY_GROUND);
    css.append(
        "; }\n"
        "ul { list-style: none; margin: 0; padding: 0; }\n"
        "li { padding: 0.4rem 0.5rem; border-bottom: 1px solid #d0d7de; }\n"
        "time { margin-right: 0.4rem; font-variant-numeric: tabular-nums; }\n"
        "em { font-style: normal; color: ");
    css.append(PLACE_TEXT);
    css.append(
        "; }\n"
        ".tag { display: inline-block; padding: 0 0.4rem; border: 1px solid var(--c); "
        "border-radius: 0.3rem; background: var(--c); font-size: 0.85rem; color: ");
    css.append(TAG_TEXT).append("; }\n");
    for (std::size_t i = 0; i < TAG_COLOURS.size(); ++i) {
        css.append(".c").append(std::to_string(i)).append(" { --c: ");
        css.append(TAG_COLOURS[i]).append("; }\n");
    }
    css.append(".nota { display: block; font-weight: bold; color: ").append(NOTE_TEXT);
    css.append(
        "; }\n"
        "code { white-space: pre-wrap; }\n"
        "@media print {\n"
        "  body { max-width: none; padding: 0; }\n"
        "  h2 { background: none; border-bottom: 2px solid; }\n"
        "  .tag { background: none; color: var(--c); }\n"
        "  section { break-inside: avoid; }\n"
        "}\n");
    return css;
}

// Text that cannot hold markup: the five characters that could start or end some are written as
// references.
void append_escaped(std::string& out, std::string_view text) {
    const auto special = [](char c) {
        return c == '<' || c == '>' || c == '&' || c == '"' || c == '\'';
    };
    auto from = text.begin();
    for (;;) {
        const auto at = std::find_if(from, text.end(), special);
        out.append(from, at);
        if (at == text.end()) {
            return;
        }
        switch (*at) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += "&#39;";
                break;
        }
        from = at + 1;
    }
}

// Whether every byte of a line goes over as it is: printable ASCII that holds no markup, as
// nearly every calendar line is. Such a line needs neither reading nor escaping. Eight bytes at a
// time, with the bit tests that tell whether a word holds a byte below, above or equal to a value:
// this runs for every match.
bool is_simple(std::string_view line) {
    constexpr std::uint64_t ones = ~std::uint64_t{0} / 255;
    constexpr std::uint64_t highs = ones * 128;
    const auto any_below = [](std::uint64_t word, std::uint64_t value) {
        return ((word - ones * value) & ~word & highs) != 0;
    };
    const auto any_equal = [&](std::uint64_t word, char value) {
        return any_below(word ^ (ones * static_cast<unsigned char>(value)), 1);
    };
    std::size_t i = 0;
    for (; i + 8 <= line.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, line.data() + i, sizeof word);
        // Below a space, or from DEL (0x7F) up.
        if (any_below(word, ' ') || (((word + ones * (127 - '~')) | word) & highs) != 0) {
            return false;
        }
        if (any_equal(word, '<') || any_equal(word, '>') || any_equal(word, '&') ||
            any_equal(word, '"') || any_equal(word, '\'')) {
            return false;
        }
    }
    return std::all_of(line.begin() + static_cast<std::ptrdiff_t>(i), line.end(), [](char c) {
        return c >= ' ' && c <= '~' && c != '<' && c != '>' && c != '&' && c != '"' && c != '\'';
    });
}

}  // namespace

std::string_view calendar_tag(std::string_view calendar_name) {
    calendar_name = base_name(calendar_name);
    // A name that starts with its only dot, such as ".u17", has no extension.
    const std::size_t dot = calendar_name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        calendar_name = calendar_name.substr(0, dot);
    }
    return calendar_name;
}

std::string day_heading(const LocalTime& day) {
    using namespace std::chrono;
    const sys_days date{year{day.year} / month{static_cast<unsigned>(day.month)} /
                        std::chrono::day{static_cast<unsigned>(day.day)}};
    std::string heading(weekdays[weekday{date}.c_encoding()]);
    heading.append(" ").append(std::to_string(day.day)).append(" ");
    heading.append(months[static_cast<std::size_t>(day.month - 1)]);
    heading.append(" ").append(std::to_string(day.year));
    return heading;
}

DayPage::DayPage(LineWriter& out, PageSettings settings)
    : out_(out), settings_(std::move(settings)) {}

void DayPage::begin() {
    html_.clear();
    append_text(settings_.title, is_utf8(settings_.title));
    if (html_.empty()) {
        html_ = "Calendario";
    }
    out_.put(
        "<!doctype html>\n"
        "<html lang=\"it\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>");
    out_.put(html_);
    out_.put("</title>\n<style>\n");
    out_.put(style());
    out_.put("</style>\n</head>\n<body>\n<h1>");
    out_.put(html_);
    out_.put("</h1>\n");
}

void DayPage::match(const PageLine& line) {
    const MatchRecord& match = *line.match;
    html_.clear();
    if (match.time_pending) {
        day_item(line);
        waiting_.emplace(minute_number(match.at), html_);
        return;
    }
    if (match.dating != Dating::dated) {
        html_ += "<li>";
        append_text(line.calendar_name, is_utf8(line.calendar_name));
        html_ += ", riga ";
        html_ += std::to_string(match.line_number);
        html_ += ":<br><code>";
        append_text(match.line, is_utf8(match.line));
        html_ += "</code></li>\n";
        unchecked_ += html_;
        return;
    }
    // Only the place and the title are shown. When they are simple, either reading of the line
    // gives them as they are; else the line is read whole, as the iCalendar export reads it.
    // A row's address and town, or an event's whole location, are shown with its place.
    const std::string_view place = match.source != MatchSource::text ? match.location : match.place;
    const bool simple = is_simple(place) && is_simple(match.title);
    const bool utf8 = simple || is_utf8(match.line);
    const long long day = match.start - match.start % 1440;
    if (!day_open_ || day != day_) {
        close_day();
        days_waiting_before(day);
        html_ += "<section>\n<h2>";
        html_ += day_heading(local_time(day));
        html_ += "</h2>\n<ul>\n";
        day_open_ = true;
        day_ = day;
    }
    // Straight to the output, but for the text that must be read and escaped first: this runs
    // for every match.
    out_.put(html_);
    const auto minutes = static_cast<int>(match.start - day);
    char time[] = "<li><time>hh:mm</time> <strong>";
    time[10] = static_cast<char>('0' + minutes / 600);
    time[11] = static_cast<char>('0' + minutes / 60 % 10);
    time[13] = static_cast<char>('0' + minutes % 60 / 10);
    time[14] = static_cast<char>('0' + minutes % 10);
    out_.put(std::string_view(time, sizeof time - 1));
    if (simple) {
        // The title is trimmed already, and nothing in it is left out or trimmed by the reading.
        out_.put(match.title.empty() ? match.place : match.title);
        out_.put("</strong> <em>");
        out_.put(place);
    } else {
        html_.clear();
        append_escaped(html_, match_title(match, utf8));
        html_ += "</strong> <em>";
        append_text(place, utf8);
        out_.put(html_);
    }
    out_.put("</em> ");
    for (const MatchTag& tag : line.tags) {
        out_.put(tag_of(tag));
    }
    if (!line.clash_note.empty()) {
        html_ = "<span class=\"nota\">&#9888; ";
        append_text(line.clash_note, true);
        html_ += "</span>";
        out_.put(html_);
    }
    out_.put("</li>\n");
}

void DayPage::end() {
    html_.clear();
    close_day();
    days_waiting_before(std::numeric_limits<long long>::max());
    if (!unchecked_.empty()) {
        html_ += "<section>\n<h2>Da controllare</h2>\n<ul>\n";
        html_ += unchecked_;
        html_ += "</ul>\n</section>\n";
    }
    html_ += "</body>\n</html>\n";
    out_.put(html_);
}

// Appends `bytes` to the match being written as clean, escaped text.
void DayPage::append_text(std::string_view bytes, bool utf8) {
    text_.clear();
    append_plain_text(text_, bytes, utf8);
    append_escaped(html_, text_);
}

const std::string& DayPage::tag_of(const MatchTag& match_tag) {
    std::string& tag = tags_[{match_tag.colour, std::string(match_tag.name)}];
    if (tag.empty()) {
        text_.clear();
        append_plain_text(text_, match_tag.name, is_utf8(match_tag.name));
        tag = "<span class=\"tag c" + std::to_string(match_tag.colour % TAG_COLOURS.size()) + "\">";
        append_escaped(tag, text_);
        tag += "</span>";
    }
    return tag;
}

void DayPage::close_day() {
    if (day_open_) {
        append_waiting(day_);
        html_ += "</ul>\n</section>\n";
        day_open_ = false;
    }
}

// The item of a match whose time is not set yet, in html_: where a time stands, that it is not.
void DayPage::day_item(const PageLine& line) {
    const MatchRecord& match = *line.match;
    const bool utf8 = is_utf8(match.line);
    html_ += "<li><time datetime=\"";
    html_ += std::to_string(match.at.year);
    html_ += '-';
    append_two_digits(html_, match.at.month);
    html_ += '-';
    append_two_digits(html_, match.at.day);
    html_ += "\">ora da definire</time> <strong>";
    append_escaped(html_, match_title(match, utf8));
    html_ += "</strong> <em>";
    append_text(match.source != MatchSource::text ? match.location : match.place, utf8);
    html_ += "</em> ";
    for (const MatchTag& tag : line.tags) {
        html_ += tag_of(tag);
    }
    html_ += "</li>\n";
}

// Appends the items waiting for `day`, which then wait no more.
void DayPage::append_waiting(long long day) {
    const auto [first, last] = waiting_.equal_range(day);
    for (auto item = first; item != last; ++item) {
        html_ += item->second;
    }
    waiting_.erase(first, last);
}

// Appends a section for each day before `day` that only matches without their time stand on.
void DayPage::days_waiting_before(long long day) {
    while (!waiting_.empty() && waiting_.begin()->first < day) {
        const long long waiting_day = waiting_.begin()->first;
        html_ += "<section>\n<h2>";
        html_ += day_heading(local_time(waiting_day));
        html_ += "</h2>\n<ul>\n";
        append_waiting(waiting_day);
        html_ += "</ul>\n</section>\n";
    }
}

}  // namespace gironario
