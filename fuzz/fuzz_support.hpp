#pragma once

// What the fuzz targets share: how a fuzz input is cut into parts, and the invariants that any
// merged text and any table must keep, checked against the calendars they came from. The checks
// use the calendar line rules of the program itself (which lines are matches, the number offset)
// but none of the merge's or the export's own logic.

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "calendar/listing_line.hpp"
#include "calendar/typed_date.hpp"
#include "io/byte_stream.hpp"
#include "io/line_reader.hpp"
#include "io/line_writer.hpp"

namespace gironario::fuzz {

// Stops the fuzzer on a broken invariant, telling which.
[[noreturn]] inline void fail(std::string_view what) {
    std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

inline void require(bool condition, std::string_view what) {
    if (!condition) {
        fail(what);
    }
}

// The parts of a fuzz input, separated by lines "====". The last part takes the rest, so a
// separator inside it stays text.
inline std::vector<std::string_view> cut(std::string_view input, std::size_t parts) {
    static constexpr std::string_view separator = "====\n";
    std::vector<std::string_view> result;
    while (result.size() + 1 < parts) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos) {
            break;
        }
        result.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    result.push_back(input);
    result.resize(parts);
    return result;
}

// A line reader's buffer size chosen by one byte of the input: mostly the program's own, else
// small enough that lines outgrow it and the reader has to make room for them.
inline std::size_t reader_capacity(unsigned char choice) {
    return choice < 0x40 ? LineReader::default_capacity : 3 + (choice & 0x3Fu);
}

// A line writer's buffer size chosen by one byte, in the same way.
inline std::size_t writer_capacity(unsigned char choice) {
    return choice < 0x40 ? LineWriter::default_capacity : 1 + (choice & 0x3Fu);
}

// The lines of a text without their line feeds; a last line without a line feed counts.
inline std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t feed = text.find('\n');
        if (feed == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, feed));
        text.remove_prefix(feed + 1);
    }
    return lines;
}

inline std::size_t longest_line(std::string_view text) {
    std::size_t longest = 0;
    for (std::string_view line : lines_of(text)) {
        longest = std::max(longest, line.size());
    }
    return longest;
}

// A calendar as a run reads it: without the UTF-8 byte-order mark at its very start.
inline std::string_view without_byte_order_mark(std::string_view calendar) {
    return calendar.starts_with("\xEF\xBB\xBF") ? calendar.substr(3) : calendar;
}

// The match lines of a calendar as the merge must write them: each with its line feed and, for
// a four-digit calendar, without the two century digits that the number offset of that line
// places; a line typed out of its columns as the columns write it. Read through a reader whose
// buffer starts at `capacity` bytes, so that a small one must grow for long lines.
// `today` is the run's day, which a listing's dates without a year are read near.
inline std::vector<std::string> written_matches(std::string_view calendar, int year_digits,
                                                std::size_t capacity, Date today = {}) {
    std::vector<std::string> matches;
    int number_offset = 0;
    StringInput input{std::string(calendar)};
    LineReader reader(input, capacity);
    // A listing's lines are written as its reader writes them, in the order they come.
    ListingState listing;
    listing.years.today = today;
    MatchRecord listed;
    const auto read_listed = [&](std::string_view line, bool match_line) {
        return read_listing_line(line, match_line, static_cast<long long>(matches.size()) + 1,
                                 nullptr, listing, listed);
    };
    while (reader.next()) {
        const std::string_view line = reader.line();
        if (!is_match_line(line)) {
            if (read_listed(line, false) == ListingLine::match) {
                matches.push_back(listed.line + '\n');
            }
            continue;
        }
        number_offset = detect_number_offset(line, number_offset);
        std::string written(line);
        if (const auto columns = read_columns(line, number_offset, year_digits)) {
            // A date in its columns: a four-digit year loses its century.
            if (year_digits == 4) {
                written.erase(century_position(number_offset), 2);
            }
            const Date date{full_year(columns->year, year_digits == 4 ? 4 : 2), columns->month,
                            columns->day};
            if (exists(date) && exists(ClockTime{columns->hour, columns->minute})) {
                listing.years.latest = date;
            }
        } else if (const std::optional<TypedLine> typed = read_typed_line(line)) {
            // Its number offset stays the one its own line shows, as for any match line.
            written = typed->line;
            listing.years.latest = Date{typed->start.year, typed->start.month, typed->start.day};
        } else if (const ListingLine read = read_listed(line, true); read == ListingLine::match) {
            written = listed.line;
        } else if (read == ListingLine::heading) {
            continue;  // "10a Giornata - 5 ottobre"
        }
        written += '\n';
        matches.push_back(std::move(written));
    }
    return matches;
}

