#include "calendar/listing_line.hpp"

#include <algorithm>

#include "calendar/calendar_line.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

constexpr std::size_t LONGEST_LINE = 1000;

bool is_ascii_word_character(char c) {
    return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The dashes people put between a number and its match, in UTF-8 or Windows-1252.
std::size_t dash_length(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (text[0] == '-' || text[0] == '\x96' || text[0] == '\x97') {
        return 1;
    }
    return text.starts_with("\xE2\x80\x93") || text.starts_with("\xE2\x80\x94") ? 3 : 0;
}

// Whether a cell holds nothing but punctuation ("-", "\xE2\x80\x93"): an empty cell, as pages
// write one.
bool only_punctuation(std::string_view cell) {
    while (!cell.empty()) {
        if (is_ascii_word_character(cell[0])) {
            return false;
        }
        if (const std::size_t dash = dash_length(cell); dash > 0) {
            cell.remove_prefix(dash);
        } else if (static_cast<unsigned char>(cell[0]) >= 0x80) {
            return false;
        } else {
            cell.remove_prefix(1);
        }
    }
    return true;
}

std::size_t skip_white(std::string_view line, std::size_t at) {
    while (at < line.size() && is_white(line[at])) {
        ++at;
    }
    return at;
}

// The number a line starts with ("12", "12)", "12.", "12 -", "N. 12"), where neither its date
// nor its time starts: its digits, and where what follows it starts.
struct LeadingNumber {
    std::string_view digits;
    std::size_t after = 0;
};

LeadingNumber leading_number(std::string_view line, const FoundDates& found) {
    std::size_t at = skip_white(line, 0);
    if (at < line.size() && (line[at] == 'N' || line[at] == 'n') && at + 1 < line.size() &&
        line[at + 1] == '.') {
        at = skip_white(line, at + 2);
    }
    const std::size_t begin = at;
    while (at < line.size() && is_digit(line[at])) {
        ++at;
    }
    const bool dated_here = (found.date && found.date_span.begin == begin) ||
                            (found.time && found.time_span.begin == begin);
    if (at == begin || dated_here) {
        return {};
    }
    LeadingNumber number{line.substr(begin, at - begin), at};
    if (at < line.size() && (line[at] == ')' || line[at] == '.')) {
        ++at;
    }
    if (at < line.size() && !is_white(line[at]) && line[at] != '|') {
        return {};  // "12a", "1x2": a word, not a number
    }
    number.after = at;
    // A dash after the number parts it from its match: "12 - Alfa-Beta".
    const std::size_t next = skip_white(line, at);
    if (const std::size_t dash = dash_length(line.substr(next)); dash > 0) {
        const std::size_t after_dash = next + dash;
        if (after_dash == line.size() || is_white(line[after_dash])) {
            number.after = after_dash;
        }
    }
    return number;
}

// Puts in `cells` the cells of a line from `from` on, parted by tabs, bars or runs of two or more
// spaces; the empty cells that bars at its ends make are none.
void cells_of(std::string_view line, std::size_t from, std::vector<std::string_view>& cells) {
    cells.clear();
    std::size_t start = from;
    for (std::size_t at = from; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '\t' || c == '|') {
            cells.push_back(trimmed(line.substr(start, at - start)));
            start = at + 1;
        } else if (c == ' ' && at + 1 < line.size() && is_white(line[at + 1])) {
            cells.push_back(trimmed(line.substr(start, at - start)));
            at = skip_white(line, at) - 1;
            start = at + 1;
        }
    }
    cells.push_back(trimmed(line.substr(start)));
    if (!cells.empty() && cells.back().empty()) {
        cells.pop_back();
    }
    if (!cells.empty() && cells.front().empty() && line.substr(from).find('|') < line.size()) {
        cells.erase(cells.begin());
    }
}

