#include "export/match_identity.hpp"

#include <algorithm>

#include "export/ics_text.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

// Whether `stem` ends with `mark`, ASCII case aside.
bool ends_with_mark(std::string_view stem, std::string_view mark) {
    if (stem.size() < mark.size()) {
        return false;
    }
    const std::string_view end = stem.substr(stem.size() - mark.size());
    return std::equal(end.begin(), end.end(), mark.begin(), mark.end(),
                      [](char a, char b) { return ascii_lower(a) == ascii_lower(b); });
}

// The stem without one copy mark at its end: " (2)", "(2)", " - Copia", " - Copy".
std::string_view without_one_mark(std::string_view stem) {
    for (const std::string_view mark :
         {std::string_view(" - copia"), std::string_view(" - copy")}) {
        if (ends_with_mark(stem, mark)) {
            return stem.substr(0, stem.size() - mark.size());
        }
    }
    if (stem.size() < 3 || stem.back() != ')') {
        return stem;
    }
    const std::size_t open = stem.rfind('(');
    if (open == std::string_view::npos || open + 2 == stem.size()) {
        return stem;
    }
    // A browser counts its copies from 1; "Gare (2025).csv" names its season.
    const std::string_view digits = stem.substr(open + 1, stem.size() - open - 2);
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return stem;
    }
    std::string_view rest = stem.substr(0, open);
    while (!rest.empty() && rest.back() == ' ') {
        rest.remove_suffix(1);
    }
    return rest;
}

}  // namespace

std::string without_copy_mark(std::string_view file_name) {
    const std::size_t dot = file_name.rfind('.');
    // A name that starts with its dot (".ics") is all stem.
    const std::size_t stem_end = dot == std::string_view::npos || dot == 0 ? file_name.size() : dot;
    std::string_view stem = file_name.substr(0, stem_end);
    // "Gare - Copia (2).csv" is a copy of a copy: every mark goes.
    for (std::string_view shorter = without_one_mark(stem); shorter != stem && !shorter.empty();
         shorter = without_one_mark(stem)) {
        stem = shorter;
    }
    std::string plain(stem);
    plain.append(file_name.substr(stem_end));
    return plain;
}

bool append_identity(std::string& out, const MatchRecord& match, std::string_view plain_file_name) {
    if (match.source == MatchSource::icalendar && !match.uid.empty()) {
        append_text_value(out, match.uid, is_utf8(match.uid));
        return true;
    }
    if (match.code.empty()) {
        return false;
    }
    // "gara-" keeps a code's identity apart from a feed's UID that happens to be a number.
    out += "gara-";
    append_text_value(out, match.code, is_utf8(match.code));
    out += '-';
    const std::string_view within = match.league.empty() ? plain_file_name : match.league;
    append_text_value(out, within, is_utf8(within));
    return true;
}

}  // namespace gironario
