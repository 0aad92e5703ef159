// Random calendar pairs, the same every run: headings, empty lines, ties, several matches on one
// day, two- and four-digit years, match numbers of one to five digits, long lines and last lines
// without a line feed. Each merged text must hold every match of both calendars once, each
// calendar's in its own order, in chronological order overall, with the day-break lines where
// the rules put them, and the count must be the number of match lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "calendar/merge.hpp"
#include "io/byte_stream.hpp"

namespace gironario {
namespace {

// When a match is played; the year is its last two digits, the only ones compared.
using When = std::tuple<int, int, int, int, int>;  // year, month, day, hour, minute

bool same_day(const When& a, const When& b) {
    return std::get<0>(a) == std::get<0>(b) && std::get<1>(a) == std::get<1>(b) &&
           std::get<2>(a) == std::get<2>(b);
}

struct Match {
    When when;
    std::string line;     // as it stands in its calendar, without the line feed
    std::string written;  // as the merged text must hold it, with the line feed
};

struct GeneratedCalendar {
    std::string text;
    int year_digits;
    std::vector<Match> matches;
};

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
    bool chance(int percent) { return below(100) < percent; }

    // Dates and times from a few values only, so that ties and days with several matches come
    // often.
    When when() {
        return {7 + below(2), 9 + below(2), 1 + below(3), 15 + 3 * below(2), 30 * below(2)};
    }

    GeneratedCalendar calendar(char tag) {
        GeneratedCalendar calendar;
        calendar.year_digits = chance(50) ? 2 : 4;
        std::vector<When> times(static_cast<std::size_t>(below(9)));
        for (When& time : times) {
            time = when();
        }
        std::sort(times.begin(), times.end());

        if (chance(20)) {
            calendar.text +=
                "\xEF\xBB\xBF"
                "Calendario\n";
        }
        for (std::size_t i = 0; i < times.size(); ++i) {
            add_headings(calendar.text);
            Match match = make_match(times[i], calendar.year_digits, tag, i);
            calendar.text += match.line + '\n';
            calendar.matches.push_back(std::move(match));
        }
        add_headings(calendar.text);
        if (!calendar.text.empty() && chance(15)) {
            calendar.text.pop_back();  // the last line without its line feed
        }
        return calendar;
    }

  private:
    void add_headings(std::string& text) {
        static const char* const headings[] = {
            "",
            "Girone di andata",
            " 5 01/09/07 Campo1 A - B",
            "5x giornata",
            "2a giornata",
            "Giornata 3",
            "5",
        };
        while (chance(20)) {
            text += headings[below(7)];
            if (chance(5)) {
                text += std::string(static_cast<std::size_t>(100 + below(3000)), '-');
            }
            text += '\n';
        }
    }

    // The place names the calendar and the match, so that every line is told apart.
    Match make_match(const When& time, int year_digits, char tag, std::size_t index) {
        const auto [year, month, day, hour, minute] = time;
        const int digits = 1 + below(5);
        int number = 1;
        for (int i = 1; i < digits; ++i) {
            number *= 10;
        }
        number += below(number * 9);
        char century[3] = "";
        if (year_digits == 4) {
            std::snprintf(century, sizeof century, "%s", chance(50) ? "20" : "19");
        }
        char head[64];
        std::snprintf(head, sizeof head, "%d %02d/%02d/%s%02d %02d:%02d Campo%c%zu", number, day,
                      month, century, year, hour, minute, tag, index);
        char written_head[64];
        std::snprintf(written_head, sizeof written_head, "%d %02d/%02d/%02d %02d:%02d Campo%c%zu",
                      number, day, month, year, hour, minute, tag, index);
        std::string description = " Casa - Ospiti";
        if (chance(5)) {
            description += std::string(static_cast<std::size_t>(100 + below(3000)), 'x');
        }
        return {time, head + description, written_head + description + '\n'};
    }