bool has_cells(std::string_view line, std::size_t from) {
    for (std::size_t at = from; at < line.size(); ++at) {
        if (line[at] == '\t' || line[at] == '|' ||
            (line[at] == ' ' && at + 1 < line.size() && line[at + 1] == ' ')) {
            return true;
        }
    }
    return false;
}

CellKind kind_of(std::string_view cell, const YearContext& years) {
    // Most cells are words: neither punctuation alone nor a number.
    const bool word = !cell.empty() && is_ascii_word_character(cell[0]) && !is_digit(cell[0]);
    if (!word) {
        if (only_punctuation(cell)) {
            return CellKind::empty;
        }
        std::string_view digits = cell;
        if (digits.back() == ')' || digits.back() == '.') {
            digits.remove_suffix(1);
        }
        std::size_t digit_count = 0;
        while (digit_count < digits.size() && is_digit(digits[digit_count])) {
            ++digit_count;
        }
        if (!digits.empty() && digit_count == digits.size() && digits.size() <= 6) {
            return CellKind::number;
        }
    }
    // A cell that begins with another word is text, however far on it names a date.
    if (!may_start_date_or_time(cell)) {
        return CellKind::text;
    }
    const FoundDates found = find_dates(cell, years);
    const bool whole_date = found.date && found.date_span.begin == 0 &&
                            (found.date_span.end == cell.size() || found.time);
    if (whole_date && (!found.time || found.time_span.end == cell.size())) {
        return CellKind::date;
    }
    if (found.time && !found.date && found.time_span.begin == 0 &&
        found.time_span.end == cell.size()) {
        return CellKind::time;
    }
    return CellKind::text;
}

// The fields of a match that its cells give.
struct CellFields {
    std::string_view number;
    std::string label;  // the text cells before the time, when teams follow it ("U14")
    std::string_view home, away, title, place, address, town, league;
};

void put_text(CellFields& fields, Column column, std::string_view text) {
    switch (column) {
        case Column::home:
            fields.home = text;
            break;
        case Column::away:
            fields.away = text;
            break;
        case Column::title:
            fields.title = text;
            break;
        case Column::place:
            fields.place = text;
            break;
        case Column::address:
            fields.address = text;
            break;
        case Column::town:
            fields.town = text;
            break;
        case Column::league:
            fields.league = text;
            break;
        case Column::number:
            fields.number = text;
            break;
        default:
            break;
    }
}

void add_label(CellFields& fields, std::string_view text) {
    fields.label += fields.label.empty() ? "" : " ";
    fields.label += text;
}

// The kind of a cell of `line`, whose first date and time are `found`: the cells that hold them
// are known without reading them again.
CellKind kind_in(std::string_view cell, std::string_view line, const FoundDates& found,
                 const YearContext& years) {
    const auto begin = static_cast<std::size_t>(cell.data() - line.data());
    const std::size_t end = begin + cell.size();
    if (found.date && found.date_span.begin == begin &&
        (found.date_span.end == end || (found.time && found.time_span.end == end))) {
        return CellKind::date;
    }
    if (found.time && found.time_span.begin == begin && found.time_span.end == end) {
        return CellKind::time;
    }
    return kind_of(cell, years);
}

