#pragma once

// The names a table's header gives its columns, in the spellings sheets use: what each cell of a
// header row names.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gironario {

// `day` is a column that may hold the date or the weekday ("Giorno"): the date only where no
// other column names it.
enum class Column { date, time, home, away, title, place, address, town, number, day, league };
inline constexpr std::size_t COLUMNS = 11;

// The column a header cell names (`utf8`: its bytes' encoding), or nothing.
std::optional<Column> column_named(std::string_view cell, bool utf8);

// The names of the date column, as a message lists them: "Data, Date, Giorno, ...".
std::string date_names();

}  // namespace gironario
