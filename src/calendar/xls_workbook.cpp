#include "calendar/xls_workbook.hpp"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "calendar/biff_records.hpp"
#include "calendar/sheet_values.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

using namespace biff;

constexpr std::uint32_t biff8 = 0x0600;
constexpr std::uint32_t worksheet_substream = 0x0010;
constexpr std::uint32_t column_count = 16384;
// What the cells may come to, in text bytes and in cells counting the empty ones before the last
// of each row, for each byte of the workbook stream: far more than a real sheet needs (a shared
// string is a few bytes per use), little enough that a damaged file cannot fill the memory.
constexpr std::size_t growth_per_byte = 64;
constexpr std::size_t growth_floor = 65536;

struct SheetPlace {
    std::string name;
    std::size_t offset = 0;
};

// A name for the messages, which are Latin-1 and on one line: characters beyond Latin-1 and
// control characters become '?'.
std::string latin1_name(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size() && out.size() < 40; ++i) {
        const std::uint32_t lead = u8_at(utf8, i);
        std::uint32_t c = lead;
        if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            c = (lead - 0xC0) * 64 + (u8_at(utf8, i + 1) - 0x80);
        } else if (lead >= 0xC0) {
            c = '?';
        } else if (lead >= 0x80) {
            continue;  // the rest of a character already told
        }
        out += c < 0x20 || (c >= 0x7F && c < 0xA0) ? '?' : static_cast<char>(c);
    }
    return out;
}

std::string error_text(std::uint32_t code) {
    switch (code) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2A:
            return "#N/A";
        case 0x2B:
            return "#GETTING_DATA";
        default:
            return "";
    }
}

struct Cell {
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    std::string text;
};

class WorkbookReader {
  public:
    WorkbookReader(std::string_view stream, std::string& error)
        : stream_(stream),
          error_(error),
          budget_(std::min(stream.size(), std::size_t{1} << 24) * growth_per_byte + growth_floor) {}

    bool read(Workbook& out) {
        std::vector<SheetPlace> places;
        if (!read_globals(places)) {
            return false;
        }
        if (places.empty()) {
            error_ = "la cartella di lavoro non ha fogli di lavoro, solo grafici o macro";
            return false;
        }
        for (const SheetPlace& place : places) {
            if (!read_sheet(place, out)) {
                return false;
            }
        }
        return true;
    }

  private:
    bool damaged(std::string_view detail) {
        error_ = "la cartella di lavoro \xE8 danneggiata: ";
        error_ += detail;
        return false;
    }

    bool damaged_sheet(std::string_view detail) {
        return damaged("il foglio \"" + latin1_name(sheet_name_) + "\" " + std::string(detail));
    }

    bool too_old() {
        error_ =
            "la cartella di lavoro \xE8 di Excel 95 o precedente, che non si legge: aprila in "
            "Excel e salvala di nuovo come .xlsx o .csv";
        return false;
    }

    bool read_globals(std::vector<SheetPlace>& places) {
        Records records(stream_, 0);
        Record record;
        if (!records.next(record)) {
            return damaged("non comincia con un record BOF");
        }
        if (record.type == bof_biff2 || record.type == bof_biff3 || record.type == bof_biff4) {
            return too_old();
        }
        if (record.type != bof || record.data.size() < 4) {
            return damaged("non comincia con un record BOF");
        }
        if (u16_at(record.data, 0) != biff8) {
            return u16_at(record.data, 0) < biff8 ? too_old()
                                                  : damaged("la sua versione \xE8 sconosciuta");
        }
        while (records.next(record) && record.type != eof && record.type != bof) {
            const std::string_view data = record.data;
            switch (record.type) {
                case file_pass:
                    error_ =
                        "la cartella di lavoro \xE8 protetta da una password: aprila in Excel e "
                        "salvala di nuovo senza password";
                    return false;
                case code_page:
                    if (data.size() >= 2) {
                        code_page_ = u16_at(data, 0);
                    }
                    break;
                case date_mode:
                    from_1904_ = data.size() >= 2 && u16_at(data, 0) == 1;
                    break;
                case format: {
                    std::string code;
                    if (data.size() >= 2 && read_string(data.substr(2), 2, code)) {
                        date_formats_[u16_at(data, 0)] =
                            shown_by_format_code(code) != Shown::number;
                    }
                    break;
                }
                case extended_format:
                    formats_.push_back(data.size() >= 4 ? u16_at(data, 2) : 0);
                    break;
                case bound_sheet: {
                    std::string name;
                    if (data.size() < 6 || !read_string(data.substr(6), 1, name)) {
                        return damaged("il nome di un foglio non si legge");
                    }
                    // Only worksheets: charts, macro sheets and modules hold no table.
                    if (u8_at(data, 5) == 0) {
                        places.push_back({name, u32_at(data, 0)});
                    }
                    starts_.push_back(u32_at(data, 0));
                    break;
                }
                case shared_strings:
                    if (!read_shared_strings(record, records)) {
                        return false;
                    }
                    break;
                default:
                    break;
            }
        }
        std::sort(starts_.begin(), starts_.end());
        if (std::adjacent_find(starts_.begin(), starts_.end()) != starts_.end()) {
            return damaged("due fogli cominciano nello stesso punto");
        }
        return !records.truncated() || damaged("un record va oltre la fine del flusso");
    }

