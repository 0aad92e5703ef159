#pragma once

// The records of an Excel 97-2003 workbook stream (BIFF8): each a type, a length and its data,
// a long one carried on in the CONTINUE records after it, and the strings they hold.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gironario::biff {

// The types of the records the workbook's reader looks at.
enum RecordType : std::uint32_t {
    bof = 0x0809,
    eof = 0x000A,
    bof_biff2 = 0x0009,
    bof_biff3 = 0x0209,
    bof_biff4 = 0x0409,
    file_pass = 0x002F,
    code_page = 0x0042,
    date_mode = 0x0022,
    format = 0x041E,
    extended_format = 0x00E0,
    bound_sheet = 0x0085,
    shared_strings = 0x00FC,
    continued = 0x003C,
    label_sst = 0x00FD,
    label = 0x0204,
    rich_label = 0x00D6,
    number = 0x0203,
    rk_number = 0x027E,
    multiple_rk = 0x00BD,
    bool_err = 0x0205,
    formula = 0x0006,
    formula_string = 0x0207,
};

// The little-endian unsigned integer or double at `at`, which the caller has checked lies
// within `bytes`.
std::uint32_t u8_at(std::string_view bytes, std::size_t at);
std::uint32_t u16_at(std::string_view bytes, std::size_t at);
std::uint32_t u32_at(std::string_view bytes, std::size_t at);
double double_at(std::string_view bytes, std::size_t at);

// An RK value: a double cut to its high 30 bits or a 30-bit integer, either perhaps 100 times the
// number.
double rk_value(std::uint32_t rk);

// Appends the code point `c` to `out` in UTF-8.
void append_code_point(std::string& out, std::uint32_t c);

// The data of a record and of the CONTINUE records after it, read as one run of bytes, but for
// the characters of a string: where they cross into a new record, it starts with a fresh option
// byte that tells again whether they are 8 or 16 bits wide.
class Pieces {
  public:
    explicit Pieces(std::vector<std::string_view> pieces) : pieces_(std::move(pieces)) {}

    // The next `size` bytes as a little-endian number; false where the data ends first.
    bool number(std::size_t size, std::uint32_t& out);

    // Passes over `count` bytes; false where the data ends first.
    bool skip(std::uint64_t count);

    // `count` characters, 16 bits wide or 8, appended to `out` in UTF-8; false where the data
    // ends first.
    bool characters(std::size_t count, bool wide, std::string& out);

  private:
    bool at_data();

    std::vector<std::string_view> pieces_;
    std::size_t piece_ = 0;
    std::size_t at_ = 0;
};

// A BIFF8 string, its character count `count_size` bytes long, into `out` in UTF-8; false when
// the data ends inside it.
bool read_string(Pieces& pieces, std::size_t count_size, std::string& out);
bool read_string(std::string_view data, std::size_t count_size, std::string& out);

struct Record {
    std::uint32_t type = 0;
    std::string_view data;
};

// The records of the workbook stream from one place on.
class Records {
  public:
    Records(std::string_view stream, std::size_t at) : stream_(stream), at_(at) {}

    // The next record; false at the end of the stream or where a record runs past it.
    bool next(Record& record);

    // The data of the CONTINUE records that come next, taken.
    void take_continues(std::vector<std::string_view>& pieces);

    // Whether the stream ended inside a record.
    bool truncated() const { return truncated_; }

  private:
    std::string_view stream_;
    std::size_t at_;
    bool truncated_ = false;
};

}  // namespace gironario::biff
