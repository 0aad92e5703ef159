#include "calendar/odf_values.hpp"

#include <cstddef>

#include "calendar/sheet_values.hpp"
#include "io/text.hpp"

namespace gironario::odf {

namespace {

bool is_leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

// Reads forward through an attribute's value, one field at a time.
class Fields {
  public:
    explicit Fields(std::string_view text) : text_(text) {}

    bool at_end() const { return at_ == text_.size(); }

    bool take(char c) {
        if (at_end() || text_[at_] != c) {
            return false;
        }
        ++at_;
        return true;
    }

    // Exactly `width` digits, or with `width` 0 from one up to nine of them.
    std::optional<long long> number(std::size_t width = 0) {
        const std::size_t most = width == 0 ? 9 : width;
        long long value = 0;
        std::size_t count = 0;
        while (!at_end() && count < most && text_[at_] >= '0' && text_[at_] <= '9') {
            value = value * 10 + (text_[at_] - '0');
            ++at_;
            ++count;
        }
        const bool more_digits = !at_end() && text_[at_] >= '0' && text_[at_] <= '9';
        if (count == 0 || (width != 0 && count != width) || more_digits) {
            return std::nullopt;
        }
        return value;
    }

    // A fraction's digits after a '.', as thousandths: the rest cannot move a minute's rounding.
    long long thousandths() {
        long long value = 0;
        std::size_t count = 0;
        while (!at_end() && text_[at_] >= '0' && text_[at_] <= '9') {
            if (count < 3) {
                value = value * 10 + (text_[at_] - '0');
            }
            ++at_;
            ++count;
        }
        for (; count < 3; ++count) {
            value *= 10;
        }
        return value;
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// Milliseconds to whole minutes, half a minute rounding up, as a serial value's time is shown.
long long rounded_minutes(long long milliseconds) {
    return (milliseconds + 30'000) / 60'000;
}

}  // namespace

std::optional<std::string> date_value_text(std::string_view value) {
    Fields fields(trimmed(value, true));
    const auto year = fields.number(4);
    if (!year || !fields.take('-')) {
        return std::nullopt;
    }
    const auto month = fields.number(2);
    if (!month || *month < 1 || *month > 12 || !fields.take('-')) {
        return std::nullopt;
    }
    const auto day = fields.number(2);
    if (!day || *day < 1 ||
        *day > days_in_month(static_cast<int>(*year), static_cast<int>(*month))) {
        return std::nullopt;
    }
    long long minutes = 0;
    if (fields.take('T')) {
        const auto hour = fields.number(2);
        if (!hour || *hour > 23 || !fields.take(':')) {
            return std::nullopt;
        }
        const auto minute = fields.number(2);
        if (!minute || *minute > 59 || !fields.take(':')) {
            return std::nullopt;
        }
        const auto second = fields.number(2);
        if (!second || *second > 59) {
            return std::nullopt;
        }
        const long long fraction = fields.take('.') ? fields.thousandths() : 0;
        minutes = rounded_minutes(((*hour * 60 + *minute) * 60 + *second) * 1000 + fraction);
        // The zone is not shown by the sheet, so it is only checked for its form.
        if (fields.take('+') || fields.take('-')) {
            if (!fields.number(2) || !fields.take(':') || !fields.number(2)) {
                return std::nullopt;
            }
        } else {
            fields.take('Z');
        }
    }
    if (!fields.at_end()) {
        return std::nullopt;
    }
    int y = static_cast<int>(*year);
    int m = static_cast<int>(*month);
    int d = static_cast<int>(*day);
    if (minutes == 24 * 60) {
        // 23:59:30 and later round up into the next day.
        minutes = 0;
        if (++d > days_in_month(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    const std::string day_only = day_text(y, m, d);
    return minutes == 0 ? day_only : day_only + " " + clock_text(static_cast<int>(minutes));
}

std::optional<std::string> time_value_text(std::string_view value) {
    Fields fields(trimmed(value, true));
    if (!fields.take('P')) {
        return std::nullopt;
    }
    long long milliseconds = 0;
    bool any = false;
    if (const auto days = fields.number()) {
        if (!fields.take('D')) {
            return std::nullopt;
        }
        milliseconds += *days * 86'400'000;
        any = true;
    }
    if (fields.take('T')) {
        bool any_time = false;
        constexpr struct {
            char designator;
            long long milliseconds;
        } units[] = {{'H', 3'600'000}, {'M', 60'000}, {'S', 1000}};
        for (const auto& unit : units) {
            Fields before = fields;
            const auto count = fields.number();
            if (!count) {
                fields = before;
                continue;
            }
            long long fraction = 0;
            if (unit.designator == 'S' && fields.take('.')) {
                fraction = fields.thousandths();
            }
            if (!fields.take(unit.designator)) {
                // A count read for one unit may belong to a later one: "PT30M" has no hours.
                fields = before;
                continue;
            }
            milliseconds += *count * unit.milliseconds + fraction;
            any_time = true;
        }
        if (!any_time) {
            return std::nullopt;
        }
        any = true;
    }
    if (!any || !fields.at_end()) {
        return std::nullopt;
    }
    return clock_text(static_cast<int>(rounded_minutes(milliseconds) % (24 * 60)));
}

}  // namespace gironario::odf