    bool read_shared_strings(const Record& record, Records& records) {
        std::vector<std::string_view> pieces{record.data};
        records.take_continues(pieces);
        Pieces data(std::move(pieces));
        std::uint32_t total = 0;
        std::uint32_t unique = 0;
        if (!data.number(4, total) || !data.number(4, unique)) {
            return damaged("la tabella dei testi (SST) \xE8 incompleta");
        }
        std::string text;
        for (std::uint32_t i = 0; i < unique; ++i) {
            if (!read_string(data, 2, text)) {
                return damaged(
                    "la tabella dei testi (SST) dichiara pi\xF9 testi di quanti ne contiene");
            }
            strings_.push_back(text);
        }
        return true;
    }

    bool is_date(std::uint32_t xf) const {
        if (xf >= formats_.size()) {
            return false;
        }
        const std::uint32_t index = formats_[xf];
        const auto custom = date_formats_.find(index);
        return custom != date_formats_.end() ? custom->second
                                             : shown_by_builtin_format(index) != Shown::number;
    }

    // A .xls is read as xlrd, the reader its tables were checked against, reads it: a date or
    // time format of any kind shows the value's moment, the date and its time, and a fraction
    // goes in the shorter notation. A .xlsx is read as openpyxl reads it instead: a time format
    // shows the time only, a fraction is written out in full.
    std::string value_text(double value, std::uint32_t xf) const {
        if (is_date(xf)) {
            std::string text = xls_serial_text(value, from_1904_);
            if (!text.empty()) {
                return text;
            }
        }
        return number_text(value, Notation::shorter);
    }

    // An 8-bit string without an option byte, as writers of BIFF5 put it: in the code page.
    std::string code_page_text(std::string_view bytes) const {
        if (code_page_ == 1252) {
            return utf8_of_windows_1252(bytes);
        }
        std::string out;
        for (const char c : bytes) {
            append_code_point(out, static_cast<unsigned char>(c));
        }
        return out;
    }

    bool add(std::uint32_t row, std::uint32_t column, std::string_view text,
             std::vector<Cell>& cells) {
        if (column >= column_count) {
            return damaged_sheet("ha una cella oltre l'ultima colonna");
        }
        text = trimmed(text, true);
        if (text.empty()) {
            return true;
        }
        if (text.size() > budget_ - text_used_) {
            return too_many_cells();
        }
        text_used_ += text.size();
        cells.push_back({row, column, std::string(text)});
        return true;
    }

    bool too_many_cells() {
        error_ =
            "la cartella di lavoro ha molte pi\xF9 celle di quante il file ne possa contenere: "
            "\xE8 danneggiata";
        return false;
    }

    bool read_sheet(const SheetPlace& place, Workbook& out) {
        sheet_name_ = place.name;
        if (place.offset >= stream_.size()) {
            return damaged_sheet("comincia oltre la fine del flusso");
        }
        // A sheet ends at its EOF, or at the latest where the next one begins: so that no
        // record is read twice, however the sheets' places were damaged.
        const auto next = std::upper_bound(starts_.begin(), starts_.end(), place.offset);
        Records records(stream_.substr(0, next == starts_.end() ? stream_.size() : *next),
                        place.offset);
        Record record;
        if (!records.next(record) || record.type != bof || record.data.size() < 4) {
            return damaged_sheet("non comincia con un record BOF");
        }
        if (u16_at(record.data, 2) != worksheet_substream) {
            return true;
        }
        std::vector<Cell> cells;
        std::optional<Cell> pending;
        // Charts drawn on the sheet bring their own BOF to EOF inside it.
        std::size_t depth = 1;
        while (depth > 0 && records.next(record)) {
            if (record.type == bof || record.type == eof) {
                depth = record.type == bof ? depth + 1 : depth - 1;
            } else if (depth == 1 && record.type == formula_string) {
                std::vector<std::string_view> pieces{record.data};
                records.take_continues(pieces);
                Pieces data(std::move(pieces));
                if (pending && !read_string(data, 2, pending->text)) {
                    return damaged_sheet("ha un testo che non si legge");
                }
                if (pending && !add(pending->row, pending->column, pending->text, cells)) {
                    return false;
                }
                pending.reset();
            } else if (depth == 1 && !read_cell(record, cells, pending)) {
                return false;
            }
        }
        if (records.truncated()) {
            return damaged_sheet("ha un record che va oltre la fine del flusso");
        }
        return build_sheet(cells, out);
    }

