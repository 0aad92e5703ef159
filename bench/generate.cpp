// Writes a large calendar for the benchmark: the same file for the same arguments, every time.
//
//   generate FILE MATCHES SEED PLACE
//
// The matches are spread evenly over the hundred years 2000-2099, written with two-digit years
// (00 to 99 then order as the dates do), in chronological order: a few dozen a day, at 15-minute
// kick-off slots between 09:00 and 22:45, so that same-day runs are the rule and the two
// calendars often tie. Match numbers cycle from 1 to 999, so the number's width changes all the
// time. A heading line stands before every quarter. PLACE starts every place name, so that the
// lines of each calendar can be told apart in the merged file.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: generate FILE MATCHES SEED PLACE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "w");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const long matches = std::atol(argv[2]);
    Sequence random(std::strtoull(argv[3], nullptr, 10));
    const std::string place = argv[4];
    static const char* const teams[] = {"Alfa", "Beta", "Gamma", "Delta",
                                        "Zeta", "Eta",  "Theta", "Iota"};

    long days = 0;
    for (int year = first_year; year < first_year + years; ++year) {
        days += is_leap(year) ? 366 : 365;
    }
    static const char* const headings[] = {"Girone di andata\n", "Girone di ritorno\n"};
    long written = 0;
    long day = 0;
    int number = 0;
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
                const auto count = static_cast<unsigned>(due - written);
                if (count > slots) {
                    std::fprintf(stderr, "generate: more than %u matches a day\n", slots);
                    return 2;
                }
                for (unsigned i = 0; i < count; ++i) {
                    std::swap(free_slots[i], free_slots[i + random.below(slots - i)]);
                }
                day_slots.assign(free_slots.begin(), free_slots.begin() + static_cast<long>(count));
                std::sort(day_slots.begin(), day_slots.end());
                for (int slot : day_slots) {
                    if (written % (matches / 4 + 1) == 0) {
                        std::fputs(headings[(written * 4 / matches) % 2], file);
                    }
                    number = number % 999 + 1;
                    // One draw at a time: the order of a call's arguments is not fixed.
                    const unsigned ground = random.below(20);
                    const char* home = teams[random.below(8)];
                    const char* away = teams[random.below(8)];
                    std::fprintf(file, "%d %02d/%02d/%02d %02d:%02d %s%u %s - %s\n", number,
                                 day_of_month, month, year % 100, slot / 4, slot % 4 * 15,
                                 place.c_str(), ground, home, away);
                    ++written;
                }
                ++day;
            }
        }
    }
    if (std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
