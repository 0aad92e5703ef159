#pragma once

// The merged calendar as a page for reading (calendario-pagina.html): the matches day by day, each
// day under a heading that names it in Italian, each match with its time, its title, its place and
// a coloured tag naming its calendar; the lines that cannot be dated are listed at the end, to be
// checked by hand. One self-contained HTML5 file in UTF-8, readable on a phone and printable on A4.

#include <array>
#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/match_record.hpp"
#include "export/match_tags.hpp"
#include "io/line_writer.hpp"

namespace gironario {

// The colours of the page, "#rrggbb". Text stands on PAGE_GROUND, or on DAY_GROUND in a day's
// heading on screen; a tag's text is TAG_TEXT on its calendar's colour on screen, and the colour on
// PAGE_GROUND in print. Every pair meets WCAG AA contrast (4.5:1).
inline constexpr std::string_view PAGE_GROUND = "#ffffff";
inline constexpr std::string_view PAGE_TEXT = "#1a1a1a";
inline constexpr std::string_view PLACE_TEXT = "#595959";
inline constexpr std::string_view NOTE_TEXT = "#a3141a";
inline constexpr std::string_view DAY_GROUND = "#e8eef5";
inline constexpr std::string_view TAG_TEXT = "#ffffff";
// One for each calendar in the order named, over again after the last.
inline constexpr std::array<std::string_view, 8> TAG_COLOURS = {
    "#1f5fa8", "#b3261e", "#1b7a3a", "#7b3fa0", "#a64b00", "#00707a", "#9c2a6b", "#5c5c00",
};

struct PageSettings {
    // The page's title and heading: bytes as typed, UTF-8 or else Windows-1252.
    std::string title = "Calendario";
};

// A match as the merge hands it to the page.
struct PageLine {
    const MatchRecord* match = nullptr;
    std::string_view calendar_name{};  // as typed, named where the match is to be checked
    std::span<const MatchTag> tags{};  // at least one
    // Plain UTF-8 text naming another match in the same gym at the same time; empty when none.
    std::string_view clash_note{};
};

// The name of a calendar's tag: its file name without folders and without extension.
std::string_view calendar_tag(std::string_view calendar_name);

// The heading of a day in HTML, as "domenica 4 ottobre 2026".
std::string day_heading(const LocalTime& day);

// Writes the page through `out` as the merge goes: begin(), match() for each match line in merged
// order, then end(). Memory grows only with the lines that cannot be dated, kept for the end, and
// with the matches whose day is known and whose time is not set yet, kept until their day.
class DayPage {
  public:
    DayPage(LineWriter& out, PageSettings settings);

    // The page's head, its style and its heading.
    void begin();

    // Writes a dated match under its day, after a heading when the day changes; keeps one whose
    // day is known and whose time is not set yet for the end of its day, marked "ora da
    // definire", and any other for end().
    void match(const PageLine& line);

    // Closes the last day, lists the lines kept under "Da controllare" and ends the page.
    void end();

  private:
    void append_text(std::string_view bytes, bool utf8);
    const std::string& tag_of(const MatchTag& tag);
    void close_day();
    void day_item(const PageLine& line);
    void append_waiting(long long day);
    void days_waiting_before(long long day);

    LineWriter& out_;
    PageSettings settings_;
    bool day_open_ = false;
    long long day_ = 0;      // of the open day: minute_number() of its midnight
    std::string html_;       // the match being written, kept for its capacity
    std::string text_;       // plain text before it is escaped, likewise
    std::string unchecked_;  // the items of "Da controllare", in merged order
    // The items of the matches whose time is not set yet, by their day (minute_number() of its
    // midnight), each day's in the order they came.
    std::multimap<long long, std::string> waiting_;
    std::map<std::pair<std::size_t, std::string>, std::string> tags_;  // made at their first match
};

}  // namespace gironario