// The fields of the cells of `line`, whose first date and time are `found`.
CellFields read_cells(const std::vector<std::string_view>& cells, std::string_view line,
                      const FoundDates& found, ListingState& state) {
    std::vector<CellKind>& kinds = state.kinds;
    kinds.clear();
    std::size_t time_cell = cells.size();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        kinds.push_back(kind_in(cells[i], line, found, state.years));
        if (kinds.back() == CellKind::time && time_cell == cells.size()) {
            time_cell = i;
        }
    }
    CellFields fields;
    const auto text_after_time = [&] {
        for (std::size_t i = time_cell; i < cells.size(); ++i) {
            if (kinds[i] == CellKind::text) {
                return true;
            }
        }
        return false;
    };
    const std::vector<std::optional<Column>>& header = state.header;
    if (!header.empty() && cells.size() <= header.size()) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (header[i] && (kinds[i] == CellKind::text || kinds[i] == CellKind::number)) {
                put_text(fields, *header[i], cells[i]);
            }
        }
        return fields;
    }
    // The text cells that the match's names are read from, in order: with teams after the time,
    // those before it are labels.
    const bool labels = time_cell < cells.size() && time_cell > 0 && text_after_time();
    std::vector<std::string_view>& texts = state.texts;
    texts.clear();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (kinds[i] == CellKind::number && fields.number.empty()) {
            fields.number = cells[i];
        } else if (kinds[i] == CellKind::text || kinds[i] == CellKind::number) {
            if (labels && i < time_cell) {
                add_label(fields, cells[i]);
            } else {
                texts.push_back(cells[i]);
            }
        }
    }
    if (!header.empty()) {
        // More cells than the header names: its names go to the cells by kind.
        std::size_t next = 0;
        for (const std::optional<Column>& column : header) {
            if (column && *column != Column::date && *column != Column::time &&
                *column != Column::day && *column != Column::number && next < texts.size()) {
                put_text(fields, *column, texts[next++]);
            }
        }
        return fields;
    }
    if (texts.size() == 1) {
        fields.title = texts[0];
    } else if (texts.size() >= 2) {
        fields.home = texts[0];
        fields.away = texts[1];
        if (texts.size() >= 3) {
            fields.place = texts[2];
        }
    }
    return fields;
}

// Whether a header row: cells that name at least two columns, one of them the date, the time,
// a team or the match.
bool read_header(const std::vector<std::string_view>& cells, bool utf8, ListingState& state) {
    std::vector<std::optional<Column>> header;
    int named = 0;
    bool key = false;
    for (const std::string_view cell : cells) {
        header.push_back(column_named(cell, utf8));
        if (const std::optional<Column> column = header.back()) {
            ++named;
            key = key || *column == Column::date || *column == Column::time ||
                  *column == Column::home || *column == Column::away || *column == Column::title;
        }
    }
    if (named < 2 || !key) {
        return false;
    }
    state.header = std::move(header);
    return true;
}

bool is_edge_punctuation(char c) {
    return c == ',' || c == ';' || c == ':' || c == '.' || c == '-' || c == '(' || c == ')' ||
           c == '[' || c == ']' || is_white(c);
}

// What is left of a prose line without its number, date and time: its pieces joined, the
// punctuation that stood by what was taken out dropped, brackets kept where they pair.
std::string prose_title(std::string_view line, std::size_t from, const FoundDates& found) {
    std::vector<TextSpan> taken;
    for (const auto& [there, span] : {std::pair{found.date.has_value(), found.date_span},
                                      std::pair{found.time.has_value(), found.time_span}}) {
        if (there) {
            taken.push_back(span);
        }
    }
    std::sort(taken.begin(), taken.end(),
              [](const TextSpan& a, const TextSpan& b) { return a.begin < b.begin; });
    std::string title;
    std::size_t at = from;
    const auto piece = [&](std::size_t end, bool after_taken) {
        std::string_view text = trimmed(line.substr(at, end > at ? end - at : 0));
        // Only the commas and the like that stood by a date or time go: "(, Stadio" is "(Stadio".
        while (after_taken && !text.empty() && (text.front() == ',' || text.front() == ';')) {
            text = trimmed(text.substr(1));
        }
        while (!text.empty() && (text.back() == ',' || text.back() == ';')) {
            text = trimmed(text.substr(0, text.size() - 1));
        }
        if (text.empty()) {
            return;
        }
        const bool glued = !title.empty() && (title.back() == '(' || title.back() == '[' ||
                                              text.front() == ')' || text.front() == ']');
        title += title.empty() || glued ? "" : " ";
        title += text;
    };
    bool after_taken = false;
    for (const TextSpan& span : taken) {
        piece(span.begin, after_taken);
        at = std::max(at, span.end);
        after_taken = true;
    }
    piece(line.size(), after_taken);
    // Brackets that held only the date and time: "Eta-Zeta (domenica 11 gennaio, ore 21)".
    for (std::size_t empty = title.find("()"); empty != std::string::npos;
         empty = title.find("()")) {
        title.erase(empty, 2);
    }
    // Punctuation and unpaired brackets at either end.
    for (;;) {
        const std::size_t before = title.size();
        const auto opens = std::count(title.begin(), title.end(), '(');
        const auto closes = std::count(title.begin(), title.end(), ')');
        while (!title.empty() && is_edge_punctuation(title.back()) &&
               !(title.back() == ')' && closes <= opens)) {
            title.pop_back();
        }
        std::size_t first = 0;
        while (first < title.size() && is_edge_punctuation(title[first]) &&
               !(title[first] == '(' && opens <= closes)) {
            ++first;
        }
        title.erase(0, first);
        if (title.empty() || title.size() == before) {
            break;
        }
    }
    return title;
}

