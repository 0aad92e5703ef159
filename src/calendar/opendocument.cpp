#include "calendar/opendocument.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/text.hpp"
#include "io/xml_reader.hpp"

namespace gironario {
namespace {

// The largest sheet the spreadsheet programs make.
constexpr long long ROW_LIMIT = 1048576;
constexpr std::size_t COLUMN_LIMIT = 16384;
// Every cell kept costs a string, so the cells of the whole workbook are bounded well below what
// a full sheet could hold; a calendar needs a few thousand.
constexpr std::size_t CELL_LIMIT = 10'000'000;
// The text of all the cells or lines together: no more than content.xml itself may hold.
constexpr std::size_t TEXT_LIMIT = ZIP_MEMBER_LIMIT;
// Nobody types more spaces in a row; a larger text:c would only make memory out of nothing.
constexpr std::size_t SPACE_RUN_LIMIT = 65535;
// Repeat counts above this are read as this: still past every bound, and safe to add up.
constexpr std::size_t REPEAT_CAP = std::size_t{1} << 30;

constexpr std::string_view ODS_TYPE = "application/vnd.oasis.opendocument.spreadsheet";
constexpr std::string_view ODT_TYPE = "application/vnd.oasis.opendocument.text";

bool has_mimetype(const ZipArchive& archive, std::string_view type) {
    std::string content;
    std::string error;
    // A mimetype member is a few dozen bytes; a larger one is some other file's.
    if (!archive.has("mimetype") || !archive.read("mimetype", content, error, 256)) {
        return false;
    }
    return trimmed(content, true) == type;
}

// A non-negative decimal integer that fills `text`, capped at REPEAT_CAP; nothing otherwise.
std::optional<std::size_t> read_count(std::string_view text) {
    text = trimmed(text, true);
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + static_cast<std::size_t>(c - '0'), REPEAT_CAP);
    }
    return value;
}

// How many times a row or cell stands for itself: 1 when the attribute is absent or makes no
// sense, as the spreadsheet programs read it.
std::size_t repeat_count(const XmlReader& xml, std::string_view attribute) {
    const std::string* value = xml.attribute(attribute);
    const auto count = value ? read_count(*value) : std::nullopt;
    return count && *count > 0 ? *count : 1;
}

bool is_leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

// Reads forward through an attribute's value, one field at a time.
class Fields {
  public:
    explicit Fields(std::string_view text) : text_(text) {}

    bool at_end() const { return at_ == text_.size(); }

    bool take(char c) {
        if (at_end() || text_[at_] != c) {
            return false;
        }
        ++at_;
        return true;
    }

    // Exactly `width` digits, or with `width` 0 from one up to nine of them.
    std::optional<long long> number(std::size_t width = 0) {
        const std::size_t most = width == 0 ? 9 : width;
        long long value = 0;
        std::size_t count = 0;
        while (!at_end() && count < most && text_[at_] >= '0' && text_[at_] <= '9') {
            value = value * 10 + (text_[at_] - '0');
            ++at_;
            ++count;
        }
        const bool more_digits = !at_end() && text_[at_] >= '0' && text_[at_] <= '9';
        if (count == 0 || (width != 0 && count != width) || more_digits) {
            return std::nullopt;
        }
        return value;
    }

