#include "export/day_page.hpp"

#include <algorithm>
#include <chrono>
#include <utility>

#include "export/ics_text.hpp"

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
        ".ora { font-weight: bold; margin-right: 0.4rem; }\n"
        ".luogo { color: ");
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

void append_two_digits(std::string& out, int number) {
    out += static_cast<char>('0' + number / 10);
    out += static_cast<char>('0' + number % 10);
}

void open_tag(std::string& out, std::size_t calendar) {
    out += "<span class=\"tag c";
    out += std::to_string(calendar % TAG_COLOURS.size());
    out += "\">";
}

}  // namespace

std::string_view calendar_tag(std::string_view calendar_name) {
    const std::size_t folder_end = calendar_name.find_last_of("/\\");
    if (folder_end != std::string_view::npos) {
        calendar_name.remove_prefix(folder_end + 1);
    }
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

MatchDating DayPage::match(const PageLine& line) {
    MatchFields fields;
    const MatchDating dating = read_match_fields(line.line, line.width, line.year_digits, fields);
    // One reading for the whole line, as the iCalendar export reads it.
    const bool utf8 = is_utf8(line.line);
    html_.clear();
    if (dating != MatchDating::dated) {
        html_ += "<li>";
        append_text(line.calendar_name, is_utf8(line.calendar_name));
        html_ += ", riga ";
        html_ += std::to_string(line.line_number);
        html_ += ":<br><code>";
        append_text(line.line, utf8);
        html_ += "</code></li>\n";
        unchecked_ += html_;
        return dating;
    }
    const LocalTime& start = fields.start;
    if (!day_open_ || start.year != day_.year || start.month != day_.month ||
        start.day != day_.day) {
        close_day();
        html_ += "<section>\n<h2>";
        html_ += day_heading(start);
        html_ += "</h2>\n<ul>\n";
        day_open_ = true;
        day_ = start;
    }
    html_ += "<li><span class=\"ora\">";
    append_two_digits(html_, start.hour);
    html_ += ':';
    append_two_digits(html_, start.minute);
    html_ += "</span> <span class=\"gara\">";
    append_escaped(html_, match_title(fields, utf8));
    html_ += "</span> <span class=\"luogo\">";
    append_text(fields.place, utf8);
    html_ += "</span> ";
    open_tag(html_, line.calendar);
    append_text(line.tag, is_utf8(line.tag));
    html_ += "</span>";
    if (!line.clash_note.empty()) {
        html_ += "<span class=\"nota\">&#9888; ";
        append_text(line.clash_note, true);
        html_ += "</span>";
    }
    html_ += "</li>\n";
    out_.put(html_);
    return dating;
}

void DayPage::end() {
    html_.clear();
    close_day();
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

void DayPage::close_day() {
    if (day_open_) {
        html_ += "</ul>\n</section>\n";
        day_open_ = false;
    }
}

}  // namespace gironario
