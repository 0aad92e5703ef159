#include "calendar/xlsx_workbook.hpp"

#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

#include "calendar/sheet_values.hpp"
#include "calendar/xlsx_cells.hpp"
#include "calendar/xlsx_package.hpp"
#include "io/text.hpp"
#include "io/xml_reader.hpp"

namespace gironario {

namespace {

using namespace xlsx;

constexpr std::size_t ROW_LIMIT = 1048576;
constexpr std::size_t COLUMN_LIMIT = 16384;
constexpr std::string_view WORKBOOK_PART = "xl/workbook.xml";
constexpr std::string_view WORKBOOK_RELATIONSHIPS = "xl/_rels/workbook.xml.rels";

bool read_unsigned(std::string_view text, unsigned long long& value) {
    text = trimmed(text, true);
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    return status == std::errc() && end == text.data() + text.size() && !text.empty();
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
            custom[id] = code == nullptr ? Shown::number : shown_by_format_code(*code);
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
        styles_.push_back(found != custom.end() ? found->second : shown_by_builtin_format(id));
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
        if (const std::optional<double> serial = number_value(value)) {
            std::string text = serial_text(*serial, shown, date1904_);
            if (!text.empty()) {
                return text;
            }
        }
    }
    return number_text(value).value_or(std::string(trimmed(value, true)));
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
