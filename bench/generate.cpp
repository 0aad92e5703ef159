// Writes a large calendar for the benchmark: the same file for the same arguments, every time.
//
//   generate [--crowded] [--table | --ics | --listing] FILE MATCHES SEED PLACE
//
// The matches are spread evenly over the hundred years 2000-2099, written with two-digit years
// (00 to 99 then order as the dates do), in chronological order: a few dozen a day, at 15-minute
// kick-off slots between 09:00 and 22:45, so that same-day runs are the rule and the two
// calendars often tie. Match numbers cycle from 1 to 999, so the number's width changes all the
// time. A heading line stands before every quarter. PLACE starts every place name, so that the
// lines of each calendar can be told apart in the merged file.
//
// With --crowded the grounds are booked over and over: a match kicks off every 1 to 9 minutes
// (5 on average) between 09:00 and 22:59, day after day from 1 January 2000, at one of ten
// grounds, PLACE0 to PLACE9. Two calendars given the same PLACE share their grounds, and nearly
// every match is played at a ground where another one is still being played.
//
// With --table the same matches make a table, as a federation exports one: a header, then a row
// per match (Numero;Data;Ora;Campo;Casa;Ospite, four-digit years), no headings. With --ics they
// make an iCalendar file, as a team app publishes one: an event per match, its start in UTC (the
// Italian time less one hour, or two in summer time), SUMMARY "HOME - AWAY", LOCATION the place,
// lines ended by CR LF. With --listing they are a tournament table copied from a web page, its
// cells parted by bars: "N | dd/mm/yy | hh.mm | HOME | AWAY | PLACE |", no headings. The draws are
// the same in every form, so the four files hold the same matches for the same arguments.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int first_year = 2000;
constexpr int years = 100;
constexpr int first_slot = 9 * 4;  // 09:00
constexpr unsigned slots = 56;     // up to 22:45

// A small fixed pseudo-random sequence, so that the files never depend on a library's version.
class Sequence {
  public:
    explicit Sequence(std::uint64_t seed) : state_(seed) {}

    unsigned below(unsigned n) {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return static_cast<unsigned>((state_ >> 33) % n);
    }

  private:
    std::uint64_t state_;
};

bool is_leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

// 0 for Sunday, by Sakamoto's method.
int weekday(int year, int month, int day) {
    static constexpr int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) {
        --year;
    }
    return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

int last_sunday(int year, int month) {
    const int last = days_in_month(year, month);
    return last - weekday(year, month, last);
}

// Italian summer time on that day, at the hours the matches are played (never the hour of a
// change, which falls at night).
bool summer_time(int year, int month, int day) {
    if (month == 3) {
        return day >= last_sunday(year, 3);
    }
    if (month == 10) {
        return day < last_sunday(year, 10);
    }
    return month > 3 && month < 10;
}

enum class Form { text, table, ics, listing };

// The match lines of one calendar, with their headings, numbers, places and teams.
class Matches {
  public:
    Matches(std::FILE* file, long matches, Sequence& random, std::string place, unsigned grounds,
            Form form = Form::text)
        : file_(file),
          matches_(matches),
          random_(random),
          place_(std::move(place)),
          grounds_(grounds),
          form_(form) {
        if (form_ == Form::table) {
            std::fputs("Numero;Data;Ora;Campo;Casa;Ospite\n", file_);
        } else if (form_ == Form::ics) {
            std::fputs("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//gironario//bench//IT\r\n",
                       file_);
        }
    }

    // The end of the file, once every match is written.
    void finish() {
        if (form_ == Form::ics) {
            std::fputs("END:VCALENDAR\r\n", file_);
        }
    }

    long written() const { return written_; }