// The place of several words named where `from` starts, else nothing.
std::string_view known_place(std::string_view line, std::size_t from,
                             const std::vector<std::string>* places) {
    if (places == nullptr || from >= line.size()) {
        return {};
    }
    while (from < line.size() &&
           (is_white(line[from]) || line[from] == '(' || line[from] == ',' || line[from] == '-')) {
        ++from;
    }
    for (const std::string& name : *places) {
        const std::string_view written = line.substr(from, name.size());
        const std::size_t end = from + name.size();
        if (same_ignoring_case(written, name) &&
            (end == line.size() || !is_ascii_word_character(line[end]))) {
            return written;
        }
    }
    return {};
}

void clear_fields(MatchRecord& match) {
    for (std::string* field :
         {&match.line, &match.number, &match.place, &match.title, &match.location, &match.address,
          &match.town, &match.league, &match.home, &match.away, &match.uid, &match.unreadable}) {
        field->clear();
    }
    match.day_known = false;
    match.time_known = false;
}

// The place, and the title, of a line in the order of a match line: the word after the time (or
// a known place of several words there), and what follows it.
void read_in_order(std::string_view line, std::size_t from, const std::vector<std::string>* places,
                   MatchRecord& match) {
    from = skip_white(line, from);
    std::string_view place = known_place(line, from, places);
    if (place.empty()) {
        std::size_t end = from;
        while (end < line.size() && !is_white(line[end])) {
            ++end;
        }
        place = line.substr(from, end - from);
    }
    match.place.assign(place);
    match.title.assign(trimmed(line.substr(from + place.size())));
}

}  // namespace

