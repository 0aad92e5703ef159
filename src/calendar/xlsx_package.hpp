#pragma once

// The parts of an Excel workbook's zip package, found by the names its relationships give.

#include <string>
#include <string_view>

#include "io/zip_archive.hpp"

namespace gironario::xlsx {

// A relationship's target as a member name: relative to `folder` ("xl/") unless it starts at
// the root; empty when it climbs out of the archive.
std::string resolve_target(std::string_view folder, std::string_view target);

// The member named `name`, or else one named so but for ASCII case, as part names are
// compared in office files; empty when there is none.
std::string member_name(const ZipArchive& archive, std::string_view name);

}  // namespace gironario::xlsx
