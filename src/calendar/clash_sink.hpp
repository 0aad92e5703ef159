#pragma once

// The merge with the clash check on: every match line goes to the check just before it goes on
// to the sink that writes it.

#include <array>
#include <string_view>

#include "calendar/clash_check.hpp"
#include "calendar/merge.hpp"

namespace gironario {

// Passes everything on to `Inner`, showing each match line to a ClashCheck first.
template <typename Inner>
class ClashSink final : public MergeSink {
  public:
    // `calendars` are the merge's, in the order named, and `names` their names as typed.
    ClashSink(Inner& inner, ClashCheck& check, std::array<const Calendar*, 2> calendars,
              std::array<std::string_view, 2> names)
        : inner_(inner), check_(check), calendars_(calendars), names_(names) {}

    void match(Calendar& calendar) override {
        const std::size_t index = &calendar == calendars_[0] ? 0 : 1;
        // A line longer than the reader's buffer is checked on its head, where its date, time
        // and place stand.
        check_.take({calendar.lines.head(), calendar.width, calendar.year_digits, index,
                     names_[index], calendar.line_number});
        inner_.match(calendar);
    }
    void day_break() override { inner_.day_break(); }
    bool failed() const override { return inner_.failed(); }

  private:
    Inner& inner_;
    ClashCheck& check_;
    std::array<const Calendar*, 2> calendars_;
    std::array<std::string_view, 2> names_;
};

}  // namespace gironario
