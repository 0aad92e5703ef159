#include "calendar/line_check.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "calendar/merge.hpp"
#include "io/byte_order_mark.hpp"
#include "io/byte_stream.hpp"

namespace gironario {
namespace {

const std::string STAYS = ": la riga resta dopo la precedente del suo calendario";
const std::string LAYOUT2 = "la data o l'ora non si legge (gg/mm/aa hh:mm)" + STAYS;
const std::string LAYOUT4 = "la data o l'ora non si legge (gg/mm/aaaa hh:mm)" + STAYS;
const std::string ORDER =
    "la gara viene prima della precedente: il calendario non \xE8 in ordine di data e ora";
const std::string NOT_IN_ICS = ", e la gara non \xE8 in calendario.ics";
const std::string LOOK_ALIKE =
    "sembra una gara, ma non comincia con il numero della gara seguito da uno spazio: non viene "
    "letta";
const std::string POSTPONED = "la gara \xE8 rinviata e non \xE8 in calendario.ics";

std::string warning(int calendar, long long line, const std::string& reason) {
    return "gironario: calendario" + std::to_string(calendar) + ".txt:" + std::to_string(line) +
           ": " + reason + "\n";
}

std::string held_back(int calendar, const std::string& text) {
    return "gironario: calendario" + std::to_string(calendar) + ".txt: " + text + "\n";
}

// The merged text, as an export beside it would see the merge: a postponed match is a problem
// that the export tells about its line.
class PostponedTold final : public MergeSink {
  public:
    PostponedTold(LineWriter& out, CalendarChecks& checks) : text_(out), checks_(checks) {}

    void match(const MatchRecord& match, const BookedWith* booked) override {
        if (match.line.find("rinviata") != std::string_view::npos) {
            checks_.problem(match, POSTPONED);
        }
        text_.match(match, booked);
    }
    void day_break() override { text_.day_break(); }
    bool failed() const override { return text_.failed(); }

