#pragma once

// What the readers' tests share: a workbook written as text, and the bytes of the fixtures
// committed under tests/fixtures.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "calendar/sheet.hpp"

namespace gironario::testing {

// How a workbook is written: each sheet's name between `open` and `close`, then for each row its
// number, `mark`, and its cells, the first after `first` and the others after `separator`, each
// passed through `escape` where there is one.
struct SheetStyle {
    std::string_view open = "[", close = "]", mark = ":", first = " ", separator = "|";
    std::string (*escape)(std::string_view) = nullptr;
};

// By default as the readers' tests write it: "[sheet]", then "ROW: cell|cell|..." for each row.
inline std::string sheet_text(const Workbook& book, const SheetStyle& style = {}) {
    const auto escaped = [&](const std::string& text) {
        return style.escape != nullptr ? style.escape(text) : text;
    };
    std::string text;
    for (const Sheet& sheet : book.sheets) {
        text.append(style.open).append(escaped(sheet.name)).append(style.close) += "\n";
        for (const SheetRow& row : sheet.rows) {
            text.append(std::to_string(row.number)).append(style.mark);
            for (std::size_t i = 0; i < row.cells.size(); ++i) {
                text.append(i == 0 ? style.first : style.separator).append(escaped(row.cells[i]));
            }
            text += "\n";
        }
    }
    return text;
}

// The bytes of a committed fixture, by its path under tests/fixtures.
inline std::string fixture_file(const std::filesystem::path& path) {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "fixtures" / path,
                       std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace gironario::testing