    // A cell's record into `cells`; any other record is passed over. A formula whose result is
    // a string leaves `pending` the cell that the STRING record after it fills.
    bool read_cell(const Record& record, std::vector<Cell>& cells, std::optional<Cell>& pending) {
        const std::string_view data = record.data;
        const auto minimum = [&]() -> std::size_t {
            switch (record.type) {
                case label_sst:
                case rk_number:
                    return 10;
                case label:
                case rich_label:
                case bool_err:
                    return 8;
                case number:
                    return 14;
                case multiple_rk:
                    return 6;
                case formula:
                    return 20;
                default:
                    return 0;
            }
        }();
        if (minimum == 0) {
            return true;
        }
        pending.reset();
        if (data.size() < minimum) {
            return damaged_sheet("ha una cella che non si legge");
        }
        const std::uint32_t row = u16_at(data, 0);
        const std::uint32_t column = u16_at(data, 2);
        const std::uint32_t xf = u16_at(data, 4);
        std::string text;
        switch (record.type) {
            case label_sst:
                if (u32_at(data, 6) >= strings_.size()) {
                    return damaged_sheet("ha una cella che rimanda a un testo che non c'\xE8");
                }
                return add(row, column, strings_[u32_at(data, 6)], cells);
            case label:
            case rich_label:
                if (data.size() == 8 + u16_at(data, 6)) {
                    text = code_page_text(data.substr(8));
                } else if (!read_string(data.substr(6), 2, text)) {
                    return damaged_sheet("ha un testo che non si legge");
                }
                break;
            case number:
                text = value_text(double_at(data, 6), xf);
                break;
            case rk_number:
                text = value_text(rk_value(u32_at(data, 6)), xf);
                break;
            case multiple_rk:
                // Each cell of the run is a format and an RK value; the last column ends it.
                for (std::size_t at = 4; at + 6 <= data.size(); at += 6) {
                    const auto at_column = column + static_cast<std::uint32_t>((at - 4) / 6);
                    const std::string value =
                        value_text(rk_value(u32_at(data, at + 2)), u16_at(data, at));
                    if (!add(row, at_column, value, cells)) {
                        return false;
                    }
                }
                return true;
            case bool_err:
                text = u8_at(data, 7) != 0   ? error_text(u8_at(data, 6))
                       : u8_at(data, 6) != 0 ? "VERO"
                                             : "FALSO";
                break;
            case formula:
                // The result kept with the formula: a number, or a marker in its last two bytes
                // with the kind of result in the first: a string (in the STRING record that
                // follows), a boolean, an error or nothing.
                if (u16_at(data, 12) != 0xFFFF) {
                    text = value_text(double_at(data, 6), xf);
                } else if (u8_at(data, 6) == 0) {
                    pending = Cell{row, column, ""};
                } else if (u8_at(data, 6) == 1) {
                    text = u8_at(data, 8) != 0 ? "VERO" : "FALSO";
                } else if (u8_at(data, 6) == 2) {
                    text = error_text(u8_at(data, 8));
                }
                break;
            default:
                break;
        }
        return add(row, column, text, cells);
    }

    // The cells in rows, by row and column; where a cell comes twice, the later one.
    bool build_sheet(std::vector<Cell>& cells, Workbook& out) {
        std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        });
        Sheet sheet;
        sheet.name = sheet_name_;
        for (std::size_t first = 0; first < cells.size();) {
            std::size_t end = first;
            while (end < cells.size() && cells[end].row == cells[first].row) {
                ++end;
            }
            const std::size_t width = cells[end - 1].column + std::size_t{1};
            if (width > budget_ - cells_used_) {
                return too_many_cells();
            }
            cells_used_ += width;
            SheetRow row;
            row.number = cells[first].row + 1LL;
            row.cells.resize(width);
            for (std::size_t i = first; i < end; ++i) {
                row.cells[cells[i].column] = std::move(cells[i].text);
            }
            sheet.rows.push_back(std::move(row));
            first = end;
        }
        out.sheets.push_back(std::move(sheet));
        return true;
    }

    std::string_view stream_;
    std::string& error_;
    const std::size_t budget_;
    std::size_t text_used_ = 0;
    std::size_t cells_used_ = 0;
    bool from_1904_ = false;
    std::uint32_t code_page_ = 1200;
    std::vector<std::uint32_t> formats_;          // each XF's number format
    std::map<std::uint32_t, bool> date_formats_;  // the workbook's own formats: a date?
    std::vector<std::string> strings_;            // the shared strings
    std::vector<std::size_t> starts_;             // where every sheet begins, in order
    std::string sheet_name_;
};

}  // namespace

std::string xls_serial_text(double serial, bool from_1904) {
    return serial_text(serial, Shown::date, from_1904);
}

bool read_xls(const CompoundFile& file, Workbook& out, std::string& error) {
    out.sheets.clear();
    if (!file.has_stream("Workbook")) {
        if (file.has_stream("Book")) {
            error =
                "la cartella di lavoro \xE8 di Excel 95 o precedente, che non si legge: aprila in "
                "Excel e salvala di nuovo come .xlsx o .csv";
        } else {
            error = "il file non \xE8 una cartella di lavoro di Excel: manca il flusso Workbook";
        }
        return false;
    }
    std::string stream;
    if (!file.read_stream("Workbook", stream, error)) {
        return false;
    }
    if (!WorkbookReader(stream, error).read(out)) {
        out.sheets.clear();
        return false;
    }
    return true;
}

}  // namespace gironario
