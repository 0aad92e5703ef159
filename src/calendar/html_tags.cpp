#include "calendar/html_tags.hpp"

#include "io/text.hpp"

namespace gironario::html {

namespace {

void keep_attribute(Tag& tag, std::string_view name, std::string_view value) {
    static constexpr std::array<std::string_view, 5> names = {"colspan", "rowspan", "charset",
                                                              "content", "http-equiv"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (same_ignoring_case(name, names[i]) && !tag.attributes[i]) {
            tag.attributes[i] = value;
        }
    }
}

}  // namespace

bool read_tag(std::string_view text, std::size_t& at, Tag& tag) {
    tag = Tag{};
    std::size_t i = at + 1;
    if (i < text.size() && text[i] == '/') {
        tag.end = true;
        ++i;
    }
    const auto ends_name = [&](char c) { return is_html_space(c) || c == '/' || c == '>'; };
    const std::size_t name_start = i;
    while (i < text.size() && !ends_name(text[i])) {
        ++i;
    }
    tag.name = text.substr(name_start, i - name_start);
    for (;;) {
        while (i < text.size() && (is_html_space(text[i]) || text[i] == '/')) {
            ++i;
        }
        if (i >= text.size()) {
            return false;
        }
        if (text[i] == '>') {
            at = i + 1;
            return true;
        }
        const std::size_t attribute_start = i;
        ++i;  // a name may start with '='
        while (i < text.size() && !ends_name(text[i]) && text[i] != '=') {
            ++i;
        }
        const std::string_view name = text.substr(attribute_start, i - attribute_start);
        std::size_t after = i;
        while (after < text.size() && is_html_space(text[after])) {
            ++after;
        }
        std::string_view value;
        if (after < text.size() && text[after] == '=') {
            i = after + 1;
            while (i < text.size() && is_html_space(text[i])) {
                ++i;
            }
            if (i >= text.size()) {
                return false;
            }
            if (text[i] == '"' || text[i] == '\'') {
                const std::size_t close = text.find(text[i], i + 1);
                if (close == std::string_view::npos) {
                    return false;
                }
                value = text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const std::size_t value_start = i;
                while (i < text.size() && !is_html_space(text[i]) && text[i] != '>') {
                    ++i;
                }
                value = text.substr(value_start, i - value_start);
            }
        }
        keep_attribute(tag, name, value);
    }
}

std::size_t comment_end(std::string_view text, std::size_t at) {
    // Each "--" is looked at once, so that a page of many comments is read in one pass.
    for (std::size_t dashes = text.find("--", at + 2); dashes != std::string_view::npos;
         dashes = text.find("--", dashes + 1)) {
        const std::string_view after = text.substr(dashes + 2);
        if (after.starts_with(">")) {
            return dashes + 3;
        }
        if (dashes >= at + 4 && after.starts_with("!>")) {
            return dashes + 4;
        }
    }
    return text.size();
}

std::size_t raw_text_end(std::string_view text, std::size_t from, std::string_view name) {
    for (std::size_t at = text.find("</", from); at != std::string_view::npos;
         at = text.find("</", at + 2)) {
        const std::size_t after = at + 2 + name.size();
        if (after <= text.size() && same_ignoring_case(text.substr(at + 2, name.size()), name) &&
            (after == text.size() || is_html_space(text[after]) || text[after] == '/' ||
             text[after] == '>')) {
            return at;
        }
    }
    return text.size();
}

}  // namespace gironario::html
