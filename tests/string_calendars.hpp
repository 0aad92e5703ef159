#pragma once

// Calendars read from strings, as a run's merge takes them from files.

#include <string>
#include <vector>

#include "calendar/calendar.hpp"
#include "io/byte_stream.hpp"
#include "io/line_reader.hpp"

namespace gironario {

// A calendar's text and its year digits.
struct Text {
    std::string text;
    int digits;
};

// One calendar for each text, in their order, read through buffers of `capacity` bytes.
struct StringCalendars {
    explicit StringCalendars(const std::vector<Text>& texts,
                             std::size_t capacity = LineReader::default_capacity) {
        inputs.reserve(texts.size());
        readers.reserve(texts.size());
        calendars.reserve(texts.size());
        for (const Text& text : texts) {
            inputs.emplace_back(text.text);
            readers.emplace_back(inputs.back(), capacity);
            calendars.push_back({readers.back(), text.digits});
        }
    }

    std::vector<StringInput> inputs;
    std::vector<LineReader> readers;
    std::vector<Calendar> calendars;
};

// The record of one match line, as its calendar reads it: from a calendar of `year_digits`
// numbered `calendar` in the order named, where the line is line `line_number`.
class LineRecord {
  public:
    explicit LineRecord(const std::string& line, int year_digits = 2, std::size_t calendar = 0,
                        long long line_number = 1)
        : input_(std::string(static_cast<std::size_t>(line_number - 1), '\n') + line),
          reader_(input_),
          calendar_(reader_, year_digits) {
        calendar_.set_index(calendar);
        while (calendar_.next() == CalendarStep::skipped) {
        }
    }

    const MatchRecord& operator*() const { return calendar_.record(); }
    const MatchRecord* operator->() const { return &calendar_.record(); }

  private:
    StringInput input_;
    LineReader reader_;
    Calendar calendar_;
};

}  // namespace gironario
