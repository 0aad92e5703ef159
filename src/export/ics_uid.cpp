#include "export/ics_uid.hpp"

#include <charconv>

#include "export/ics_text.hpp"

namespace gironario {

namespace {

constexpr std::string_view uid_suffix = "@gironario";

void append_number(std::string& out, unsigned long long number) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

}  // namespace

void IcsUids::append(std::string& out, const IcsSource& source, std::string_view number,
                     std::string_view source_uid) {
    if (counts_.size() <= source.calendar) {
        counts_.resize(source.calendar + 1);
    }
    // A feed's UIDs are its own; one given twice is told apart by its occurrence.
    const std::string key =
        source_uid.empty() ? std::string(number) : "\x01" + std::string(source_uid);
    std::uint32_t& count = counts_[source.calendar][key];
    ++count;
    if (!source_uid.empty()) {
        append_text_value(out, source_uid, is_utf8(source_uid));
        if (count > 1) {
            out += '.';
            append_number(out, count);
        }
        out += '-';
        append_text_value(out, source.file_name, is_utf8(source.file_name));
        out += uid_suffix;
        return;
    }
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

}  // namespace gironario
