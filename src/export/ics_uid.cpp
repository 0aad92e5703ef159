#include "export/ics_uid.hpp"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <exception>
#include <random>

#include "export/ics_previous.hpp"
#include "export/ics_text.hpp"
#include "export/match_identity.hpp"

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
    std::string key(source_uid.empty() ? 0 : 1, '\x01');
    key.append(source_uid.empty() ? number : source_uid);
    std::uint32_t& count = counts_[source.calendar][key];
    ++count;
    if (!source_uid.empty()) {
        append_text_value(out, source_uid, is_utf8(source_uid));
        if (count > 1) {
            out += '.';
            append_number(out, count);
        }
        append_end(out, source);
        return;
    }
    out += number;
    out += '-';
    append_number(out, count);
    if (source.rank > 0) {
        out += '.';
        append_number(out, static_cast<unsigned long long>(source.rank));
    }
    append_end(out, source);
}

const std::string& IcsUids::plain_name(const IcsSource& source) {
    while (plain_names_.size() <= source.calendar) {
        plain_names_.emplace_back();
    }
    std::string& plain = plain_names_[source.calendar];
    if (plain.empty()) {
        plain = without_copy_mark(source.file_name);
    }
    return plain;
}

bool IcsUids::append(std::string& out, std::string& earlier, const IcsSource& source,
                     const MatchRecord& match) {
    const std::string& plain = plain_name(source);
    // Counted as 1.3.0 counted it whatever the match is known by, so that the UID it made can be
    // found in its file.
    earlier_form_.clear();
    append(earlier_form_, source, match.number, match.uid);
    identity_of_match_.clear();
    if (!append_identity(identity_of_match_, match, plain)) {
        out += earlier_form_;
        return false;
    }
    earlier += earlier_form_;
    const std::uint32_t count = ++identity_counts_[identity_of_match_];
    out += identity_of_match_;
    if (count > 1) {
        out += '.';
        append_number(out, count);
    }
    if (!identity_.empty()) {
        out += '-';
        out += identity_;
    }
    out += uid_suffix;
    return true;
}

void IcsUids::append_end(std::string& out, const IcsSource& source) const {
    out += '-';
    append_text_value(out, source.file_name, is_utf8(source.file_name));
    if (!identity_.empty()) {
        out += '-';
        out += identity_;
    }
    out += uid_suffix;
}

std::string new_calendar_identity(const char* source_date_epoch, std::string_view result_name) {
    std::uint64_t value = 0;
    if (source_date_epoch != nullptr && *source_date_epoch != '\0') {
        // The name after a NUL, so that no two pairs hash as one text.
        value =
            ics_hash(result_name, ics_hash(std::string_view("", 1), ics_hash(source_date_epoch)));
    } else {
        std::uint64_t drawn = 0;
        try {
            std::random_device device;
            drawn = static_cast<std::uint64_t>(device()) << 32 | device();
        } catch (const std::exception&) {
            // No random device: the clock and the name alone.
        }
        // The clock mixed in, in case a system's random device is not random.
        const auto now =
            static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
        value =
            drawn ^ ics_hash(result_name, ics_hash(std::string_view(
                                              reinterpret_cast<const char*>(&now), sizeof now)));
    }
    constexpr std::string_view digits = "0123456789abcdef";
    std::string identity(16, '0');
    for (std::size_t i = 0; i < identity.size(); ++i) {
        identity[i] = digits[(value >> (60 - 4 * i)) & 0xFu];
    }
    return identity;
}

}  // namespace gironario
