#include "calendar/odf_paragraphs.hpp"

#include <algorithm>

#include "io/text.hpp"

namespace gironario::odf {

std::optional<std::size_t> read_count(std::string_view text) {
    text = trimmed(text, true);
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + static_cast<std::size_t>(c - '0'), REPEAT_CAP);
    }
    return value;
}

void ParagraphText::reset(std::size_t limit) {
    text_.clear();
    limit_ = limit;
    skipping_ = 0;
    open_ = 0;
    problem_ = TextProblem::none;
}

void ParagraphText::start(const XmlReader& xml) {
    const std::string_view name = xml.name();
    if (skipping_ > 0 || left_out(name)) {
        ++skipping_;
        return;
    }
    if (name == "text:p" || name == "text:h") {
        if (open_++ == 0) {
            separator_ = !text_.empty();
            space_ = false;
            written_ = false;
        }
    } else if (open_ == 0) {
        return;
    } else if (name == "text:s") {
        const std::string* count = xml.attribute("text:c");
        const auto spaces = count ? read_count(*count) : std::nullopt;
        const std::size_t n = spaces && *spaces > 0 ? *spaces : 1;
        if (n > SPACE_RUN_LIMIT) {
            problem_ = TextProblem::too_many_spaces;
            return;
        }
        append(std::string_view(), n, ' ');
    } else if (name == "text:tab") {
        append(std::string_view(), 1, '\t');
    } else if (name == "text:line-break") {
        append(std::string_view(), 1, ' ');
    }
}

bool ParagraphText::end(std::string_view name) {
    if (skipping_ > 0) {
        --skipping_;
        return false;
    }
    if (open_ > 0 && (name == "text:p" || name == "text:h")) {
        return --open_ == 0;
    }
    return false;
}

void ParagraphText::characters(std::string_view chars) {
    if (skipping_ > 0 || open_ == 0) {
        return;
    }
    std::size_t at = 0;
    while (at < chars.size()) {
        std::size_t word_end = at;
        while (word_end < chars.size() && !collapsed(chars[word_end])) {
            ++word_end;
        }
        if (word_end > at) {
            append(chars.substr(at, word_end - at), 0, ' ');
        }
        at = word_end;
        if (at < chars.size()) {
            // White space between words is one space, written only before what follows it,
            // so that none is kept at a paragraph's start or end.
            space_ = space_ || written_;
            while (at < chars.size() && collapsed(chars[at])) {
                ++at;
            }
        }
    }
}

bool ParagraphText::left_out(std::string_view name) {
    return name == "office:annotation" || name == "text:note-body" || name == "text:ruby-text" ||
           name == "text:tracked-changes" || name.starts_with("draw:") || name.starts_with("dr3d:");
}

// Appends `chars`, then `count` times `c`, after the separator or space still owed.
void ParagraphText::append(std::string_view chars, std::size_t count, char c) {
    if (problem_ != TextProblem::none) {
        return;
    }
    if (separator_) {
        space_ = true;
        separator_ = false;
    }
    const std::size_t owed = space_ ? 1 : 0;
    if (text_.size() + owed + chars.size() + count > limit_) {
        problem_ = TextProblem::too_long;
        return;
    }
    if (space_) {
        text_ += ' ';
        space_ = false;
    }
    text_ += chars;
    text_.append(count, c);
    written_ = true;
}

}  // namespace gironario::odf
