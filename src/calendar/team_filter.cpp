#include "calendar/team_filter.hpp"

#include "calendar/folded_text.hpp"
#include "io/text.hpp"

namespace gironario {

TeamFilter::TeamFilter(std::span<const std::string> wanted) {
    for (const std::string& text : wanted) {
        typed_.push_back(text);
        wanted_.push_back(folded(text, is_utf8(text)));
    }
}

bool TeamFilter::names(std::size_t i, std::string_view text, bool utf8) const {
    return folded(text, utf8).find(wanted_[i]) != std::string::npos;
}

bool TeamFilter::keeps(std::string_view text, bool utf8) const {
    if (wanted_.empty()) {
        return true;
    }
    const std::string haystack = folded(text, utf8);
    for (const std::string& needle : wanted_) {
        if (haystack.find(needle) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace gironario
