#include "calendar/calendar_kind.hpp"

#include <array>

#include "calendar/table_calendar.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

bool ends_with(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() &&
           same_ignoring_case(name.substr(name.size() - ending.size()), ending);
}

bool starts_with_ignoring_case(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && same_ignoring_case(text.substr(0, start.size()), start);
}

// The text after a byte-order mark, white space and, for a web page, an XML declaration and
// comments before its first element.
std::string_view first_markup(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) {
        head.remove_prefix(3);
    }
    for (;;) {
        head = trimmed(head, true);
        const std::string_view end = head.starts_with("<?")     ? "?>"
                                     : head.starts_with("<!--") ? "-->"
                                                                : "";
        if (end.empty()) {
            return head;
        }
        const std::size_t at = head.find(end);
        if (at == std::string_view::npos) {
            return {};
        }
        head.remove_prefix(at + end.size());
    }
}

}  // namespace

CalendarKind calendar_kind(std::string_view name, std::string_view head) {
    struct Signature {
        std::string_view bytes;
        CalendarKind kind;
    };
    static constexpr std::array<Signature, 11> signatures = {{
        {"PK\x03\x04", CalendarKind::zip},
        {"PK\x05\x06", CalendarKind::zip},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", CalendarKind::compound},
        {"%PDF-", CalendarKind::pdf},
        {"\x89PNG\r\n\x1A\n", CalendarKind::image},
        {"\xFF\xD8\xFF", CalendarKind::image},
        {"GIF87a", CalendarKind::image},
        {"GIF89a", CalendarKind::image},
        {"\x1F\x8B", CalendarKind::archive},
        {"Rar!", CalendarKind::archive},
        {"7z\xBC\xAF\x27\x1C", CalendarKind::archive},
    }};
    for (const Signature& signature : signatures) {
        if (head.starts_with(signature.bytes)) {
            return signature.kind;
        }
    }
    const std::string_view start = first_markup(head);
    if (starts_with_ignoring_case(start, "BEGIN:VCALENDAR")) {
        return CalendarKind::icalendar;
    }
    for (const std::string_view tag : {"<!doctype html", "<html", "<table", "<head", "<body"}) {
        if (starts_with_ignoring_case(start, tag)) {
            return CalendarKind::web_page;
        }
    }
    if (ends_with(name, ".csv")) {
        return CalendarKind::table;
    }
    if (ends_with(name, ".tsv")) {
        return CalendarKind::tab_table;
    }
    if (ends_with(name, ".ics")) {
        return CalendarKind::icalendar;
    }
    if (ends_with(name, ".html") || ends_with(name, ".htm")) {
        return CalendarKind::web_page;
    }
    return has_table_header(head) ? CalendarKind::table : CalendarKind::text;
}

}  // namespace gironario
