#include "calendar/xlsx_package.hpp"

#include <algorithm>
#include <vector>

#include "io/text.hpp"

namespace gironario::xlsx {

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

}  // namespace gironario::xlsx