  private:
    MergedText text_;
    CalendarChecks& checks_;
};

struct Row {
    const char* name;
    std::string one;
    int digits_one;
    std::string two;
    int digits_two;
    std::string warnings;  // of both calendars, as they come, the held-back counts at the end
    std::string_view omitted_from = {};
};

struct Merged {
    std::string text;
    long long count;
    std::string warnings;
};

Merged merge_texts(const Row& row, bool checked) {
    // As a run opens them: a byte-order mark at the start is not part of the first line.
    WithoutByteOrderMark input_one(std::make_unique<StringInput>(row.one));
    WithoutByteOrderMark input_two(std::make_unique<StringInput>(row.two));
    LineReader reader_one(input_one);
    LineReader reader_two(input_two);
    Calendar calendars[] = {{reader_one, row.digits_one, "calendario1.txt"},
                            {reader_two, row.digits_two, "calendario2.txt"}};
    Merged merged;
    const auto warn = [&](std::string_view text) { merged.warnings += text; };
    CalendarChecks checks(calendars, warn, row.omitted_from);
    StringOutput output(merged.text);
    LineWriter writer(output);
    if (checked) {
        PostponedTold told(writer, checks);
        Checked sink(checks, told);
        merged.count = merge(calendars, sink);
        checks.finish();
    } else {
        merged.count = merge(calendars, writer);
    }
    EXPECT_TRUE(writer.close());
    return merged;
}

void expect_warnings(const Row& row) {
    const Merged checked = merge_texts(row, true);
    EXPECT_EQ(checked.warnings, row.warnings) << row.name;
    const Merged plain = merge_texts(row, false);
    EXPECT_EQ(checked.text, plain.text) << row.name;
    EXPECT_EQ(checked.count, plain.count) << row.name;
}

// Matches 1 to `count`, one a day from 01/10/2026, with a two- or four-digit year.
std::string days(int count, int year_digits, const std::string& extra = "") {
    std::string text;
    for (int day = 1; day <= count; ++day) {
        text += std::to_string(day) + (day < 10 ? " 0" : " ") + std::to_string(day) +
                (year_digits == 4 ? "/10/2026" : "/10/26") + " 18:00 Campo" + extra + "\n";
    }
    return text;
}

const std::string LONG(100'000, '-');  // longer than the reader's buffer

// Matches 1 to `count` whose date is still to be set.
std::string undated(int count) {
    std::string text;
    for (int number = 1; number <= count; ++number) {
        text += std::to_string(number) + " da definire\n";
    }
    return text;
}

const std::vector<Row> rows = {
    {"well-formed and in order, ties and numbers of every width",
     "Stagione 2026/2027\nGirone di andata\n1 04/10/2026 18:00 PalaA A - B\n"
     "2 04/10/2026 18:00 PalaB C - D\n\n3 11/10/2026 20:30 PalaA A - C\n"
     "1000 18/10/2026 18:00 PalaC X - Y\n",
     4, "99 04/10/26 18:00 Campo A - B\n100 05/10/26 09:00 Campo C - D\n12345 18/10/26 18:00 E - F",
     2, ""},
    {"dates and times that cannot be read; a one-digit day read by its date",
     "12 gennaio: riposo\n1 6/10/26 18:00 A - B\n2 13/10/26 18:00 A - C\n3 20/10/26\n"
     "4 27/10/26 18:\n5 03/11/26 18:0",
     2, "", 2,
     warning(1, 1, LAYOUT2) + warning(1, 4, LAYOUT2) + warning(1, 5, LAYOUT2) +
         warning(1, 6, LAYOUT2)},
    {"dates and times out of place, four-digit years", "", 2,
     "2026/2027 Calendario\n1 04/10/2026 18:00 A\n2 11/10/2026 8:00 B\n3 18/10/--26 18:00 C\n", 4,
     warning(2, 1, LAYOUT4) + warning(2, 4, LAYOUT4)},
    // Read by their real dates, as they were typed.
    {"four-digit years answered 2", days(2, 4), 2, "", 2, ""},
    {"two-digit years answered 4", "", 2, "Girone\n" + days(2, 2), 4, ""},
    // Calendar 2's only match, on 19/10, ends the merge loop: from line 6 on, the remainder copy.
    {"order: earlier warned, equal not, lines typed out of their columns compared too",
     "Giornata 1\n1 13/10/26 18:00 A\n2 15/10/26 8:00 B\n3 14/10/26 18:00 C\n"
     "4 01/10/26 8:00 D\n5 20/10/26 18:00 E\n6 20/10/26 18:00 F\n7 20/10/26 17:59 G\n"
     "8 20/10/26 17:59 H\n9 01/11/26 10:00 I\n",
     2, "20 19/10/2026 12:00 Y\n", 4,
     warning(1, 4, ORDER) + warning(1, 5, ORDER) + warning(1, 8, ORDER)},
    {"seven problem lines: five shown, two counted", undated(7), 2, "", 2,
     warning(1, 1, LAYOUT2) + warning(1, 2, LAYOUT2) + warning(1, 3, LAYOUT2) +
         warning(1, 4, LAYOUT2) + warning(1, 5, LAYOUT2) +
         held_back(1, "altre 2 righe con problemi non sono elencate")},
    // Calendar 1's lines that cannot be read stand before every other: they come first.
    {"six problem lines: one counted, and five for each calendar", undated(6), 4,
     "1 10/10/26 18:00 A\n2 09/10/26 18:00 B\n", 2,
     warning(1, 1, LAYOUT4) + warning(1, 2, LAYOUT4) + warning(1, 3, LAYOUT4) +
         warning(1, 4, LAYOUT4) + warning(1, 5, LAYOUT4) + warning(2, 2, ORDER) +
         held_back(1, "un'altra riga con problemi non \xE8 elencata")},
    {"headings, empty lines and lines longer than the buffer count one line each",
     "Girone\n\n" + LONG + "\n\n1 6/10/26 18:00 A " + LONG + "\n2 13/10/26 1800\n" + LONG +
         "\n3 01/10/26 18:00 " + LONG + "\n",
     2, "", 2, warning(1, 6, LAYOUT2) + warning(1, 8, ORDER)},
    {"a match out of place is not in the export", "", 2,
     "1 6/10/26 18:00 A\n2 06/10/2026 18:00 B\n3 05/10/26 18:00 C\n4 04/10/26 18:00 D\n", 2,
     warning(2, 3, ORDER) + warning(2, 4, ORDER), "calendario.ics"},
    // Seven lines with problems, line 3 with two of them, counted once.
    {"other problems share the lines shown",
     "1 04/10/26 18:00 A - B rinviata\n2 5/10/26 18:00 rinviata\n3 6/10/26 C rinviata\n"
     "4 7/10/26 D\n"
     "5 8/10/26 E\n6 9/10/26 18:00 rinviata\n7 10/10/26 18:00 F rinviata\n",
     2, "", 2,
     warning(1, 1, POSTPONED) + warning(1, 2, POSTPONED) + warning(1, 3, LAYOUT2) +
         warning(1, 3, POSTPONED) + warning(1, 4, LAYOUT2) + warning(1, 5, LAYOUT2) +
         held_back(1, "altre 2 righe con problemi non sono elencate")},
    {"no match lines", "Girone\n", 2, "", 4, ""},
    {"a byte-order mark at the very start is not part of the first line",
     "\xEF\xBB\xBF" + days(2, 2), 2, "\xEF\xBB\xBF\n\xEF\xBB" + days(1, 2), 2, ""},
    {"lines that hold a date and then a time but do not start as matches",
     " 1 04/10/2026 18:00 A\n1\t04/10/2026 18:00\n\xEF\xBB\xBF"
     "2 05/10/26 18:00 B\n"
     "Giornata 3 - 04/10/2026\nore 18:00 del 4.10.26\n(12-1-26) 18.30 x\nx123/10/2026 18:00\n"
     "Girone 1/2/2026 8:5 e 1/2/226 1:234\n\n 9 31/02/2026 18:00 Z\n",
     4, "", 2, warning(1, 5, ORDER) + warning(1, 6, ORDER) + warning(1, 10, LOOK_ALIKE)},
    {"seven problem lines in the second calendar", "", 2, undated(7), 2,
     warning(2, 1, LAYOUT2) + warning(2, 2, LAYOUT2) + warning(2, 3, LAYOUT2) +
         warning(2, 4, LAYOUT2) + warning(2, 5, LAYOUT2) +
         held_back(2, "altre 2 righe con problemi non sono elencate")},
};

TEST(LineCheck, Rows) {
    for (const Row& row : rows) {
        expect_warnings(row);
    }
}

std::string read_example(const char* name) {
    std::ifstream file(std::string(GIRONARIO_EXAMPLES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(LineCheck, ShippedExamplesHaveNoProblem) {
    const std::string one = read_example("calendario1.txt");
    const std::string two = read_example("calendario2.txt");
    ASSERT_FALSE(one.empty() || two.empty());
    expect_warnings({"examples", one, 4, two, 2, ""});
    expect_warnings({"examples, the other way round", two, 2, one, 4, ""});
}

}  // namespace
}  // namespace gironario
