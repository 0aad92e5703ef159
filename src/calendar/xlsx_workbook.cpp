#include "calendar/xlsx_workbook.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/text.hpp"
#include "io/xml_reader.hpp"

namespace gironario {

namespace {

constexpr std::size_t ROW_LIMIT = 1048576;
constexpr std::size_t COLUMN_LIMIT = 16384;
// 31/12/9999, the last day Excel shows, in the 1900 system.
constexpr double LAST_SERIAL = 2958466.0;
// Days from 01/01/1970 to the day before each system's day 1, and to 1900's day 61.
constexpr long long DAY_ZERO_1900 = -25568;  // 31/12/1899
constexpr long long DAY_ZERO_AFTER_SLIP = -25569;
constexpr long long DAY_ZERO_1904 = -24107;  // 01/01/1904

constexpr std::string_view WORKBOOK_PART = "xl/workbook.xml";
constexpr std::string_view WORKBOOK_RELATIONSHIPS = "xl/_rels/workbook.xml.rels";

// What a number cell shows, by its format.
enum class Shown { number, date, time, date_time };

Shown shown_by_builtin(unsigned long long id) {
    if (id >= 14 && id <= 17) {
        return Shown::date;
    }
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) {
        return Shown::time;
    }
    return id == 22 ? Shown::date_time : Shown::number;
}

// A custom format code read for the letters that show a date or a time. Quoted text, escaped
// characters, fill and padding characters and colours or locales in brackets show nothing of
// the value; elapsed time ([h], [mm], [ss]) does.
Shown shown_by_code(std::string_view code) {
    bool date = false;
    bool hours = false;
    bool minutes_or_months = false;
    bool seconds = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = ascii_lower(code[i]);
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            const std::string_view inside =
                code.substr(i + 1, close == std::string_view::npos ? close : close - i - 1);
            const char first = inside.empty() ? '\0' : ascii_lower(inside[0]);
            if ((first == 'h' || first == 'm' || first == 's') &&
                std::all_of(inside.begin(), inside.end(),
                            [&](char k) { return ascii_lower(k) == first; })) {
                hours = hours || first == 'h';
                minutes_or_months = minutes_or_months || first == 'm';
                seconds = seconds || first == 's';
            }
            i = close == std::string_view::npos ? code.size() : close;
        } else if (same_ignoring_case(code.substr(i, 5), "am/pm")) {
            i += 4;
        } else if (same_ignoring_case(code.substr(i, 3), "a/p")) {
            i += 2;
        } else if (c == 'd' || c == 'y') {
            date = true;
        } else if (c == 'h') {
            hours = true;
        } else if (c == 'm') {
            minutes_or_months = true;
        } else if (c == 's') {
            seconds = true;
        }
    }
    // An m beside hours or seconds is minutes; alone, or beside a day or a year, months.
    const bool shows_date = date || (minutes_or_months && !hours && !seconds);
    const bool shows_time = hours || (minutes_or_months && seconds);
    if (shows_date && shows_time) {
        return Shown::date_time;
    }
    return shows_date ? Shown::date : shows_time ? Shown::time : Shown::number;
}

bool read_unsigned(std::string_view text, unsigned long long& value) {
    text = trimmed(text, true);
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    return status == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string two_digits(long long value) {
    return std::string{static_cast<char>('0' + value / 10 % 10),
                       static_cast<char>('0' + value % 10)};
}

std::string clock_text(long long minutes) {
    return two_digits(minutes / 60) + ":" + two_digits(minutes % 60);
}

std::string date_text(long long year, long long month, long long day) {
    return two_digits(day) + "/" + two_digits(month) + "/" + two_digits(year / 100) +
           two_digits(year);
}

// The day `days` after 01/01/1970 (before it when negative), by the proleptic Gregorian
// calendar.
std::string date_of_days(long long days) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long of_era = days - era * 146097;
    const long long year_of_era = (of_era - of_era / 1460 + of_era / 36524 - of_era / 146096) / 365;
    const long long of_year = of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const long long shifted_month = (5 * of_year + 2) / 153;
    const long long day = of_year - (153 * shifted_month + 2) / 5 + 1;
    const long long month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
    return date_text(year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day);
}

