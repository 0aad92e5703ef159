#include "calendar/table_calendar.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "calendar/folded_text.hpp"
#include "calendar/sheet.hpp"
#include "calendar/table_headers.hpp"
#include "calendar/time_to_be_set.hpp"
#include "calendar/typed_date.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

constexpr int HEADER_ROWS = 10;

// Longest part of a cell quoted in a message: a whole paragraph helps nobody find the row.
constexpr std::size_t QUOTED_LENGTH = 40;

// Cuts the table into rows of cells, one row at a time, reusing the cells' storage.
class RowReader {
  public:
    RowReader(std::string_view bytes, char separator) : bytes_(bytes), separator_(separator) {}

    // Reads the next row; false at the end of the bytes.
    bool next() {
        if (at_ >= bytes_.size()) {
            return false;
        }
        row_line_ = line_;
        count_ = 0;
        bool more = true;
        while (more) {
            if (count_ == cells_.size()) {
                cells_.emplace_back();
            }
            std::string& cell = cells_[count_++];
            cell.clear();
            more = read_cell(cell);
        }
        return true;
    }

    // The row's cell `index`, without white space at either end; empty past the row's end.
    std::string_view cell(std::size_t index) const {
        return index < count_ ? trimmed(cells_[index], true) : std::string_view{};
    }
    std::size_t size() const { return count_; }
    long long line() const { return row_line_; }

  private:
    // Reads one cell into `cell`; true when another cell of the row follows.
    bool read_cell(std::string& cell) {
        // ="..." is how federation exports keep a spreadsheet from reading a cell as a number.
        bool quoted = false;
        if (at_ < bytes_.size() && bytes_[at_] == '"') {
            quoted = true;
            ++at_;
        } else if (bytes_.compare(at_, 2, "=\"") == 0) {
            quoted = true;
            at_ += 2;
        }
        while (quoted) {
            const std::size_t quote = bytes_.find('"', at_);
            const std::string_view part = bytes_.substr(
                at_, quote == std::string_view::npos ? std::string_view::npos : quote - at_);
            line_ += std::count(part.begin(), part.end(), '\n');
            cell += part;
            if (quote == std::string_view::npos) {
                // Quoted to the end: the rest of the file is the cell.
                at_ = bytes_.size();
                return false;
            }
            at_ = quote + 1;
            if (at_ < bytes_.size() && bytes_[at_] == '"') {
                cell += '"';
                ++at_;
            } else {
                quoted = false;
            }
        }
        // Whatever stands after a closing quote is kept too: a sheet saved by hand can hold
        // "PalaA" B, and nothing in it should be lost.
        const char stops[] = {separator_, '\n'};
        const std::size_t stop = bytes_.find_first_of(std::string_view(stops, 2), at_);
        const std::size_t end = stop == std::string_view::npos ? bytes_.size() : stop;
        cell += bytes_.substr(at_, end - at_);
        at_ = end;
        if (at_ == bytes_.size()) {
            return false;
        }
        ++at_;
        if (bytes_[end] == '\n') {
            ++line_;
            return false;
        }
        return true;
    }

    std::string_view bytes_;
    char separator_;
    std::size_t at_ = 0;
    long long line_ = 1;
    long long row_line_ = 1;
    std::vector<std::string> cells_;
    std::size_t count_ = 0;
};

// Where the header stands and which cell names each column.
struct Header {
    std::size_t row = 0;  // its index among the sheet's rows
    std::size_t cells = 0;
    std::array<std::optional<std::size_t>, COLUMNS> columns{};
    std::string date_name;  // the header cells as written, for the messages
    std::string time_name;
    bool found = false;
    bool any_rows = false;  // whether the first rows held anything at all

    std::optional<std::size_t> operator[](Column column) const {
        return columns[static_cast<std::size_t>(column)];
    }
};

bool is_empty(const SheetRow& row) {
    return std::all_of(row.cells.begin(), row.cells.end(),
                       [](const std::string& cell) { return cell.empty(); });
}

std::string_view cell_of(const SheetRow& row, std::size_t index) {
    return index < row.cells.size() ? std::string_view(row.cells[index]) : std::string_view{};
}

// The first of the sheet's first rows that names a date column.
Header find_header(const Sheet& sheet, bool utf8) {
    Header header;
    int seen = 0;
    for (std::size_t r = 0; r < sheet.rows.size() && seen < HEADER_ROWS; ++r) {
        const SheetRow& row = sheet.rows[r];
        if (is_empty(row)) {
            continue;
        }
        ++seen;
        header.any_rows = true;
        std::array<std::optional<std::size_t>, COLUMNS> columns{};
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            if (const auto column = column_named(row.cells[i], utf8)) {
                auto& index = columns[static_cast<std::size_t>(*column)];
                if (!index) {
                    index = i;
                }
            }
        }
        auto& date = columns[static_cast<std::size_t>(Column::date)];
        if (!date) {
            date = columns[static_cast<std::size_t>(Column::day)];
        }
        if (date) {
            header.row = r;
            header.cells = row.cells.size();
            header.columns = columns;
            header.date_name = cell_of(row, *header[Column::date]);
            if (const auto time = header[Column::time]) {
                header.time_name = cell_of(row, *time);
            }
            header.found = true;
            break;
        }
    }
    return header;
}

