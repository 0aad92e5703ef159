#include "calendar/xlsx_cells.hpp"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "io/text.hpp"

namespace gironario::xlsx {

namespace {

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string iso_text(std::string_view iso) {
    const auto number = [&](std::size_t at) { return (iso[at] - '0') * 10 + iso[at + 1] - '0'; };
    const auto time_at = [&](std::size_t at) -> std::string {
        if (iso.size() < at + 5 || iso[at + 2] != ':' || !all_digits(iso.substr(at, 2)) ||
            !all_digits(iso.substr(at + 3, 2)) || number(at) > 23 || number(at + 3) > 59) {
            return {};
        }
        return std::string(iso.substr(at, 5));
    };
    if (iso.size() >= 10 && iso[4] == '-' && iso[7] == '-' && all_digits(iso.substr(0, 4)) &&
        all_digits(iso.substr(5, 2)) && all_digits(iso.substr(8, 2))) {
        const std::string date = std::string(iso.substr(8, 2)) + "/" +
                                 std::string(iso.substr(5, 2)) + "/" +
                                 std::string(iso.substr(0, 4));
        if (iso.size() == 10) {
            return date;
        }
        const std::string time = (iso[10] == 'T' || iso[10] == ' ') ? time_at(11) : "";
        if (time.empty()) {
            return {};
        }
        return time == "00:00" && iso.substr(16).find_first_not_of(":0.Z") == std::string_view::npos
                   ? date
                   : date + " " + time;
    }
    return time_at(0);
}

std::string unescaped(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = 0;
        if (text[i] == '_' && text.substr(i + 1, 1) == "x" && text.substr(i + 6, 1) == "_") {
            const std::string_view hex = text.substr(i + 2, 4);
            const auto [end, status] = std::from_chars(hex.data(), hex.data() + 4, value, 16);
            if (status == std::errc() && end == hex.data() + 4 && value < 0x80) {
                result += static_cast<char>(value);
                i += 6;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

bool column_of(std::string_view reference, std::size_t& column) {
    std::size_t letters = 0;
    column = 0;
    while (letters < reference.size() && letters < 4) {
        const char c = static_cast<char>(ascii_lower(reference[letters]));
        if (c < 'a' || c > 'z') {
            break;
        }
        column = column * 26 + static_cast<std::size_t>(c - 'a' + 1);
        ++letters;
    }
    if (letters == 0 || (letters < reference.size() && !all_digits(reference.substr(letters)))) {
        return false;
    }
    --column;
    return true;
}

}  // namespace gironario::xlsx
