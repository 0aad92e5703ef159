#include "driver/formats.hpp"

#include <array>

#include "io/text.hpp"

namespace gironario {

namespace {

// clang-format off
constexpr std::array<FormatRow, 6> rows = {{
    //                   dialogue file                      through temp.txt      exact  omits  named  zoned  compared
    {Format::text,        't', true,  "calendario.txt",         std::nullopt,           false, false, false, false, false, export_merged_text},
    {Format::word,        'w', true,  "calendario.doc",         std::nullopt,           false, false, false, false, false, export_merged_text},
    {Format::spreadsheet, 'x', true,  "calendario.xls",         TableKind::spreadsheet, false, false, false, false, false, export_spreadsheet},
    {Format::web_page,    'h', true,  "calendario.html",        TableKind::web_page,    false, false, false, false, false, export_web_page},
    {Format::icalendar,   'i', false, "calendario.ics",         std::nullopt,           true,  true,  true,  true,  true,  export_icalendar},
    // The page's line ends are LF on every system, as a browser reads them alike.
    {Format::page,        'p', false, "calendario-pagina.html", std::nullopt,           true,  false, true,  false, false, export_page},
}};
// clang-format on

}  // namespace

const FormatRow& format_row(Format format) {
    for (const FormatRow& row : rows) {
        if (row.format == format) {
            return row;
        }
    }
    return rows[0];
}

std::optional<Format> format_of_letter(char letter, bool dialogue) {
    const char lower = ascii_lower(letter);
    for (const FormatRow& row : rows) {
        if (row.letter == lower && (row.in_dialogue || !dialogue)) {
            return row.format;
        }
    }
    return std::nullopt;
}

std::string format_letters(bool (*wanted)(const FormatRow&)) {
    std::string letters;
    std::size_t left = 0;
    for (const FormatRow& row : rows) {
        left += wanted(row) ? 1u : 0u;
    }
    for (const FormatRow& row : rows) {
        if (!wanted(row)) {
            continue;
        }
        letters += row.letter;
        --left;
        letters += left > 1 ? ", " : left == 1 ? " o " : "";
    }
    return letters;
}

}  // namespace gironario
