#include "export/ics_uid.hpp"

#include <charconv>

#include "export/ics_text.hpp"

namespace gironario {

namespace {

constexpr std::string_view uid_suffix = "@gironario";

bool is_ascii_digit(char c) {
    return c >= '0' && c <= '9';
}

void append_number(std::string& out, unsigned long long number) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

// The digits at the start of `text`, taken off it.
std::string_view take_digits(std::string_view& text) {
    std::size_t length = 0;
    while (length < text.size() && is_ascii_digit(text[length])) {
        ++length;
    }
    const std::string_view digits = text.substr(0, length);
    text.remove_prefix(length);
    return digits;
}

}  // namespace

void IcsUids::append(std::string& out, const IcsSource& source, std::string_view number) {
    if (counts_.size() <= source.calendar) {
        counts_.resize(source.calendar + 1);
    }
    std::uint32_t& count = counts_[source.calendar][std::string(number)];
    ++count;
    out += number;
    out += '-';
    append_number(out, count);
    if (source.rank > 0) {
        out += '.';
        append_number(out, static_cast<unsigned long long>(source.rank));
    }
    out += '-';
    append_text_value(out, source.file_name, is_utf8(source.file_name));
    out += uid_suffix;
}

std::optional<IcsUidParts> read_uid(std::string_view uid) {
    if (!uid.ends_with(uid_suffix)) {
        return std::nullopt;
    }
    uid.remove_suffix(uid_suffix.size());
    const std::string_view number = take_digits(uid);
    if (number.empty() || !uid.starts_with('-')) {
        return std::nullopt;
    }
    uid.remove_prefix(1);
    if (take_digits(uid).empty()) {
        return std::nullopt;
    }
    if (uid.starts_with('.')) {
        uid.remove_prefix(1);
        if (take_digits(uid).empty()) {
            return std::nullopt;
        }
    }
    if (!uid.starts_with('-')) {
        return std::nullopt;
    }
    uid.remove_prefix(1);
    return IcsUidParts{number, uid};
}

std::string ics_match_label(std::string_view number, std::string_view file_name) {
    std::string label(number);
    label += " (";
    label += latin1_of_text_value(file_name);
    label += ')';
    return label;
}

}  // namespace gironario