    void write(int day_of_month, int month, int year, int hour, int minute) {
        static const char* const headings[] = {"Girone di andata\n", "Girone di ritorno\n"};
        static const char* const teams[] = {"Alfa", "Beta", "Gamma", "Delta",
                                            "Zeta", "Eta",  "Theta", "Iota"};
        if (form_ == Form::text && written_ % (matches_ / 4 + 1) == 0) {
            std::fputs(headings[(written_ * 4 / matches_) % 2], file_);
        }
        number_ = number_ % 999 + 1;
        // One draw at a time: the order of a call's arguments is not fixed.
        const unsigned ground = random_.below(grounds_);
        const char* home = teams[random_.below(8)];
        const char* away = teams[random_.below(8)];
        if (form_ == Form::listing) {
            std::fprintf(file_, "%d | %02d/%02d/%02d | %02d.%02d | %s | %s | %s%u |\n", number_,
                         day_of_month, month, year % 100, hour, minute, home, away, place_.c_str(),
                         ground);
        } else if (form_ == Form::table) {
            std::fprintf(file_, "%d;%02d/%02d/%04d;%02d:%02d;%s%u;%s;%s\n", number_, day_of_month,
                         month, year, hour, minute, place_.c_str(), ground, home, away);
        } else if (form_ == Form::ics) {
            const int utc_hour = hour - (summer_time(year, month, day_of_month) ? 2 : 1);
            std::fprintf(file_,
                         "BEGIN:VEVENT\r\nUID:%ld@bench\r\nDTSTART:%04d%02d%02dT%02d%02d00Z\r\n"
                         "SUMMARY:%s - %s\r\nLOCATION:%s%u\r\nEND:VEVENT\r\n",
                         written_ + 1, year, month, day_of_month, utc_hour, minute, home, away,
                         place_.c_str(), ground);
        } else {
            std::fprintf(file_, "%d %02d/%02d/%02d %02d:%02d %s%u %s - %s\n", number_, day_of_month,
                         month, year % 100, hour, minute, place_.c_str(), ground, home, away);
        }
        ++written_;
    }

  private:
    std::FILE* file_;
    long matches_;
    Sequence& random_;
    std::string place_;
    unsigned grounds_;
    Form form_;
    long written_ = 0;
    int number_ = 0;
};

// The matches spread evenly over the century, at distinct quarter-hour slots of each day.
bool write_spread(Matches& out, long matches, Sequence& random) {
    long days = 0;
    for (int year = first_year; year < first_year + years; ++year) {
        days += is_leap(year) ? 366 : 365;
    }
    long day = 0;
    std::vector<int> day_slots;
    std::vector<int> free_slots(slots);
    for (std::size_t i = 0; i < free_slots.size(); ++i) {
        free_slots[i] = first_slot + static_cast<int>(i);
    }
    for (int year = first_year; year < first_year + years; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day_of_month = 1; day_of_month <= days_in_month(year, month); ++day_of_month) {
                // The matches of the days so far, spread evenly: the last day ends the count.
                const long due = matches * (day + 1) / days;
                // Distinct slots: two matches of one calendar never tie, so a tie always pairs
                // the two calendars.
                const auto count = static_cast<unsigned>(due - out.written());
                if (count > slots) {
                    std::fprintf(stderr, "generate: more than %u matches a day\n", slots);
                    return false;
                }
                for (unsigned i = 0; i < count; ++i) {
                    std::swap(free_slots[i], free_slots[i + random.below(slots - i)]);
                }
                day_slots.assign(free_slots.begin(), free_slots.begin() + static_cast<long>(count));
                std::sort(day_slots.begin(), day_slots.end());
                for (int slot : day_slots) {
                    out.write(day_of_month, month, year, slot / 4, slot % 4 * 15);
                }
                ++day;
            }
        }
    }
    return true;
}

// The matches one after another, every few minutes of each day's playing hours.
bool write_crowded(Matches& out, long matches, Sequence& random) {
    constexpr int first_minute = 9 * 60;       // 09:00
    constexpr int last_minute = 22 * 60 + 59;  // 22:59
    int year = first_year;
    int month = 1;
    int day_of_month = 1;
    int minute = first_minute;
    while (out.written() < matches) {
        out.write(day_of_month, month, year, minute / 60, minute % 60);
        minute += 1 + static_cast<int>(random.below(9));
        if (minute <= last_minute) {
            continue;
        }
        // The next day goes on where the evening left off.
        minute -= last_minute + 1 - first_minute;
        if (++day_of_month > days_in_month(year, month)) {
            day_of_month = 1;
            if (++month > 12) {
                month = 1;
                if (++year == first_year + years) {
                    std::fprintf(stderr, "generate: more matches than a century holds\n");
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool crowded = argc > 1 && std::string(argv[1]) == "--crowded";
    if (crowded) {
        --argc;
        ++argv;
    }
    Form form = Form::text;
    if (argc > 1) {
        const std::string option = argv[1];
        if (option == "--table" || option == "--ics" || option == "--listing") {
            form = option == "--table" ? Form::table
                   : option == "--ics" ? Form::ics
                                       : Form::listing;
            --argc;
            ++argv;
        }
    }
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: generate [--crowded] [--table | --ics | --listing] FILE "
                     "MATCHES SEED PLACE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "w");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const long matches = std::atol(argv[2]);
    Sequence random(std::strtoull(argv[3], nullptr, 10));
    Matches out(file, matches, random, argv[4], crowded ? 10 : 20, form);
    const bool written =
        crowded ? write_crowded(out, matches, random) : write_spread(out, matches, random);
    out.finish();
    if (std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return written ? 0 : 2;
}