    // A fraction's digits after a '.', as thousandths: the rest cannot move a minute's rounding.
    long long thousandths() {
        long long value = 0;
        std::size_t count = 0;
        while (!at_end() && text_[at_] >= '0' && text_[at_] <= '9') {
            if (count < 3) {
                value = value * 10 + (text_[at_] - '0');
            }
            ++at_;
            ++count;
        }
        for (; count < 3; ++count) {
            value *= 10;
        }
        return value;
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// Milliseconds to whole minutes, half a minute rounding up, as a serial value's time is shown.
long long rounded_minutes(long long milliseconds) {
    return (milliseconds + 30'000) / 60'000;
}

// office:date-value, "2026-10-04" or "2026-10-04T18:30:00" (a fraction and a zone allowed), as
// "04/10/2026" or "04/10/2026 18:30"; nothing when it is no such date.
std::optional<std::string> date_text(std::string_view value) {
    Fields fields(trimmed(value, true));
    const auto year = fields.number(4);
    if (!year || !fields.take('-')) {
        return std::nullopt;
    }
    const auto month = fields.number(2);
    if (!month || *month < 1 || *month > 12 || !fields.take('-')) {
        return std::nullopt;
    }
    const auto day = fields.number(2);
    if (!day || *day < 1 ||
        *day > days_in_month(static_cast<int>(*year), static_cast<int>(*month))) {
        return std::nullopt;
    }
    long long minutes = 0;
    if (fields.take('T')) {
        const auto hour = fields.number(2);
        if (!hour || *hour > 23 || !fields.take(':')) {
            return std::nullopt;
        }
        const auto minute = fields.number(2);
        if (!minute || *minute > 59 || !fields.take(':')) {
            return std::nullopt;
        }
        const auto second = fields.number(2);
        if (!second || *second > 59) {
            return std::nullopt;
        }
        const long long fraction = fields.take('.') ? fields.thousandths() : 0;
        minutes = rounded_minutes(((*hour * 60 + *minute) * 60 + *second) * 1000 + fraction);
        // The zone is not shown by the sheet, so it is only checked for its form.
        if (fields.take('+') || fields.take('-')) {
            if (!fields.number(2) || !fields.take(':') || !fields.number(2)) {
                return std::nullopt;
            }
        } else {
            fields.take('Z');
        }
    }
    if (!fields.at_end()) {
        return std::nullopt;
    }
    int y = static_cast<int>(*year);
    int m = static_cast<int>(*month);
    int d = static_cast<int>(*day);
    if (minutes == 24 * 60) {
        // 23:59:30 and later round up into the next day.
        minutes = 0;
        if (++d > days_in_month(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    char text[32];
    if (minutes == 0) {
        std::snprintf(text, sizeof text, "%02d/%02d/%04d", d, m, y);
    } else {
        const int hour = static_cast<int>(minutes / 60);
        const int minute = static_cast<int>(minutes % 60);
        std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d", d, m, y, hour, minute);
    }
    return std::string(text);
}

// office:time-value, a duration as "PT18H30M00S" or "P0DT18H30M", as the time of day it shows,
// "18:30"; nothing when it is no such duration (years, months or a minus sign included).
std::optional<std::string> time_text(std::string_view value) {
    Fields fields(trimmed(value, true));
    if (!fields.take('P')) {
        return std::nullopt;
    }
    long long milliseconds = 0;
    bool any = false;
    if (const auto days = fields.number()) {
        if (!fields.take('D')) {
            return std::nullopt;
        }
        milliseconds += *days * 86'400'000;
        any = true;
    }
    if (fields.take('T')) {
        bool any_time = false;
        constexpr struct {
            char designator;
            long long milliseconds;
        } units[] = {{'H', 3'600'000}, {'M', 60'000}, {'S', 1000}};
        for (const auto& unit : units) {
            Fields before = fields;
            const auto count = fields.number();
            if (!count) {
                fields = before;
                continue;
            }
            long long fraction = 0;
            if (unit.designator == 'S' && fields.take('.')) {
                fraction = fields.thousandths();
            }
            if (!fields.take(unit.designator)) {
                // A count read for one unit may belong to a later one: "PT30M" has no hours.
                fields = before;
                continue;
            }
            milliseconds += *count * unit.milliseconds + fraction;
            any_time = true;
        }
        if (!any_time) {
            return std::nullopt;
        }
        any = true;
    }
    if (!any || !fields.at_end()) {
        return std::nullopt;
    }
    const int minutes = static_cast<int>(rounded_minutes(milliseconds) % (24 * 60));
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return std::string(text);
}

// office:value as the shared rules write a number: an integer as its digits, any other as the
// shortest decimal that reads back the same; nothing when it is no finite number.
std::optional<std::string> number_text(std::string_view value) {
    value = trimmed(value, true);
    if (!value.empty() && value.front() == '+') {
        value.remove_prefix(1);
    }
    double number = 0;
    const char* end = value.data() + value.size();
    const auto read = std::from_chars(value.data(), end, number);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(number)) {
        return std::nullopt;
    }
    if (number == 0) {
        number = 0;  // -0 too is shown as 0
    }
    // The longest fixed form of a double, the smallest subnormal, takes some 330 characters.
    char text[400];
    const auto written = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed);
    if (written.ec != std::errc()) {
        return std::nullopt;
    }
    return std::string(text, written.ptr);
}

// Whether `times` more pieces of `each` bytes (or cells) still fit under `limit` after `used`;
// written without a product, which could overflow.
bool fits(std::size_t used, std::size_t each, std::size_t times, std::size_t limit) {
    return used <= limit && (each == 0 || times <= (limit - used) / each);
}

// What the text of a cell or paragraph ran into.
enum class TextProblem { none, too_long, too_many_spaces };

// The character content of the paragraphs (text:p, text:h) met between reset() and text(), as
// OpenDocument defines it: white space collapsed, text:s, text:tab and text:line-break written
// out, notes, annotations, ruby text and shapes left out; paragraphs joined with a space.
class ParagraphText {
  public:
    void reset(std::size_t limit) {
        text_.clear();
        limit_ = limit;
        skipping_ = 0;
        open_ = 0;
        problem_ = TextProblem::none;
    }

    // Inside a paragraph or an element left out, where every token belongs to this text.
    bool busy() const { return skipping_ > 0 || open_ > 0; }

    void start(const XmlReader& xml) {
        const std::string_view name = xml.name();
        if (skipping_ > 0 || left_out(name)) {
            ++skipping_;
            return;
        }
        if (name == "text:p" || name == "text:h") {
            if (open_++ == 0) {
                separator_ = !text_.empty();
                space_ = false;
                written_ = false;
            }
        } else if (open_ == 0) {
            return;
        } else if (name == "text:s") {
            const std::string* count = xml.attribute("text:c");
            const auto spaces = count ? read_count(*count) : std::nullopt;
            const std::size_t n = spaces && *spaces > 0 ? *spaces : 1;
            if (n > SPACE_RUN_LIMIT) {
                problem_ = TextProblem::too_many_spaces;
                return;
            }
            append(std::string_view(), n, ' ');
        } else if (name == "text:tab") {
            append(std::string_view(), 1, '\t');
        } else if (name == "text:line-break") {
            append(std::string_view(), 1, ' ');
        }
    }

    // Whether the end closed the outermost paragraph.
    bool end(std::string_view name) {
        if (skipping_ > 0) {
            --skipping_;
            return false;
        }
        if (open_ > 0 && (name == "text:p" || name == "text:h")) {
            return --open_ == 0;
        }
        return false;
    }

    void characters(std::string_view chars) {
        if (skipping_ > 0 || open_ == 0) {
            return;
        }
        std::size_t at = 0;
        while (at < chars.size()) {
            std::size_t word_end = at;
            while (word_end < chars.size() && !collapsed(chars[word_end])) {
                ++word_end;
            }
            if (word_end > at) {
                append(chars.substr(at, word_end - at), 0, ' ');
            }
            at = word_end;
            if (at < chars.size()) {
                // White space between words is one space, written only before what follows it,
                // so that none is kept at a paragraph's start or end.
                space_ = space_ || written_;
                while (at < chars.size() && collapsed(chars[at])) {
                    ++at;
                }
            }
        }
    }

    const std::string& text() const { return text_; }
    TextProblem problem() const { return problem_; }

  private:
    static bool collapsed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    static bool left_out(std::string_view name) {
        return name == "office:annotation" || name == "text:note-body" ||
               name == "text:ruby-text" || name == "text:tracked-changes" ||
               name.starts_with("draw:") || name.starts_with("dr3d:");
    }

    // Appends `chars`, then `count` times `c`, after the separator or space still owed.
    void append(std::string_view chars, std::size_t count, char c) {
        if (problem_ != TextProblem::none) {
            return;
        }
        if (separator_) {
            space_ = true;
            separator_ = false;
        }
        const std::size_t owed = space_ ? 1 : 0;
        if (text_.size() + owed + chars.size() + count > limit_) {
            problem_ = TextProblem::too_long;
            return;
        }
        if (space_) {
            text_ += ' ';
            space_ = false;
        }
        text_ += chars;
        text_.append(count, c);
        written_ = true;
    }

    std::string text_;
    std::size_t limit_ = 0;
    std::size_t skipping_ = 0;  // depth inside an element whose text is no paragraph's
    std::size_t open_ = 0;      // paragraphs open, nested ones (in a shape's text) included
    bool separator_ = false;    // a space owed to the paragraphs before, once this one has text
    bool space_ = false;        // collapsed white space owed before the next text
    bool written_ = false;      // whether this paragraph has text yet
    TextProblem problem_ = TextProblem::none;
};

// The cells of one row as they are read. Empty cells are only counted until a cell with text
// follows, so that the empty columns LibreOffice repeats to the sheet's edge cost nothing.
class RowCells {
  public:
    enum class Added { ok, past_last_column, too_much_text };

    void clear() {
        cells_.clear();
        empty_ = 0;
        text_size_ = 0;
    }

    Added add(const std::string& text, std::size_t repeat, std::size_t text_limit) {
        if (text.empty()) {
            empty_ = std::min(empty_ + repeat, COLUMN_LIMIT + 1);
            return Added::ok;
        }
        if (cells_.size() + empty_ + repeat > COLUMN_LIMIT) {
            return Added::past_last_column;
        }
        if (!fits(text_size_, text.size(), repeat, text_limit)) {
            return Added::too_much_text;
        }
        cells_.resize(cells_.size() + empty_);
        empty_ = 0;
        cells_.insert(cells_.end(), repeat, text);
        text_size_ += text.size() * repeat;
        return Added::ok;
    }

    const std::vector<std::string>& cells() const { return cells_; }
    std::size_t text_size() const { return text_size_; }

  private:
    std::vector<std::string> cells_;
    std::size_t empty_ = 0;
    std::size_t text_size_ = 0;
};

bool is_cell(std::string_view name) {
    return name == "table:table-cell" || name == "table:covered-table-cell";
}

std::string damaged(std::string_view kind, std::string_view why) {
    std::string error = "il ";
    error += kind;
    error += " \xE8 danneggiato: ";
    error += why;
    return error;
}

std::string text_error(TextProblem problem, RowCells::Added added = RowCells::Added::ok) {
    if (problem == TextProblem::too_many_spaces) {
        return "il file \xE8 danneggiato: chiede pi\xF9 di 65535 spazi di seguito";
    }
    if (added == RowCells::Added::past_last_column) {
        return "una riga ha dati oltre la colonna 16384, l'ultima di un foglio";
    }
    return "il file ha pi\xF9 di 256 MiB di testo: troppo per un calendario";
}

// The package's content.xml, once it is known to be readable; `kind` names the file in errors.
bool read_content(const ZipArchive& archive, std::string_view kind, std::string& content,
                  std::string& error) {
    if (archive.has("META-INF/manifest.xml")) {
        std::string manifest;
        std::string unread;
        // Encrypted members are told by the manifest, which is small however large the file; an
        // unreadable manifest is no reason to give up on the content.
        if (archive.read("META-INF/manifest.xml", manifest, unread, std::size_t{1} << 20) &&
            manifest.find("manifest:encryption-data") != std::string::npos) {
            error = "il ";
            error += kind;
            error += " \xE8 protetto da una password: salvarlo senza password e riprovare";
            return false;
        }
    }
    if (!archive.has("content.xml")) {
        error = damaged(kind, "manca il suo contenuto (content.xml)");
        return false;
    }
    return archive.read("content.xml", content, error);
}

// A cell being read: its value attributes, kept from its start, and its paragraphs' text.
struct Cell {
    std::size_t level = 0;  // elements open at its start, itself counted
    std::size_t repeat = 1;
    std::string type;
    std::string value;         // the attribute its type reads, when it has one
    std::string string_value;  // office:string-value, for a text cell without paragraphs
    ParagraphText text;

    void start(const XmlReader& xml, std::size_t at_level, std::size_t text_limit) {
        level = at_level;
        repeat = repeat_count(xml, "table:number-columns-repeated");
        const auto copy = [&](std::string& to, std::string_view attribute) {
            const std::string* from = xml.attribute(attribute);
            to = from ? *from : std::string();
        };
        copy(type, "office:value-type");
        if (type == "date") {
            copy(value, "office:date-value");
        } else if (type == "time") {
            copy(value, "office:time-value");
        } else if (type == "boolean") {
            copy(value, "office:boolean-value");
        } else {
            copy(value, "office:value");
        }
        copy(string_value, "office:string-value");
        text.reset(text_limit);
    }

    // The cell as the sheet shows it; its own text wherever its value does not read.
    std::string shown() const {
        std::optional<std::string> from_value;
        if (type == "float" || type == "percentage" || type == "currency") {
            from_value = number_text(value);
        } else if (type == "date") {
            from_value = date_text(value);
        } else if (type == "time") {
            from_value = time_text(value);
        } else if (type == "boolean") {
            const std::string_view truth = trimmed(value, true);
            if (truth == "true" || truth == "1") {
                from_value = "VERO";
            } else if (truth == "false" || truth == "0") {
                from_value = "FALSO";
            }
        }
        if (from_value) {
            return *from_value;
        }
        std::string_view own = trimmed(text.text(), true);
        if (own.empty() && type == "string") {
            own = trimmed(string_value, true);
        }
        return std::string(own);
    }
};

class SpreadsheetReader {
  public:
    explicit SpreadsheetReader(std::string_view content) : xml_(content) {}

    bool read(Workbook& out, std::string& error) {
        for (;;) {
            const XmlReader::Token token = xml_.next();
            if (token == XmlReader::Token::done) {
                return true;
            }
            if (token == XmlReader::Token::error) {
                error = damaged("foglio", xml_.error());
                return false;
            }
            if (token == XmlReader::Token::start) {
                ++level_;
                start(out);
            } else if (token == XmlReader::Token::end) {
                const bool ok = end(out, error);
                --level_;
                if (!ok) {
                    return false;
                }
            } else if (in_cell_) {
                cell_.text.characters(xml_.text());
            }
        }
    }

  private:
    void start(Workbook& out) {
        const std::string_view name = xml_.name();
        if (in_cell_) {
            cell_.text.start(xml_);
        } else if (in_row_) {
            if (is_cell(name)) {
                in_cell_ = true;
                cell_.start(xml_, level_, TEXT_LIMIT - text_size_ - row_.text_size());
            }
        } else if (in_table_) {
            if (name == "table:table-row") {
                in_row_ = true;
                row_level_ = level_;
                row_repeat_ = repeat_count(xml_, "table:number-rows-repeated");
                row_.clear();
            }
        } else if (name == "office:spreadsheet") {
            spreadsheet_level_ = level_;
        } else if (name == "table:table" && spreadsheet_level_ != 0 &&
                   level_ == spreadsheet_level_ + 1) {
            in_table_ = true;
            table_level_ = level_;
            next_row_ = 1;
            out.sheets.emplace_back();
            const std::string* sheet_name = xml_.attribute("table:name");
            out.sheets.back().name = sheet_name ? *sheet_name : std::string();
        }
    }

    bool end(Workbook& out, std::string& error) {
        if (in_cell_) {
            if (level_ != cell_.level) {
                cell_.text.end(xml_.name());
                return true;
            }
            in_cell_ = false;
            if (cell_.text.problem() != TextProblem::none) {
                error = text_error(cell_.text.problem());
                return false;
            }
            const RowCells::Added added =
                row_.add(cell_.shown(), cell_.repeat, TEXT_LIMIT - text_size_);
            if (added != RowCells::Added::ok) {
                error = text_error(TextProblem::none, added);
                return false;
            }
        } else if (in_row_ && level_ == row_level_) {
            in_row_ = false;
            return end_row(out.sheets.back(), error);
        } else if (in_table_ && level_ == table_level_) {
            in_table_ = false;
        } else if (level_ == spreadsheet_level_) {
            spreadsheet_level_ = 0;
        }
        return true;
    }

    bool end_row(Sheet& sheet, std::string& error) {
        const long long first = next_row_;
        next_row_ += static_cast<long long>(row_repeat_);
        if (row_.cells().empty()) {
            return true;
        }
        if (first + static_cast<long long>(row_repeat_) - 1 > ROW_LIMIT) {
            error = "un foglio ha dati oltre la riga 1048576, l'ultima di un foglio";
            return false;
        }
        if (!fits(cell_count_, row_.cells().size(), row_repeat_, CELL_LIMIT)) {
            error = "il file ha pi\xF9 di 10 milioni di celle: troppe per un calendario";
            return false;
        }
        if (!fits(text_size_, row_.text_size(), row_repeat_, TEXT_LIMIT)) {
            error = text_error(TextProblem::too_long);
            return false;
        }
        cell_count_ += row_.cells().size() * row_repeat_;
        text_size_ += row_.text_size() * row_repeat_;
        for (std::size_t i = 0; i < row_repeat_; ++i) {
            sheet.rows.push_back({first + static_cast<long long>(i), row_.cells()});
        }
        return true;
    }

    XmlReader xml_;
    std::size_t level_ = 0;  // elements open
    std::size_t spreadsheet_level_ = 0;
    bool in_table_ = false;
    std::size_t table_level_ = 0;
    long long next_row_ = 1;
    bool in_row_ = false;
    std::size_t row_level_ = 0;
    std::size_t row_repeat_ = 1;
    RowCells row_;
    bool in_cell_ = false;
    Cell cell_;
    std::size_t cell_count_ = 0;
    std::size_t text_size_ = 0;
};

class DocumentReader {
  public:
    // The lines go to `out`, which must outlast the reader.
    DocumentReader(std::string_view content, std::string& out) : xml_(content), out_(out) {}

    bool read(std::string& error) {
        body_.reset(TEXT_LIMIT - out_.size());
        for (;;) {
            const XmlReader::Token token = xml_.next();
            if (token == XmlReader::Token::done) {
                return true;
            }
            if (token == XmlReader::Token::error) {
                error = damaged("documento", xml_.error());
                return false;
            }
            if (token == XmlReader::Token::start) {
                ++level_;
                start();
            } else if (token == XmlReader::Token::end) {
                const bool ok = end(error);
                --level_;
                if (!ok) {
                    return false;
                }
            } else if (in_cell_) {
                cell_text_.characters(xml_.text());
            } else {
                body_.characters(xml_.text());
            }
        }
    }

  private:
    void start() {
        const std::string_view name = xml_.name();
        if (in_cell_) {
            cell_text_.start(xml_);
        } else if (body_.busy()) {
            body_.start(xml_);
        } else if (in_row_) {
            if (is_cell(name)) {
                in_cell_ = true;
                cell_level_ = level_;
                cell_repeat_ = repeat_count(xml_, "table:number-columns-repeated");
                cell_text_.reset(TEXT_LIMIT - out_.size() - row_.text_size());
            }
        } else if (name == "table:table-row") {
            in_row_ = true;
            row_level_ = level_;
            row_repeat_ = repeat_count(xml_, "table:number-rows-repeated");
            row_.clear();
        } else {
            body_.start(xml_);
        }
    }

    bool end(std::string& error) {
        if (in_cell_) {
            if (level_ != cell_level_) {
                cell_text_.end(xml_.name());
                return true;
            }
            in_cell_ = false;
            if (cell_text_.problem() != TextProblem::none) {
                error = text_error(cell_text_.problem());
                return false;
            }
            const RowCells::Added added = row_.add(std::string(trimmed(cell_text_.text(), true)),
                                                   cell_repeat_, TEXT_LIMIT - out_.size());
            if (added != RowCells::Added::ok) {
                error = text_error(TextProblem::none, added);
                return false;
            }
        } else if (body_.busy()) {
            if (!body_.end(xml_.name())) {
                return true;
            }
            if (body_.problem() != TextProblem::none) {
                error = text_error(body_.problem());
                return false;
            }
            if (!add_line(body_.text() + '\n', 1, error)) {
                return false;
            }
            body_.reset(TEXT_LIMIT - out_.size());
        } else if (in_row_ && level_ == row_level_) {
            in_row_ = false;
            return end_row(error);
        }
        return true;
    }

    bool end_row(std::string& error) {
        const std::vector<std::string>& cells = row_.cells();
        if (cells.empty()) {
            // Repeated empty rows are one blank line: they only fill the table's height.
            return add_line("\n", 1, error);
        }
        std::string line;
        for (const std::string& cell : cells) {
            line += cell;
            line += '\t';
        }
        line.back() = '\n';
        return add_line(line, row_repeat_, error);
    }

    bool add_line(const std::string& line, std::size_t times, std::string& error) {
        if (!fits(out_.size(), line.size(), times, TEXT_LIMIT)) {
            error = text_error(TextProblem::too_long);
            return false;
        }
        for (std::size_t i = 0; i < times; ++i) {
            out_ += line;
        }
        return true;
    }

    XmlReader xml_;
    std::string& out_;
    std::size_t level_ = 0;  // elements open
    ParagraphText body_;     // the paragraph outside tables being read, or an element left out
    bool in_row_ = false;
    std::size_t row_level_ = 0;
    std::size_t row_repeat_ = 1;
    RowCells row_;
    bool in_cell_ = false;
    std::size_t cell_level_ = 0;
    std::size_t cell_repeat_ = 1;
    ParagraphText cell_text_;
};

}  // namespace

bool is_ods(const ZipArchive& archive) {
    return has_mimetype(archive, ODS_TYPE);
}

bool is_odt(const ZipArchive& archive) {
    return has_mimetype(archive, ODT_TYPE);
}

bool read_ods(const ZipArchive& archive, Workbook& out, std::string& error) {
    out = Workbook();
    std::string content;
    if (!read_content(archive, "foglio", content, error)) {
        return false;
    }
    SpreadsheetReader reader(content);
    if (!reader.read(out, error)) {
        out = Workbook();
        return false;
    }
    return true;
}

bool read_odt_lines(const ZipArchive& archive, std::string& text, std::string& error) {
    text.clear();
    std::string content;
    if (!read_content(archive, "documento", content, error)) {
        return false;
    }
    DocumentReader reader(content, text);
    if (!reader.read(error)) {
        text.clear();
        return false;
    }
    return true;
}

}  // namespace gironario
