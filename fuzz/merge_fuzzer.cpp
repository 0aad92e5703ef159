// Merges two calendars cut from the fuzz input, with every pair of year digits, and checks that
// the merged text holds exactly their match lines, once each and in each calendar's own order,
// and that checking the lines, and the clashes between them, changes nothing in it. A calendar
// made well-formed and in order from calendar 2's bytes must get no warning, and its year digits
// must be guessed right; as its places never repeat, it must get no clash either.
//
// Input: four bytes of settings, then calendar 1, a line "====", calendar 2. The settings choose
// the buffer sizes of calendar 1's reader, calendar 2's reader and the writer, and a fault: a full
// output after part of the text, or a read error part way through one calendar.

#include <array>
#include <cerrno>
#include <cstdint>
#include <iterator>
#include <string>

#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "calendar/year_guess.hpp"
#include "fuzz_support.hpp"
#include "io/byte_stream.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

struct Settings {
    std::size_t capacity1;
    std::size_t capacity2;
    std::size_t writer_capacity;
    unsigned char fault;
};

struct Result {
    std::string text;
    long long count;
    bool written;  // the writer closed without losing anything
    bool read_failed;
    std::array<std::string, 2> warnings;  // of each calendar, when checked
    std::string clashes;                  // when checked
};

constexpr std::size_t none = StringInput::npos;

// Whether a warning tells a clash between two matches rather than a problem of one line.
bool is_clash(std::string_view warning) {
    return warning.find(" \xE8 occupato anche dalla gara ") != warning.npos ||
           warning.find(": si sovrappone alla gara ") != warning.npos ||
           warning.find(" sovrapposizion") != warning.npos;
}

Result run_merge(std::string_view calendar1, std::string_view calendar2, int digits1, int digits2,
                 const Settings& settings, std::size_t output_capacity, std::size_t fail1,
                 std::size_t fail2, bool checked = false) {
    Result result;
    StringInput input1{std::string(calendar1), fail1, EIO};
    StringInput input2{std::string(calendar2), fail2, EIO};
    StringOutput output(result.text, output_capacity);
    LineReader reader1(input1, settings.capacity1);
    LineReader reader2(input2, settings.capacity2);
    LineWriter writer(output, settings.writer_capacity);
    Calendar calendars[] = {{reader1, digits1, "calendario1.txt"},
                            {reader2, digits2, "calendario2.txt"}};
    if (checked) {
        // The warnings of each calendar apart: they name their calendar.
        CalendarChecks checks(calendars,
                              [&result](std::string_view warning) {
                                  require(!warning.empty() && warning.back() == '\n',
                                          "a warning does not end with a line feed");
                                  if (is_clash(warning)) {
                                      require(warning.starts_with("gironario: "),
                                              "a clash is not told as one warning line");
                                      result.clashes += warning;
                                      return;
                                  }
                                  const bool second =
                                      warning.starts_with("gironario: calendario2.txt");
                                  result.warnings[second ? 1 : 0] += warning;
                              },
                              {}, {.overlaps = true});
        // Through the sink interface, as an export takes the merged lines.
        MergedText text(writer);
        Checked sink(checks, text);
        result.count = merge(calendars, sink);
        checks.finish();
    } else {
        result.count = merge(calendars, writer);
    }
    result.written = writer.close();
    result.read_failed = reader1.failed() || reader2.failed();
    return result;
}

// Where a fault strikes: a share, chosen by the low bits of the setting, of `size` bytes.
std::size_t fault_point(unsigned char fault, std::size_t size) {
    return size * (fault & 0x3Fu) / 64;
}

// Warnings name their calendar, and past five problem lines only one more line counts the rest.
void check_warnings(const std::string& warnings, std::string_view file_name) {
    std::size_t lines = 0;
    for (std::string_view line : lines_of(warnings)) {
        ++lines;
        require(line.substr(0, 11) == "gironario: " &&
                    line.substr(11, file_name.size()) == file_name &&
                    line.substr(11 + file_name.size(), 1) == ":",
                "a warning does not start with the program and the calendar");
    }
    require(static_cast<long long>(lines) <= SHOWN_PROBLEM_LINES + 1,
            "more warnings than the cap allows");
}