// The row in hand, each cell without white space at either end.
void take_row(const RowReader& rows, SheetRow& row) {
    row.number = rows.line();
    row.cells.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        row.cells[i].assign(rows.cell(i));
    }
}

// The first rows of a text table split at `separator`, as many as `most`, empty ones aside.
Sheet split_rows(std::string_view bytes, char separator, std::size_t most) {
    Sheet sheet;
    RowReader rows(bytes, separator);
    std::size_t filled = 0;
    while (filled < most && rows.next()) {
        SheetRow& row = sheet.rows.emplace_back();
        take_row(rows, row);
        if (!is_empty(row)) {
            ++filled;
        }
    }
    return sheet;
}

// A cell's text in a message, in Latin-1: what Latin-1 cannot show becomes '?', and a long cell
// is cut.
std::string for_message(std::string_view cell, bool utf8) {
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < cell.size() && shown < QUOTED_LENGTH; ++shown) {
        auto byte = static_cast<unsigned char>(cell[i++]);
        if (utf8 && byte >= 0x80) {
            const bool latin1 = (byte == 0xC2 || byte == 0xC3) && i < cell.size();
            const unsigned next = latin1 ? static_cast<unsigned char>(cell[i]) : 0u;
            byte = latin1 ? static_cast<unsigned char>((byte & 0x03u) << 6 | (next & 0x3Fu)) : 0;
            while (i < cell.size() && (static_cast<unsigned char>(cell[i]) & 0xC0u) == 0x80u) {
                ++i;
            }
        }
        const bool control = byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
        out += control ? '?' : static_cast<char>(byte);
    }
    if (shown == QUOTED_LENGTH) {
        out += "...";
    }
    return out;
}

// The cell's text for a record: inner line breaks and runs of white space become one space.
std::string tidied(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    bool white = false;
    for (const char c : cell) {
        if (is_white(c) || c == '\n') {
            white = true;
            continue;
        }
        if (white) {
            out += ' ';
            white = false;
        }
        out += c;
    }
    return out;
}

bool says_riposo(std::string_view cell) {
    static constexpr std::string_view word = "riposo";
    for (std::size_t at = 0; at + word.size() <= cell.size(); ++at) {
        if (same_ignoring_case(cell.substr(at, word.size()), word)) {
            return true;
        }
    }
    return false;
}

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string quoted_cell_message(std::string_view what, std::string_view cell, bool utf8) {
    return std::string(what) + ": \"" + for_message(cell, utf8) + "\"";
}

// Fills the start of `match`, or tells in `match.unreadable` which cell keeps it from one.
void date_row(MatchRecord& match, const SheetRow& row, const Header& header, bool utf8) {
    const std::string_view date_cell = cell_of(row, *header[Column::date]);
    // What is known of a row that cannot be dated is kept, to be shown where it is listed apart.
    const auto time_alone = [&] {
        if (const auto time_column = header[Column::time]) {
            if (const auto time = read_time(cell_of(row, *time_column))) {
                match.at.hour = time->hour;
                match.at.minute = time->minute;
                match.time_known = true;
            }
        }
    };
    if (date_cell.empty()) {
        match.unreadable = "la cella \"" + for_message(header.date_name, utf8) + "\" \xE8 vuota";
        time_alone();
        return;
    }
    const auto date = read_date_and_time(date_cell);
    if (!date) {
        match.unreadable = quoted_cell_message("data non leggibile", date_cell, utf8);
        time_alone();
        return;
    }
    match.at = {date->date.year, date->date.month, date->date.day, 0, 0};
    match.day_known = true;
    std::optional<ClockTime> time = date->time;
    if (const auto time_column = header[Column::time]) {
        // The time column decides: the date cell's own time is often a spreadsheet's 00:00:00.
        const std::string_view time_cell = cell_of(row, *time_column);
        if (time_cell.empty()) {
            match.unreadable =
                "la cella \"" + for_message(header.time_name, utf8) + "\" \xE8 vuota";
            match.time_pending = true;
            return;
        }
        time = read_time(time_cell);
        if (!time) {
            match.unreadable = quoted_cell_message("ora non leggibile", time_cell, utf8);
            match.time_pending = says_time_to_be_set(time_cell);
            return;
        }
    } else if (!time) {
        match.unreadable = quoted_cell_message(
            "la cella \"" + for_message(header.date_name, utf8) + "\" non dice l'ora", date_cell,
            utf8);
        match.time_pending = true;
        return;
    }
    set_row_start(match, LocalTime{date->date.year, date->date.month, date->date.day, time->hour,
                                   time->minute});
}

