#include "calendar/prepared_source.hpp"

#include <algorithm>

#include "calendar/docx_text.hpp"
#include "calendar/html_tables.hpp"
#include "calendar/ics_calendar.hpp"
#include "calendar/opendocument.hpp"
#include "calendar/table_calendar.hpp"
#include "calendar/xls_workbook.hpp"
#include "calendar/xlsx_workbook.hpp"
#include "io/compound_file.hpp"
#include "io/text.hpp"
#include "io/zip_archive.hpp"

namespace gironario {

namespace {

std::string_view without_trailing_spaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// What every row or event gets once its file is read: what it is compared on, where a phone
// navigates to, and the line the formats that copy lines write.
void complete(MatchRecord& match, MatchSource source, bool utf8) {
    match.source = source;
    if (match.dating != Dating::dated) {
        match.dating = Dating::unreadable;
    }
    // With the place as the file writes it: an event's whole location.
    match.line = row_line(match, utf8);
    if (source == MatchSource::icalendar) {
        // An event's location may name a street and a town after its place: the first part is
        // the place it is compared on.
        match.location = match.place;
        match.place = without_trailing_spaces(
            std::string_view(match.location).substr(0, match.location.find(',')));
    } else {
        match.location = match.place;
        for (const std::string* part : {&match.address, &match.town}) {
            if (!part->empty()) {
                match.location += match.location.empty() ? "" : ", ";
                match.location += *part;
            }
        }
        match.place = without_trailing_spaces(match.place);
    }
}

// A workbook's or a page's table, or why it is none: `what` names the file's kind.
SourceReading read_book(bool read, const Workbook& book, const std::string& error,
                        std::string_view what) {
    if (!read) {
        SourceReading reading;
        reading.error = std::string(what) + " danneggiato: " + error;
        return reading;
    }
    SourceReading reading = read_workbook(book);
    if (!reading.error.empty()) {
        reading.error = std::string(what) + ", ma " + reading.error;
    }
    return reading;
}

// What a whole file holds, as a reading: its matches, or its document's text in `text`.
SourceReading read_file(CalendarKind kind, std::string_view bytes,
                        std::optional<std::string>& text) {
    Workbook book;
    std::string error;
    switch (kind) {
        case CalendarKind::text:
        case CalendarKind::table:
        case CalendarKind::tab_table:
            return read_table(bytes, kind == CalendarKind::tab_table);
        case CalendarKind::icalendar:
            return read_ics(bytes);
        case CalendarKind::web_page:
            return read_book(read_html_tables(bytes, book, error), book, error,
                             "\xE8 una pagina web");
        case CalendarKind::zip: {
            ZipArchive archive;
            if (!archive.open(bytes, error)) {
                break;
            }
            if (is_xlsx(archive)) {
                return read_book(read_xlsx(archive, book, error), book, error,
                                 "\xE8 un foglio Excel (.xlsx)");
            }
            if (is_ods(archive)) {
                return read_book(read_ods(archive, book, error), book, error,
                                 "\xE8 un foglio OpenDocument (.ods)");
            }
            std::string lines;
            const bool docx = is_docx(archive);
            if (docx || is_odt(archive)) {
                if (!(docx ? read_docx_lines(archive, lines, error)
                           : read_odt_lines(archive, lines, error))) {
                    break;
                }
                if (has_table_header(lines)) {
                    return read_table(lines, false);
                }
                text = std::move(lines);
                return {};
            }
            error =
                "\xE8 un archivio zip, non un calendario: estrarne il calendario e indicare "
                "quello";
            break;
        }
        case CalendarKind::compound: {
            CompoundFile file;
            if (!file.open(bytes, error)) {
                break;
            }
            if (file.has_stream("Workbook") || file.has_stream("Book")) {
                return read_book(read_xls(file, book, error), book, error,
                                 "\xE8 un foglio Excel 97-2003 (.xls)");
            }
            error = file.has_stream("WordDocument")
                        ? "\xE8 un documento di Word 97-2003 (.doc), che gironario non legge: "
                          "aprirlo in Word e salvarlo come .docx o come testo (.txt)"
                        : "\xE8 un file di Office che gironario non legge: salvarlo come .xlsx, "
                          ".csv o testo (.txt)";
            break;
        }
        case CalendarKind::pdf:
            error =
                "\xE8 un PDF, che gironario non legge: aprirlo, selezionare il calendario e "
                "copiarlo in un file di testo, da indicare al posto del PDF; oppure scaricare "
                "dal sito il file Excel o CSV, dove c'\xE8";
            break;
        case CalendarKind::image:
            error =
                "\xE8 un'immagine, non un calendario: gironario legge testi, tabelle CSV, fogli "
                "Excel e OpenDocument, pagine web e file .ics";
            break;
        case CalendarKind::archive:
            error = "\xE8 un archivio compresso: estrarne il calendario e indicare quello";
            break;
    }
    SourceReading reading;
    reading.error = error;
    return reading;
}

}  // namespace

PreparedCalendar prepare_calendar(CalendarKind kind, std::string_view bytes) {
    PreparedCalendar calendar;
    calendar.reading = read_file(kind, bytes, calendar.text);
    const MatchSource source =
        kind == CalendarKind::icalendar ? MatchSource::icalendar : MatchSource::table;
    std::vector<MatchRecord>& matches = calendar.reading.matches;
    for (MatchRecord& match : matches) {
        complete(match, source, calendar.reading.utf8);
    }
    // Moved, not copied: a league's records are kept once.
    const auto undated = std::stable_partition(
        matches.begin(), matches.end(),
        [](const MatchRecord& match) { return match.dating == Dating::dated; });
    calendar.undated.assign(std::make_move_iterator(undated),
                            std::make_move_iterator(matches.end()));
    matches.erase(undated, matches.end());
    calendar.dated = std::move(matches);
    matches = {};
    // Rows of one minute in the file's order. Most files are in order already, and sorting
    // would take room for half of their records again.
    const auto earlier = [](const MatchRecord& one, const MatchRecord& two) {
        return one.start < two.start;
    };
    if (!std::is_sorted(calendar.dated.begin(), calendar.dated.end(), earlier)) {
        std::stable_sort(calendar.dated.begin(), calendar.dated.end(), earlier);
    }
    return calendar;
}

}  // namespace gironario