void check_pair(std::string_view calendar1, std::string_view calendar2, int digits1, int digits2,
                const Settings& settings) {
    const Result full =
        run_merge(calendar1, calendar2, digits1, digits2, settings, none, none, none);
    require(full.written && !full.read_failed, "a merge without faults reported one");
    check_merged(full.text, written_matches(calendar1, digits1, settings.capacity1),
                 written_matches(calendar2, digits2, settings.capacity2), full.count);

    const Result checked =
        run_merge(calendar1, calendar2, digits1, digits2, settings, none, none, none, true);
    require(checked.text == full.text && checked.count == full.count && checked.written,
            "checking the lines changed the merge");
    check_warnings(checked.warnings[0], "calendario1.txt");
    check_warnings(checked.warnings[1], "calendario2.txt");
    require(lines_of(checked.clashes).size() <= SHOWN_CLASHES + 1,
            "more clashes told than the cap allows");

    if (settings.fault < 0x40) {
        return;
    }
    if (settings.fault < 0x80) {
        // A full disk: what reached it is the start of the text, and the loss is reported.
        const std::size_t capacity = fault_point(settings.fault, full.text.size());
        const Result cut_short =
            run_merge(calendar1, calendar2, digits1, digits2, settings, capacity, none, none);
        require(cut_short.text == full.text.substr(0, capacity),
                "a full output holds other than the start of the merged text");
        require(cut_short.written == (capacity >= full.text.size()),
                "a full output went unreported, or a fitting one was reported");
        return;
    }
    // A read error: reported, and everything written before it is the start of the full text,
    // as a line is handed on only once it has been read whole.
    const bool in_first = settings.fault < 0xC0;
    const std::string_view broken = in_first ? calendar1 : calendar2;
    const std::size_t fail_after = fault_point(settings.fault, broken.size());
    const Result failed = run_merge(calendar1, calendar2, digits1, digits2, settings, none,
                                    in_first ? fail_after : none, in_first ? none : fail_after);
    require(failed.read_failed, "a read error went unreported");
    require(full.text.compare(0, failed.text.size(), failed.text) == 0,
            "a read error altered what was written before it");
}

// A calendar whose every match has its date and time in place, in order, shaped by `bytes`: each
// byte moves time on by nothing (a tie), minutes, days or months, and picks the match number's
// digits, a heading before the match, a long description and the century.
std::string well_formed(std::string_view bytes, int year_digits) {
    static constexpr std::string_view headings[] = {
        "", "Girone di andata", "5x giornata", "Giornata 3", "5", " 5 01/09/07 Campo1 A - B",
    };
    static constexpr long long steps[] = {0, 1, 24 * 60, 28 * 24 * 60};
    constexpr long long years = 100LL * 12 * 28 * 24 * 60;  // of 12 months of 28 days
    std::string text;
    long long minutes = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 256; ++i) {
        const std::size_t byte = static_cast<unsigned char>(bytes[i]);
        minutes += steps[byte & 3] * static_cast<long long>(byte >> 2);
        if (minutes >= years) {
            break;
        }
        if ((byte & 0x0C) == 0x0C) {
            text += headings[(byte >> 4) % std::size(headings)];
            text += '\n';
        }
        long long number = 1;
        for (std::size_t digits = (byte >> 5) % 5; digits > 0; --digits) {
            number *= 10;
        }
        const long long day = minutes / (24 * 60);
        char line[80];
        // Each match in a place of its own, written in either case.
        std::snprintf(line, sizeof line, "%lld %02lld/%02lld/%s%02lld %02lld:%02lld %s%zu A - B",
                      number + static_cast<long long>(i), day % 28 + 1, day / 28 % 12 + 1,
                      year_digits == 4 ? ((byte & 0x10) != 0 ? "19" : "20") : "", day / 336,
                      minutes / 60 % 24, minutes % 60, (byte & 0x40) != 0 ? "CAMPO" : "Campo", i);
        text += line;
        if ((byte & 0x83) == 0x82) {
            text += std::string(100 + byte, 'x');
        }
        text += '\n';
    }
    if (!bytes.empty() && (bytes.back() & 1) != 0 && !text.empty()) {
        text.pop_back();
    }
    return text;
}

void check_well_formed(std::string_view other, std::string_view bytes, Settings settings) {
    // Room for the date and time of a match number of five digits in the head of every line.
    settings.capacity2 = std::max(settings.capacity2, std::size_t{32});
    for (const int digits : {2, 4}) {
        const std::string calendar = well_formed(bytes, digits);
        const Result result =
            run_merge(other, calendar, 2, digits, settings, none, none, none, true);
        require(result.warnings[1].empty(), "a well-formed calendar in order got a warning");
        const Result alone = run_merge("", calendar, 2, digits, settings, none, none, none, true);
        require(alone.clashes.empty(), "matches in places that never repeat clashed");

        StringInput input(calendar);
        LineReader lines(input, settings.capacity2);
        const ShapeCounts counts = count_shapes(lines);
        require(counts.match_lines == (digits == 2 ? counts.two_digit : counts.four_digit),
                "a well-formed match line was not counted as in place");
        require(counts.match_lines == 0 || guess_year_digits(counts) == digits,
                "the year digits of a well-formed calendar were guessed wrong");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const Settings settings = {reader_capacity(data[0]), reader_capacity(data[1]),
                               writer_capacity(data[2]), data[3]};
    const std::string_view input(reinterpret_cast<const char*>(data) + 4, size - 4);
    const std::vector<std::string_view> calendars = cut(input, 2);
    for (const int digits1 : {2, 4}) {
        for (const int digits2 : {2, 4}) {
            check_pair(calendars[0], calendars[1], digits1, digits2, settings);
        }
    }
    check_well_formed(calendars[0], calendars[1], settings);
    return 0;
}