// Checks a merged text against the match lines of both calendars: every line ends with a line
// feed; every line is a day-break line (empty) or the next match line of one of the calendars,
// so that each match line comes exactly once and each calendar keeps its own order; a day-break
// line follows a match line, never another day-break line; `count` is the number of match lines.
// With `complete` false the text may stop early, as when writing failed. Returns what is wrong,
// or nothing.
inline std::string_view merged_fault(std::string_view merged, const std::vector<std::string>& first,
                                     const std::vector<std::string>& second, long long count,
                                     bool complete = true) {
    if (!merged.empty() && merged.back() != '\n') {
        return "the merged text ends inside a line";
    }
    // Which numbers of calendar 1's lines can have been written so far; calendar 2 has had the
    // rest. Two calendars may hold equal lines, so more than one split can fit.
    std::set<std::size_t> taken_first = {0};
    std::size_t written = 0;
    bool after_match = false;
    for (std::string_view line : lines_of(merged)) {
        if (line.empty()) {
            if (!after_match) {
                return "a day-break line that does not follow a match line";
            }
            after_match = false;
            continue;
        }
        std::set<std::size_t> next;
        for (const std::size_t i : taken_first) {
            const std::size_t j = written - i;
            if (i < first.size() && first[i].size() == line.size() + 1 &&
                first[i].compare(0, line.size(), line) == 0) {
                next.insert(i + 1);
            }
            if (j < second.size() && second[j].size() == line.size() + 1 &&
                second[j].compare(0, line.size(), line) == 0) {
                next.insert(i);
            }
        }
        if (next.empty()) {
            return "a written line is not the next match line of either calendar (lost, repeated, "
                   "reordered or altered)";
        }
        taken_first = std::move(next);
        ++written;
        after_match = true;
    }
    if (static_cast<long long>(written) != count) {
        return "the count differs from the match lines written";
    }
    if (complete &&
        (written != first.size() + second.size() || taken_first.count(first.size()) == 0)) {
        return "a match line of the calendars was not written";
    }
    return {};
}

inline void check_merged(std::string_view merged, const std::vector<std::string>& first,
                         const std::vector<std::string>& second, long long count) {
    const std::string_view fault = merged_fault(merged, first, second, count);
    require(fault.empty(), fault);
}

// A table row's cells: the first four spaces become `separator`, unless the line looks like a
// heading by one of its first three characters.
inline std::string cells(std::string_view line, std::string_view separator) {
    const bool heading = (line.size() > 0 && line[0] == 'G') ||
                         (line.size() > 1 && line[1] == 'i') || (line.size() > 2 && line[2] == 'o');
    std::string result;
    int spaces = 0;
    for (const char c : line) {
        if (c == ' ' && !heading && spaces < 4) {
            result += separator;
            ++spaces;
        } else {
            result += c;
        }
    }
    return result;
}

enum class Table { spreadsheet, web_page };

// The table that must be made from `merged`, `matches` of whose lines were counted as match
// lines: one row per line up to the line that brings the match lines to `matches`, or to the end.
inline std::string expected_table(Table kind, std::string_view merged, long long matches) {
    std::string table;
    if (kind == Table::web_page) {
        table +=
            "<HTML>\n<BODY>\n<TABLE border=1 bgcolor=#80ff80>\n"
            "<TR><TD><b>N</b></TD><TD align=center><b>DATA</b></TD><TD "
            "align=center><b>ORARIO</b></TD><TD align=center><b>LUOGO</b></TD><TD "
            "align=center><b>PARTITA</b></TD></TR>";
    }
    long long rows = 0;
    long long matches_seen = 0;
    for (std::string_view line : lines_of(merged)) {
        if (matches_seen >= matches) {
            break;
        }
        ++rows;
        if (!line.empty()) {
            ++matches_seen;
        }
        if (kind == Table::spreadsheet) {
            table += std::to_string(rows) + '\t' + cells(line, "\t") + '\n';
        } else {
            table += "<TR bgcolor=#c0ffff>\n\t<TD>" + cells(line, "</TD>\n\t<TD>") +
                     "\n\t</TD>\n</TR>\n";
        }
    }
    if (kind == Table::web_page) {
        table += "\n</TABLE>\n</BODY>\n</HTML>";
    }
    return table;
}

}  // namespace gironario::fuzz
