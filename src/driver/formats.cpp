#include "driver/formats.hpp"

#include <array>

namespace gironario {

namespace {

constexpr std::array<FormatRow, 5> rows = {{
    {Format::text, 't', true, "calendario.txt", std::nullopt, false, false, export_merged_text},
    {Format::word, 'w', true, "calendario.doc", std::nullopt, false, false, export_merged_text},
    {Format::spreadsheet, 'x', true, "calendario.xls", TableKind::spreadsheet, false, false,
     export_spreadsheet},
    {Format::web_page, 'h', true, "calendario.html", TableKind::web_page, false, false,
     export_web_page},
    {Format::icalendar, 'i', false, "calendario.ics", std::nullopt, true, true, export_icalendar},
}};

}  // namespace

std::span<const FormatRow> formats() {
    return rows;
}

const FormatRow& format_row(Format format) {
    for (const FormatRow& row : rows) {
        if (row.format == format) {
            return row;
        }
    }
    return rows[0];
}

std::optional<Format> format_of_letter(char letter, bool dialogue) {
    const char lower =
        letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
    for (const FormatRow& row : rows) {
        if (row.letter == lower && (row.in_dialogue || !dialogue)) {
            return row.format;
        }
    }
    return std::nullopt;
}

}  // namespace gironario