    std::mt19937 random_;
};

// The merged text of any number of calendars by the rules, on the dates and times themselves: of
// the calendars' next matches the earliest goes first, the calendar named first at a tie; all the
// matches of one minute go together and are followed by one day break; a match followed by one
// of another day by a day break; the last calendar left is copied as it is.
std::string expected_merge_of(const std::vector<GeneratedCalendar>& calendars) {
    std::vector<std::size_t> next(calendars.size(), 0);
    const auto left = [&](std::size_t c) { return next[c] < calendars[c].matches.size(); };
    const auto head = [&](std::size_t c) -> const Match& { return calendars[c].matches[next[c]]; };
    std::string text;
    for (;;) {
        std::vector<std::size_t> order;
        for (std::size_t c = 0; c < calendars.size(); ++c) {
            if (left(c)) {
                order.push_back(c);
            }
        }
        if (order.size() < 2) {
            for (const std::size_t c : order) {
                for (; left(c); ++next[c]) {
                    text += head(c).written;
                }
            }
            return text;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return head(a).when < head(b).when; });
        const When first = head(order[0]).when;
        if (head(order[1]).when == first) {
            for (const std::size_t c : order) {
                if (head(c).when == first) {
                    text += head(c).written;
                    ++next[c];
                }
            }
            text += '\n';
            continue;
        }
        text += head(order[0]).written;
        const bool by_day = !same_day(first, head(order[1]).when);
        ++next[order[0]];
        if (by_day) {
            text += '\n';
        }
    }
}

struct Merged {
    std::string text;
    long long count;
};

Merged merge_calendars(const GeneratedCalendar& one, const GeneratedCalendar& two,
                       std::size_t reader_size, std::size_t writer_size) {
    StringInput input_one(one.text);
    StringInput input_two(two.text);
    LineReader reader_one(input_one, reader_size);
    LineReader reader_two(input_two, reader_size);
    Calendar calendars[] = {{reader_one, one.year_digits}, {reader_two, two.year_digits}};
    Merged merged;
    StringOutput output(merged.text);
    LineWriter writer(output, writer_size);
    merged.count = merge(calendars, writer);
    EXPECT_TRUE(writer.close());
    return merged;
}

// Which calendar and which of its matches a written line is, from the place it names.
struct Origin {
    const Match* match;
    int calendar;
    std::size_t index;
};

Origin origin(std::string_view line, const GeneratedCalendar& one, const GeneratedCalendar& two) {
    for (int calendar = 0; calendar < 2; ++calendar) {
        const std::vector<Match>& matches = (calendar == 0 ? one : two).matches;
        for (std::size_t i = 0; i < matches.size(); ++i) {
            if (std::string_view(matches[i].written).substr(0, matches[i].written.size() - 1) ==
                line) {
                return {&matches[i], calendar, i};
            }
        }
    }
    return {nullptr, -1, 0};
}

std::string show(const GeneratedCalendar& calendar) {
    std::string shown = std::to_string(calendar.year_digits) + " digits:\n";
    // Long lines shortened, so that a failure stays readable.
    std::size_t column = 0;
    for (const char c : calendar.text) {
        column = c == '\n' ? 0 : column + 1;
        if (column < 80) {
            shown += c;
        } else if (column == 80) {
            shown += "...";
        }
    }
    return shown;
}