ListingLine read_listing_line(std::string_view line, bool match_line, long long position,
                              const std::vector<std::string>* places, ListingState& state,
                              MatchRecord& match) {
    line = trimmed(line);
    // A byte-order mark that was not the file's first stands before the line as white space.
    if (line.starts_with("\xEF\xBB\xBF")) {
        line = trimmed(line.substr(3));
    }
    // A line longer than a page shows is no text copied from a page: a heading padded out,
    // whatever it holds. Nor is a line with control characters inside: it stays as it is.
    const auto is_control = [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t';
    };
    if (line.empty() || line.size() > LONGEST_LINE ||
        std::any_of(line.begin(), line.end(), is_control)) {
        return ListingLine::other;
    }
    const FoundDates found = find_dates(line, state.years);
    if (found.date && found.year_written) {
        state.years.latest = found.date;
    }
    // A number glued to a word ("10a Giornata", "12\xAA giornata") is a heading's, not a match's.
    std::size_t digits_end = 0;
    while (digits_end < line.size() && is_digit(line[digits_end])) {
        ++digits_end;
    }
    const bool numbered_word =
        digits_end < line.size() && (is_ascii_word_character(line[digits_end]) ||
                                     static_cast<unsigned char>(line[digits_end]) >= 0x80);
    if (found.date && !found.time && (!match_line || numbered_word)) {
        state.heading_day = found.date;
        return ListingLine::heading;
    }
    const LeadingNumber number = leading_number(line, found);
    const std::size_t from = number.digits.empty() ? 0 : number.after;
    const bool cells = has_cells(line, 0);
    // A date written that is no day ("31/02/2026") is not the heading's day.
    if (!found.time || (!found.date && (!state.heading_day || looks_like_match(line)))) {
        if (!found.date && !found.time && cells) {
            cells_of(line, 0, state.cells);
            if (read_header(state.cells, is_utf8(line), state)) {
                return ListingLine::header;
            }
        }
        return ListingLine::other;
    }
    const Date day = found.date ? *found.date : *state.heading_day;
    const ClockTime time = *found.time;
    clear_fields(match);
    match.source = MatchSource::table;
    match.number.assign(number.digits);
    const bool in_order = !number.digits.empty() && found.date &&
                          found.date_span.begin == skip_white(line, number.after) &&
                          found.time_span.begin == skip_white(line, found.date_span.end);
    if (cells) {
        std::vector<std::string_view>& row = state.cells;
        cells_of(line, 0, row);
        // "12) ALFA CALCIO": a number written in the first cell, before its words.
        if (!number.digits.empty() && !row.empty()) {
            const auto first_end =
                static_cast<std::size_t>(row[0].data() - line.data()) + row[0].size();
            if (first_end > number.after) {
                row[0] = trimmed(line.substr(number.after, first_end - number.after));
            }
        }
        const CellFields fields = read_cells(row, line, found, state);
        if (match.number.empty()) {
            match.number.assign(fields.number);
        }
        // What the cells leave empty stays as clear_fields() left it.
        for (const auto& [field, text] :
             {std::pair{&match.home, fields.home}, std::pair{&match.away, fields.away},
              std::pair{&match.place, fields.place}, std::pair{&match.address, fields.address},
              std::pair{&match.town, fields.town}, std::pair{&match.league, fields.league}}) {
            if (!text.empty()) {
                field->assign(text);
            }
        }
        if (!match.home.empty() && !match.away.empty()) {
            match.title.assign(match.home).append(" - ").append(match.away);
        } else if (!fields.title.empty()) {
            match.title.assign(fields.title);
        } else {
            match.title = match.home.empty() ? match.away : match.home;
        }
        if (!fields.label.empty()) {
            match.title = fields.label + (match.title.empty() ? "" : " ") + match.title;
        }
    } else if (in_order) {
        read_in_order(line, found.time_span.end, places, match);
    } else {
        match.title = prose_title(line, from, found);
        match.place.assign(known_place(line, found.time_span.end, places));
        // Prose names its place anywhere: "(Stadio Comunale di Borgo ore 16:00)".
        for (std::size_t at = from; match.place.empty() && at < line.size(); ++at) {
            if (at == 0 || !is_ascii_word_character(line[at - 1])) {
                match.place.assign(known_place(line, at, places));
            }
        }
    }
    if (match.number.empty()) {
        match.number = std::to_string(position);
    }
    match.location = match.place;
    for (const std::string* part : {&match.address, &match.town}) {
        if (!part->empty()) {
            match.location += match.location.empty() ? "" : ", ";
            match.location += *part;
        }
    }
    set_row_start(match, {day.year, day.month, day.day, time.hour, time.minute});
    match.year_digits = 2;
    // Written where the record keeps it, so that its room serves line after line.
    match.line.clear();
    // The line's encoding tells only how a space inside the number or the place is written.
    const auto spaced = [](std::string_view field) {
        return std::any_of(field.begin(), field.end(), [](char c) { return is_white(c); });
    };
    const bool utf8 = (!spaced(match.number) && !spaced(match.place)) || is_utf8(line);
    append_row_line(match.line, match, utf8);
    return ListingLine::match;
}

}  // namespace gironario
