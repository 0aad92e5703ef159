#pragma once

// What a calendar file is, told by its first bytes as file(1) tells it, whatever its name ends
// with: a name only decides between a text calendar and a table or an iCalendar file when the
// bytes say nothing stronger.

#include <string_view>

namespace gironario {

enum class CalendarKind {
    text,       // match lines, streamed
    table,      // .csv: cells parted by ; , or a tab
    tab_table,  // .tsv
    icalendar,  // BEGIN:VCALENDAR
    zip,        // a workbook (.xlsx, .ods), a document (.docx, .odt) or another archive
    compound,   // OLE2: an Excel 97-2003 workbook, an old Word document...
    web_page,   // HTML
    pdf,
    image,
    archive,  // compressed, not an office file
};

// The kind of a calendar named `name` whose first bytes are `head` (the whole file when it is
// shorter).
CalendarKind calendar_kind(std::string_view name, std::string_view head);

// Whether a kind is read whole, before the merge, rather than a line at a time.
inline bool read_whole(CalendarKind kind) {
    return kind != CalendarKind::text;
}

}  // namespace gironario
