#pragma once

// Calendars read from strings, as a run's merge takes them from files.

#include <string>
#include <vector>

#include "io/byte_stream.hpp"
#include "calendar/calendar_line.hpp"
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

}  // namespace gironario