TEST(MergeProperty, RandomCalendarPairs) {
    constexpr unsigned pairs = 3000;
    for (unsigned seed = 1; seed <= pairs; ++seed) {
        Generator generate(seed);
        const GeneratedCalendar one = generate.calendar('A');
        const GeneratedCalendar two = generate.calendar('B');
        // Mostly the program's buffers; sometimes small ones that long lines overflow.
        const std::size_t reader_size = generate.chance(25)
                                            ? 32 + static_cast<std::size_t>(generate.below(64))
                                            : LineReader::default_capacity;
        const std::size_t writer_size = generate.chance(25)
                                            ? 1 + static_cast<std::size_t>(generate.below(64))
                                            : LineWriter::default_capacity;
        SCOPED_TRACE("seed " + std::to_string(seed) + "\ncalendar 1, " + show(one) +
                     "\ncalendar 2, " + show(two));
        const Merged merged = merge_calendars(one, two, reader_size, writer_size);

        ASSERT_TRUE(merged.text.empty() || merged.text.back() == '\n');
        std::vector<Origin> written;
        std::vector<bool> break_after;  // whether a day-break line follows each match line
        std::size_t start = 0;
        while (start < merged.text.size()) {
            const std::size_t end = merged.text.find('\n', start);
            const std::string_view line(merged.text.data() + start, end - start);
            start = end + 1;
            if (line.empty()) {
                ASSERT_TRUE(!break_after.empty() && !break_after.back())
                    << "a day-break line not after a match line";
                break_after.back() = true;
                continue;
            }
            const Origin from = origin(line, one, two);
            ASSERT_NE(from.match, nullptr) << "a line not written as in either calendar: " << line;
            written.push_back(from);
            break_after.push_back(false);
        }

        // Every match once, each calendar's in its own order, and counted.
        ASSERT_EQ(written.size(), one.matches.size() + two.matches.size());
        EXPECT_EQ(merged.count, static_cast<long long>(written.size()));
        std::size_t next[2] = {0, 0};
        for (const Origin& from : written) {
            ASSERT_EQ(from.index, next[from.calendar]++) << "calendar " << from.calendar + 1;
        }

        // Chronological order. (Which of two simultaneous matches comes first is the tie
        // rule, checked with the day-break lines.)
        for (std::size_t k = 1; k < written.size(); ++k) {
            ASSERT_FALSE(written[k].match->when < written[k - 1].match->when)
                << "match " << k + 1 << " out of order";
        }

        // Day-break lines: while both calendars have matches left, after a match earlier than
        // the other calendar's next by its day, and after each tie pair; never once one of them
        // has run out.
        std::size_t left[2] = {one.matches.size(), two.matches.size()};
        for (std::size_t k = 0; k < written.size(); ++k) {
            const int calendar = written[k].calendar;
            const int other = 1 - calendar;
            bool expected_break = false;
            if (left[other] > 0) {
                const std::vector<Match>& others = (other == 0 ? one : two).matches;
                const When& theirs = others[others.size() - left[other]].when;
                const When& mine = written[k].match->when;
                if (mine == theirs && calendar == 0) {
                    // The tie pair: the break comes after calendar 2's match, next.
                    ASSERT_FALSE(break_after[k]) << "a day-break inside a tie pair";
                    --left[calendar];
                    ++k;
                    ASSERT_TRUE(k < written.size() && written[k].calendar == 1)
                        << "a tie pair without calendar 2's match";
                    --left[other];
                    ASSERT_TRUE(break_after[k]) << "no day-break after a tie pair";
                    continue;
                }
                expected_break = !same_day(mine, theirs);
            }
            EXPECT_EQ(break_after[k], expected_break) << "after match line " << k + 1;
            --left[calendar];
        }

        // And all of it at once, against the rules worked out on the dates themselves.
        ASSERT_EQ(merged.text, expected_merge_of({one, two}));
    }
}

TEST(MergeProperty, RandomCalendarsThreeToEight) {
    for (unsigned seed = 1; seed <= 600; ++seed) {
        Generator generate(seed);
        const std::size_t count = 3 + seed % 6;
        std::vector<GeneratedCalendar> generated;
        std::vector<StringInput> inputs;
        std::vector<LineReader> readers;
        std::vector<Calendar> calendars;
        generated.reserve(count);
        inputs.reserve(count);
        readers.reserve(count);
        calendars.reserve(count);
        for (std::size_t c = 0; c < count; ++c) {
            generated.push_back(generate.calendar(static_cast<char>('A' + c)));
            inputs.emplace_back(generated.back().text);
            readers.emplace_back(inputs.back());
            calendars.emplace_back(readers.back(), generated.back().year_digits);
        }
        std::string text;
        StringOutput output(text);
        LineWriter writer(output);
        const long long count_written = merge(calendars, writer);
        ASSERT_TRUE(writer.close());
        const std::string expected = expected_merge_of(generated);
        ASSERT_EQ(text, expected) << "seed " << seed << ", " << count << " calendars";
        long long matches = 0;
        for (const GeneratedCalendar& one : generated) {
            matches += static_cast<long long>(one.matches.size());
        }
        EXPECT_EQ(count_written, matches);
    }
}

}  // namespace
}  // namespace gironario