// A serial day of the workbook's date system. Excel counts 1900 as a leap year, as Lotus 1-2-3
// did, so its day 60 is 29/02/1900 and the days after it are one ahead of the calendar.
std::string date_of_serial_day(long long day, bool date1904) {
    if (date1904) {
        return date_of_days(DAY_ZERO_1904 + day);
    }
    if (day == 60) {
        return "29/02/1900";
    }
    return date_of_days((day < 60 ? DAY_ZERO_1900 : DAY_ZERO_AFTER_SLIP) + day);
}

// A date or time serial as the cell shows it; empty when it lies outside the days Excel shows.
std::string serial_text(double serial, Shown shown, bool date1904) {
    if (!(serial >= 0.0) || serial >= LAST_SERIAL) {
        return {};
    }
    const long long minutes = std::llround(serial * 1440.0);
    if (serial < 1.0 || shown == Shown::time) {
        return clock_text(minutes % 1440);
    }
    const std::string date = date_of_serial_day(minutes / 1440, date1904);
    if (shown == Shown::date && minutes % 1440 == 0) {
        return date;
    }
    return date + " " + clock_text(minutes % 1440);
}

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An ISO 8601 date, time or both (a t="d" cell), seconds dropped; empty when it is none.
std::string iso_text(std::string_view iso) {
    const auto number = [&](std::size_t at) { return (iso[at] - '0') * 10 + iso[at + 1] - '0'; };
    const auto time_at = [&](std::size_t at) -> std::string {
        if (iso.size() < at + 5 || iso[at + 2] != ':' || !all_digits(iso.substr(at, 2)) ||
            !all_digits(iso.substr(at + 3, 2)) || number(at) > 23 || number(at + 3) > 59) {
            return {};
        }
        return std::string(iso.substr(at, 5));
    };
    if (iso.size() >= 10 && iso[4] == '-' && iso[7] == '-' && all_digits(iso.substr(0, 4)) &&
        all_digits(iso.substr(5, 2)) && all_digits(iso.substr(8, 2))) {
        const std::string date = std::string(iso.substr(8, 2)) + "/" +
                                 std::string(iso.substr(5, 2)) + "/" +
                                 std::string(iso.substr(0, 4));
        if (iso.size() == 10) {
            return date;
        }
        const std::string time = (iso[10] == 'T' || iso[10] == ' ') ? time_at(11) : "";
        if (time.empty()) {
            return {};
        }
        return time == "00:00" && iso.substr(16).find_first_not_of(":0.Z") == std::string_view::npos
                   ? date
                   : date + " " + time;
    }
    return time_at(0);
}

// A number as the shortest decimal that reads back the same; an integer as its digits, however
// long.
std::string number_text(std::string_view raw) {
    raw = trimmed(raw, true);
    std::string_view digits = raw;
    const bool negative = digits.starts_with('-');
    if (negative || digits.starts_with('+')) {
        digits.remove_prefix(1);
    }
    if (all_digits(digits)) {
        digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
        return (negative && digits != "0" ? "-" : "") + std::string(digits);
    }
    double value = 0;
    const std::string_view unsigned_raw = raw.starts_with('+') ? raw.substr(1) : raw;
    const auto [end, status] =
        std::from_chars(unsigned_raw.data(), unsigned_raw.data() + unsigned_raw.size(), value);
    if (status != std::errc() || end != unsigned_raw.data() + unsigned_raw.size() ||
        !std::isfinite(value)) {
        return std::string(raw);
    }
    if (value == 0) {
        return "0";
    }
    // The longest fixed form of a double: 309 digits before the point, or 324 after it.
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, written.ptr);
}

