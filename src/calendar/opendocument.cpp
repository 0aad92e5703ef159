#include "calendar/opendocument.hpp"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "calendar/odf_paragraphs.hpp"
#include "calendar/odf_rows.hpp"
#include "calendar/odf_values.hpp"
#include "calendar/sheet_values.hpp"
#include "io/text.hpp"
#include "io/xml_reader.hpp"

namespace gironario {
namespace {

using namespace odf;

// The largest sheet the spreadsheet programs make.
constexpr long long ROW_LIMIT = 1048576;
// Every cell kept costs a string, so the cells of the whole workbook are bounded well below what
// a full sheet could hold; a calendar needs a few thousand.
constexpr std::size_t CELL_LIMIT = 10'000'000;
// The text of all the cells or lines together: no more than content.xml itself may hold.
constexpr std::size_t TEXT_LIMIT = ZIP_MEMBER_LIMIT;

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
            from_value = number_text(std::string_view(value));
        } else if (type == "date") {
            from_value = date_value_text(value);
        } else if (type == "time") {
            from_value = time_value_text(value);
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
