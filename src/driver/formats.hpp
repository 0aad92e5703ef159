#pragma once

// The formats of the merged calendar, one row each: everything the dialogue, the options, the run
// and its summary need to know about a format stands in its row.

#include <optional>
#include <string>
#include <string_view>

#include "export/exports.hpp"
#include "export/table_export.hpp"

namespace gironario {

enum class Format { text, word, spreadsheet, web_page, icalendar, page };

struct FormatRow {
    Format format;
    char letter;            // the answer or the -f value that chooses it, in either case
    bool in_dialogue;       // offered by the dialogue's question, or by the options only
    std::string_view file;  // where the result goes, unless -o says otherwise
    // The table made from the merged text in temp.txt, for a format that goes through it when
    // its result goes to its own file; nothing for a format written from the merge alone.
    std::optional<TableKind> table_of_merged_text;
    bool exact_line_ends;  // CR LF on every system, as the format wants (iCalendar)
    bool omits_undated;    // leaves out the matches it cannot date, and the warnings say so
    bool named;            // --nome gives the result its name
    bool zoned;            // --fuso gives its times their zone
    // Written against the file it replaces, when that is one it wrote: what changed is told.
    bool compared;
    Export write;  // the result, written from the merge
};

const FormatRow& format_row(Format format);

// The format a letter stands for, in either case; with `dialogue`, only those it offers.
std::optional<Format> format_of_letter(char letter, bool dialogue);

// The letters of the formats for which `wanted` holds, as a list for a message: "t, w o x".
std::string format_letters(bool (*wanted)(const FormatRow&));

// Where the merged text of the formats that go through a file between goes.
inline constexpr std::string_view TEMP_FILE = "temp.txt";

}  // namespace gironario