// Reads the row of `sheet` into `match`, the `position`-th match of the table; false when it is
// no match.
bool read_row(const SheetRow& row, const Header& header, bool utf8, long long position,
              MatchRecord& match) {
    const auto cell = [&](Column column) {
        const auto index = header[column];
        return index ? cell_of(row, *index) : std::string_view{};
    };
    const auto filled = std::count_if(row.cells.begin(), row.cells.end(),
                                      [](const std::string& text) { return !text.empty(); });
    const auto again = column_named(cell(Column::date), utf8);
    if (filled <= 1 || again == Column::date || again == Column::day) {
        // Empty, a heading in one cell ("Giornata 3"), or the header again, as exports repeat it
        // for each group of a league.
        return false;
    }
    const std::string_view home = cell(Column::home), away = cell(Column::away);
    const std::string_view title = cell(Column::title);
    if (says_riposo(home) || says_riposo(away) ||
        (!header[Column::home] && !header[Column::away] && says_riposo(title))) {
        return false;
    }
    match = MatchRecord{};
    match.line_number = row.number;
    date_row(match, row, header, utf8);
    match.home = tidied(home);
    match.away = tidied(away);
    match.place = tidied(cell(Column::place));
    match.address = tidied(cell(Column::address));
    match.town = tidied(cell(Column::town));
    match.league = tidied(cell(Column::league));

    const bool teams = header[Column::home] && header[Column::away];
    if (const std::string_view number = cell(Column::number); !number.empty()) {
        match.number = tidied(number);
        match.code = match.number;
    } else if (teams && all_digits(title)) {
        match.number = title;
    } else {
        match.number = std::to_string(position);
    }

    if (!match.home.empty() && !match.away.empty()) {
        match.title = match.home + " - " + match.away;
    } else if (!title.empty() && !(teams && all_digits(title))) {
        match.title = tidied(title);
    } else if (!match.home.empty() || !match.away.empty()) {
        match.title = match.home.empty() ? match.away : match.home;
    } else {
        match.title = match.place;
    }
    return true;
}

// The matches of the rows under the header.
void read_rows(const Sheet& sheet, const Header& header, bool utf8, SourceReading& reading) {
    reading.matches.reserve(sheet.rows.size() - header.row);
    MatchRecord match;
    long long position = 0;
    for (std::size_t r = header.row + 1; r < sheet.rows.size(); ++r) {
        if (read_row(sheet.rows[r], header, utf8, position + 1, match)) {
            ++position;
            reading.matches.push_back(std::move(match));
        }
    }
}

std::string no_date_column() {
    return "nessuna delle prime dieci righe nomina la colonna della data (si cercano le "
           "intestazioni " +
           date_names() + ")";
}

// The header of a text table, and the separator that splits it into the most cells of
// `separators`; whether its first rows held anything at all.
struct TextHeader {
    Header header;
    char separator = '\t';
    bool any_rows = false;
};

TextHeader find_text_header(std::string_view bytes, std::string_view separators, bool utf8) {
    TextHeader best;
    for (const char candidate : separators) {
        Header found = find_header(split_rows(bytes, candidate, HEADER_ROWS), utf8);
        best.any_rows = best.any_rows || found.any_rows;
        if (found.found && (!best.header.found || found.cells > best.header.cells)) {
            best.header = std::move(found);
            best.separator = candidate;
        }
    }
    return best;
}

}  // namespace

SourceReading read_workbook(const Workbook& book) {
    SourceReading reading;
    bool any_rows = false;
    for (const Sheet& sheet : book.sheets) {
        const Header header = find_header(sheet, true);
        any_rows = any_rows || header.any_rows;
        if (header.found) {
            read_rows(sheet, header, true, reading);
            return reading;
        }
    }
    if (any_rows) {
        reading.error =
            "nessun foglio ha tra le prime dieci righe quella che nomina la colonna "
            "della data (si cercano le intestazioni " +
            date_names() + ")";
    }
    return reading;
}

bool has_table_header(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) {
        head.remove_prefix(3);
    }
    // The first rows are enough, with room for the empty lines and headings between them.
    std::size_t end = 0;
    for (int lines = 0; lines < 4 * HEADER_ROWS && end < head.size(); ++lines) {
        end = std::min(head.find('\n', end), head.size()) + 1;
    }
    head = head.substr(0, end);
    const TextHeader found = find_text_header(head, ";,\t", is_utf8(head));
    return found.header.found && found.header.cells >= 3;
}

SourceReading read_table(std::string_view bytes, bool tsv) {
    SourceReading reading;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const bool utf8 = reading.utf8 = is_utf8(bytes);
    const auto [header, separator, any_rows] =
        find_text_header(bytes, tsv ? std::string_view("\t") : std::string_view(";,\t"), utf8);
    if (!header.found) {
        if (any_rows) {
            reading.error = no_date_column();
        }
        return reading;
    }
    // A row at a time: a league's table is not kept twice, as rows and as records; a record a
    // line at most, room made once.
    reading.matches.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) +
                            1);
    RowReader rows(bytes, separator);
    for (std::size_t r = 0; r <= header.row && rows.next(); ++r) {
    }
    SheetRow row;
    MatchRecord match;
    long long position = 0;
    while (rows.next()) {
        take_row(rows, row);
        if (read_row(row, header, utf8, position + 1, match)) {
            ++position;
            reading.matches.push_back(std::move(match));
        }
    }
    return reading;
}

}  // namespace gironario
