#include "calendar/ics_content.hpp"

#include <algorithm>

#include "io/text.hpp"

namespace gironario {

std::string ics_name_of(std::string_view text) {
    std::string name(trimmed(text));
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return name;
}

std::optional<IcsContentLine> split_ics_content_line(std::string_view line) {
    const std::size_t name_end = std::min(line.find_first_of(";:"), line.size());
    std::size_t colon = name_end;
    bool quoted_text = false;
    while (colon < line.size() && (line[colon] != ':' || quoted_text)) {
        quoted_text ^= line[colon] == '"';
        ++colon;
    }
    if (colon >= line.size()) {
        return std::nullopt;
    }
    const std::string_view written_name = line.substr(0, name_end);
    return IcsContentLine{ics_name_of(written_name), line.substr(name_end, colon - name_end),
                          line.substr(colon + 1), written_name};
}

std::optional<std::string_view> ics_parameter(std::string_view parameters, std::string_view name) {
    while (!parameters.empty()) {
        parameters.remove_prefix(1);  // the ';'
        std::size_t end = 0;
        bool quoted_text = false;
        while (end < parameters.size() && (parameters[end] != ';' || quoted_text)) {
            quoted_text ^= parameters[end] == '"';
            ++end;
        }
        const std::string_view part = parameters.substr(0, end);
        parameters.remove_prefix(end);
        const std::size_t equals = part.find('=');
        if (equals != part.npos && same_ignoring_case(trimmed(part.substr(0, equals)), name)) {
            std::string_view value = trimmed(part.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return std::nullopt;
}

std::string unescaped_ics_text(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 'N') {
                c = '\n';
                ++i;
            } else if (next == '\\' || next == ',' || next == ';') {
                c = next;
                ++i;
            }
        }
        text += c;
    }
    return text;
}

void IcsUnfolder::take(std::string_view physical) {
    ++physical_lines_;
    if (physical.ends_with('\r')) {
        physical.remove_suffix(1);
    }
    if (continues(physical)) {
        piece_ = physical.substr(1);
        if (!open_) {
            return;
        }
    } else {
        piece_ = physical;
        line_.clear();
        first_line_ = physical_lines_;
        open_ = true;
    }
    line_.append(piece_.substr(0, kept_ - std::min(kept_, line_.size())));
}

void for_each_ics_content_line(std::string_view bytes,
                               const std::function<void(std::string_view, long long)>& take) {
    IcsUnfolder unfolder;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        const std::string_view physical = bytes.substr(at, end - at);
        at = std::min(end + 1, bytes.size());
        if (unfolder.ends_line(physical)) {
            take(unfolder.line(), unfolder.line_number());
        }
        unfolder.take(physical);
    }
    if (unfolder.open()) {
        take(unfolder.line(), unfolder.line_number());
    }
}

}  // namespace gironario