// Excel's escapes of characters that XML cannot hold, "_x000D_", and of an underscore that
// looks like one, "_x005F_"; only those of ASCII characters are undone.
std::string unescaped(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = 0;
        if (text[i] == '_' && text.substr(i + 1, 1) == "x" && text.substr(i + 6, 1) == "_") {
            const std::string_view hex = text.substr(i + 2, 4);
            const auto [end, status] = std::from_chars(hex.data(), hex.data() + 4, value, 16);
            if (status == std::errc() && end == hex.data() + 4 && value < 0x80) {
                result += static_cast<char>(value);
                i += 6;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

// The column of a cell reference ("C7": 2), from 0; false when it names none.
bool column_of(std::string_view reference, std::size_t& column) {
    std::size_t letters = 0;
    column = 0;
    while (letters < reference.size() && letters < 4) {
        const char c = static_cast<char>(ascii_lower(reference[letters]));
        if (c < 'a' || c > 'z') {
            break;
        }
        column = column * 26 + static_cast<std::size_t>(c - 'a' + 1);
        ++letters;
    }
    if (letters == 0 || (letters < reference.size() && !all_digits(reference.substr(letters)))) {
        return false;
    }
    --column;
    return true;
}

// A relationship's target as a member name: relative to `folder` ("xl/") unless it starts at
// the root; empty when it climbs out of the archive.
std::string resolve_target(std::string_view folder, std::string_view target) {
    std::string joined = target.starts_with('/') ? std::string(target.substr(1))
                                                 : std::string(folder) + std::string(target);
    std::vector<std::string_view> parts;
    std::string_view rest = joined;
    while (!rest.empty()) {
        const std::size_t slash = std::min(rest.find('/'), rest.size());
        const std::string_view part = rest.substr(0, slash);
        rest.remove_prefix(std::min(slash + 1, rest.size()));
        if (part == "..") {
            if (parts.empty()) {
                return {};
            }
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string path;
    for (const std::string_view part : parts) {
        path += (path.empty() ? "" : "/") + std::string(part);
    }
    return path;
}

// The member named `name`, or else one named so but for ASCII case, as part names are
// compared in office files; empty when there is none.
std::string member_name(const ZipArchive& archive, std::string_view name) {
    if (archive.has(name)) {
        return std::string(name);
    }
    for (const std::string& candidate : archive.names()) {
        if (same_ignoring_case(candidate, name)) {
            return candidate;
        }
    }
    return {};
}

struct Relationship {
    std::string id;
    std::string type;
    std::string target;  // a member name
};

class WorkbookReader {
  public:
    WorkbookReader(const ZipArchive& archive, std::string& error)
        : archive_(archive), error_(error) {}

    bool read(Workbook& out);

  private:
    struct SheetEntry {
        std::string name;
        std::string relationship;
    };

    bool read_xml(std::string_view part, std::string& xml);
    bool damaged(std::string_view part, const XmlReader& reader);
    bool read_workbook(std::vector<SheetEntry>& entries);
    bool read_relationships(std::vector<Relationship>& relationships);
    bool read_shared_strings(std::string_view part);
    bool read_styles(std::string_view part);
    bool read_sheet(std::string_view part, Sheet& sheet);
    bool place(Sheet& sheet, SheetRow& row, std::size_t column, std::string text);
    std::string cell_text(std::string_view type, unsigned long long style, std::string_view value,
                          std::string_view inline_text, bool& ok);

    const ZipArchive& archive_;
    std::string& error_;
    bool date1904_ = false;
    std::vector<std::string> shared_;
    std::vector<Shown> styles_;
    std::size_t cells_ = 0;
    std::size_t text_ = 0;
};

bool WorkbookReader::read_xml(std::string_view part, std::string& xml) {
    return archive_.read(part, xml, error_);
}

bool WorkbookReader::damaged(std::string_view part, const XmlReader& reader) {
    error_ = "la cartella di lavoro \xE8 danneggiata (" + latin1_of(part) + "): " + reader.error();
    return false;
}

bool WorkbookReader::read_workbook(std::vector<SheetEntry>& entries) {
    std::string xml;
    if (!read_xml(WORKBOOK_PART, xml)) {
        return false;
    }
    XmlReader reader(xml);
    for (XmlReader::Token token = reader.next(); token != XmlReader::Token::done;
         token = reader.next()) {
        if (token == XmlReader::Token::error) {
            return damaged(WORKBOOK_PART, reader);
        }
        if (token != XmlReader::Token::start) {
            continue;
        }
        const std::string_view element = local_name(reader.name());
        if (element == "workbookPr") {
            const std::string* system = reader.attribute("date1904");
            date1904_ = system != nullptr && (*system == "1" || *system == "true");
        } else if (element == "sheet") {
            SheetEntry entry;
            if (const std::string* name = reader.attribute("name")) {
                entry.name = *name;
            }
            // The id's prefix is whatever the file bound the relationships' namespace to.
            for (const auto& [attribute, value] : reader.attributes()) {
                if (attribute.find(':') != std::string_view::npos &&
                    local_name(attribute) == "id") {
                    entry.relationship = value;
                }
            }
            entries.push_back(std::move(entry));
        }
    }
    return true;
}

bool WorkbookReader::read_relationships(std::vector<Relationship>& relationships) {
    std::string xml;
    if (!read_xml(WORKBOOK_RELATIONSHIPS, xml)) {
        return false;
    }
    XmlReader reader(xml);
    for (XmlReader::Token token = reader.next(); token != XmlReader::Token::done;
         token = reader.next()) {
        if (token == XmlReader::Token::error) {
            return damaged(WORKBOOK_RELATIONSHIPS, reader);
        }
        if (token != XmlReader::Token::start || local_name(reader.name()) != "Relationship") {
            continue;
        }
        const std::string* id = reader.attribute("Id");
        const std::string* type = reader.attribute("Type");
        const std::string* target = reader.attribute("Target");
        const std::string* mode = reader.attribute("TargetMode");
        if (id != nullptr && type != nullptr && target != nullptr &&
            (mode == nullptr || *mode != "External")) {
            relationships.push_back({*id, *type, resolve_target("xl/", *target)});
        }
    }
    return true;
}

bool WorkbookReader::read_shared_strings(std::string_view part) {
    std::string xml;
    if (!read_xml(part, xml)) {
        return false;
    }
    XmlReader reader(xml);
    bool in_item = false;
    bool in_text = false;
    int phonetic = 0;
    std::string item;
    for (XmlReader::Token token = reader.next(); token != XmlReader::Token::done;
         token = reader.next()) {
        const std::string_view element = local_name(reader.name());
        switch (token) {
            case XmlReader::Token::error:
                return damaged(part, reader);
            case XmlReader::Token::start:
                if (element == "si") {
                    in_item = true;
                    item.clear();
                } else if (element == "rPh") {
                    ++phonetic;
                } else if (element == "t") {
                    in_text = in_item && phonetic == 0;
                }
                break;
            case XmlReader::Token::end:
                if (element == "si" && in_item) {
                    if (shared_.size() == XLSX_CELL_LIMIT) {
                        error_ = "la cartella di lavoro ha pi\xF9 di " +
                                 std::to_string(XLSX_CELL_LIMIT) + " testi, che non si leggono";
                        return false;
                    }
                    shared_.push_back(unescaped(item));
                    in_item = false;
                } else if (element == "rPh" && phonetic > 0) {
                    --phonetic;
                } else if (element == "t") {
                    in_text = false;
                }
                break;
            case XmlReader::Token::text:
                if (in_text) {
                    item += reader.text();
                }
                break;
            case XmlReader::Token::done:
                break;
        }
    }
    return true;
}

bool WorkbookReader::read_styles(std::string_view part) {
    std::string xml;
    if (!read_xml(part, xml)) {
        return false;
    }
    XmlReader reader(xml);
    std::map<unsigned long long, Shown> custom;
    std::vector<unsigned long long> format_ids;
    std::size_t cell_formats_depth = 0;  // of <cellXfs>, while it is open
    for (XmlReader::Token token = reader.next(); token != XmlReader::Token::done;
         token = reader.next()) {
        if (token == XmlReader::Token::error) {
            return damaged(part, reader);
        }
        const std::string_view element = local_name(reader.name());
        if (token == XmlReader::Token::end && element == "cellXfs") {
            cell_formats_depth = 0;
        }
        if (token != XmlReader::Token::start) {
            continue;
        }
        unsigned long long id = 0;
        const std::string* id_text = reader.attribute("numFmtId");
        const bool has_id = id_text != nullptr && read_unsigned(*id_text, id);
        if (element == "numFmt" && has_id) {
            const std::string* code = reader.attribute("formatCode");
            custom[id] = code == nullptr ? Shown::number : shown_by_code(*code);
        } else if (element == "cellXfs") {
            cell_formats_depth = reader.depth();
        } else if (element == "xf" && cell_formats_depth != 0 &&
                   reader.depth() == cell_formats_depth + 1) {
            format_ids.push_back(has_id ? id : 0);
        }
    }
    // The formats may come after the cell formats that name them.
    styles_.reserve(format_ids.size());
    for (const unsigned long long id : format_ids) {
        const auto found = custom.find(id);
        styles_.push_back(found != custom.end() ? found->second : shown_by_builtin(id));
    }
    return true;
}

std::string WorkbookReader::cell_text(std::string_view type, unsigned long long style,
                                      std::string_view value, std::string_view inline_text,
                                      bool& ok) {
    ok = true;
    if (type == "s") {
        unsigned long long index = 0;
        if (!read_unsigned(value, index) || index >= shared_.size()) {
            ok = false;
            return {};
        }
        return std::string(trimmed(shared_[index], true));
    }
    if (type == "inlineStr") {
        return std::string(trimmed(unescaped(inline_text), true));
    }
    if (type == "b") {
        const std::string_view flag = trimmed(value, true);
        return flag == "1" || flag == "true"    ? "VERO"
               : flag == "0" || flag == "false" ? "FALSO"
                                                : std::string(flag);
    }
    if (type == "d") {
        const std::string text = iso_text(trimmed(value, true));
        return text.empty() ? std::string(trimmed(value, true)) : text;
    }
    if (type == "str" || type == "e") {
        return std::string(trimmed(value, true));
    }
    const Shown shown = style < styles_.size() ? styles_[style] : Shown::number;
    if (shown != Shown::number) {
        double serial = 0;
        const std::string_view raw = trimmed(value, true);
        const auto [end, status] = std::from_chars(raw.data(), raw.data() + raw.size(), serial);
        if (status == std::errc() && end == raw.data() + raw.size()) {
            std::string text = serial_text(serial, shown, date1904_);
            if (!text.empty()) {
                return text;
            }
        }
    }
    return number_text(value);
}

bool WorkbookReader::place(Sheet& sheet, SheetRow& row, std::size_t column, std::string text) {
    if (text.empty()) {
        return true;
    }
    const std::size_t added = column >= row.cells.size() ? column + 1 - row.cells.size() : 0;
    if (added > XLSX_CELL_LIMIT - cells_ || text.size() > XLSX_TEXT_LIMIT - text_) {
        error_ = "il foglio " + latin1_of(sheet.name) +
                 " ha pi\xF9 celle o pi\xF9 testo di quanti se ne leggono (" +
                 std::to_string(XLSX_CELL_LIMIT) + " celle, " +
                 std::to_string(XLSX_TEXT_LIMIT >> 20) + " MiB in tutto)";
        return false;
    }
    cells_ += added;
    text_ += text.size();
    if (added > 0) {
        row.cells.resize(column + 1);
    }
    row.cells[column] = std::move(text);
    return true;
}

bool WorkbookReader::read_sheet(std::string_view part, Sheet& sheet) {
    std::string xml;
    if (!read_xml(part, xml)) {
        return false;
    }
    const std::string sheet_damaged = "il foglio " + latin1_of(sheet.name) + " \xE8 danneggiato: ";
    XmlReader reader(xml);
    bool in_data = false;
    bool in_row = false;
    bool in_cell = false;
    bool in_value = false;
    bool in_inline = false;
    bool in_text = false;
    int phonetic = 0;
    long long row_number = 0;
    std::size_t column = 0;
    bool first_cell = true;
    SheetRow row;
    std::string type;
    unsigned long long style = 0;
    std::string value;
    std::string inline_text;
    for (XmlReader::Token token = reader.next(); token != XmlReader::Token::done;
         token = reader.next()) {
        if (token == XmlReader::Token::error) {
            error_ = sheet_damaged + reader.error();
            return false;
        }
        const std::string_view element = local_name(reader.name());
        if (token == XmlReader::Token::text) {
            if (in_value) {
                value += reader.text();
            } else if (in_text) {
                inline_text += reader.text();
            }
        } else if (token == XmlReader::Token::start) {
            if (element == "sheetData") {
                in_data = true;
            } else if (element == "row" && in_data) {
                unsigned long long number = 0;
                const std::string* r = reader.attribute("r");
                if (r == nullptr) {
                    number = static_cast<unsigned long long>(row_number) + 1;
                } else if (!read_unsigned(*r, number) || number == 0) {
                    error_ = sheet_damaged + "una riga ha un numero errato";
                    return false;
                }
                if (number > ROW_LIMIT) {
                    error_ = "il foglio " + latin1_of(sheet.name) + " ha pi\xF9 di " +
                             std::to_string(ROW_LIMIT) + " righe";
                    return false;
                }
                row_number = static_cast<long long>(number);
                row = SheetRow{row_number, {}};
                in_row = true;
                first_cell = true;
            } else if (element == "c" && in_row) {
                const std::string* r = reader.attribute("r");
                if (r != nullptr) {
                    if (!column_of(*r, column)) {
                        error_ = sheet_damaged + "una cella ha un riferimento errato";
                        return false;
                    }
                } else if (!first_cell) {
                    ++column;
                } else {
                    column = 0;
                }
                first_cell = false;
                if (column >= COLUMN_LIMIT) {
                    error_ = "il foglio " + latin1_of(sheet.name) + " ha pi\xF9 di " +
                             std::to_string(COLUMN_LIMIT) + " colonne";
                    return false;
                }
                const std::string* t = reader.attribute("t");
                type = t == nullptr ? "" : *t;
                const std::string* s = reader.attribute("s");
                if (s == nullptr || !read_unsigned(*s, style)) {
                    style = 0;
                }
                value.clear();
                inline_text.clear();
                in_cell = true;
            } else if (element == "v" && in_cell) {
                in_value = true;
            } else if (element == "is" && in_cell) {
                in_inline = true;
            } else if (element == "rPh" && in_inline) {
                ++phonetic;
            } else if (element == "t" && in_inline) {
                in_text = phonetic == 0;
            }
        } else if (token == XmlReader::Token::end) {
            if (element == "v") {
                in_value = false;
            } else if (element == "t") {
                in_text = false;
            } else if (element == "rPh" && phonetic > 0) {
                --phonetic;
            } else if (element == "is") {
                in_inline = false;
            } else if (element == "c" && in_cell) {
                in_cell = false;
                bool ok = true;
                std::string text = cell_text(type, style, value, inline_text, ok);
                if (!ok) {
                    error_ = sheet_damaged + "una cella rimanda a un testo che non c'\xE8";
                    return false;
                }
                if (!place(sheet, row, column, std::move(text))) {
                    return false;
                }
            } else if (element == "row" && in_row) {
                in_row = false;
                if (!row.cells.empty()) {
                    if (sheet.rows.size() == ROW_LIMIT) {
                        error_ = "il foglio " + latin1_of(sheet.name) + " ha pi\xF9 di " +
                                 std::to_string(ROW_LIMIT) + " righe";
                        return false;
                    }
                    sheet.rows.push_back(std::move(row));
                }
            } else if (element == "sheetData") {
                in_data = false;
            }
        }
    }
    return true;
}

bool WorkbookReader::read(Workbook& out) {
    std::vector<SheetEntry> entries;
    std::vector<Relationship> relationships;
    if (!read_workbook(entries) || !read_relationships(relationships)) {
        return false;
    }
    // The shared strings and the styles are found through the relationships too, by type;
    // where a writer left them out there, by their usual names.
    std::string shared_part = "xl/sharedStrings.xml";
    std::string styles_part = "xl/styles.xml";
    for (const Relationship& relationship : relationships) {
        if (relationship.type.ends_with("/sharedStrings")) {
            shared_part = relationship.target;
        } else if (relationship.type.ends_with("/styles")) {
            styles_part = relationship.target;
        }
    }
    shared_part = member_name(archive_, shared_part);
    styles_part = member_name(archive_, styles_part);
    if ((!shared_part.empty() && !read_shared_strings(shared_part)) ||
        (!styles_part.empty() && !read_styles(styles_part))) {
        return false;
    }
    // A part read twice could make a small archive cost its size over and over.
    std::set<std::string> parts_read;
    out.sheets.clear();
    for (const SheetEntry& entry : entries) {
        const Relationship* found = nullptr;
        for (const Relationship& relationship : relationships) {
            if (relationship.id == entry.relationship) {
                found = &relationship;
                break;
            }
        }
        if (found != nullptr && !found->type.ends_with("/worksheet")) {
            continue;  // a chart sheet or a dialog sheet: no cells
        }
        const std::string part = found == nullptr ? "" : member_name(archive_, found->target);
        if (part.empty() || !parts_read.insert(part).second) {
            error_ = "la cartella di lavoro \xE8 danneggiata: il foglio " + latin1_of(entry.name) +
                     " non ha un suo file nell'archivio";
            return false;
        }
        Sheet sheet;
        sheet.name = entry.name;
        if (!read_sheet(part, sheet)) {
            return false;
        }
        out.sheets.push_back(std::move(sheet));
    }
    if (out.sheets.empty()) {
        error_ = "la cartella di lavoro non ha fogli di lavoro";
        return false;
    }
    return true;
}

}  // namespace

bool is_xlsx(const ZipArchive& archive) {
    return archive.has(WORKBOOK_PART);
}

bool read_xlsx(const ZipArchive& archive, Workbook& out, std::string& error) {
    out.sheets.clear();
    WorkbookReader reader(archive, error);
    if (!reader.read(out)) {
        out.sheets.clear();
        return false;
    }
    return true;
}

}  // namespace gironario
