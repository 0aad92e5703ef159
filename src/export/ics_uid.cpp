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

}  // namespace gironario
