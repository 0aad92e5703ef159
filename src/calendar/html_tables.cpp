#include "calendar/html_tables.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/text.hpp"

namespace gironario {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD

// Browsers clip spans here, so that a page means the same grid to them and to us.
constexpr std::size_t most_columns_spanned = 1000;
constexpr long long most_rows_spanned = 65534;

bool is_html_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool is_ascii_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_ascii_digit(char c) {
    return c >= '0' && c <= '9';
}

int hex_value(char c) {
    if (is_ascii_digit(c)) {
        return c - '0';
    }
    const char lower = ascii_lower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

void append_utf8(std::string& out, char32_t c) {
    const auto code = static_cast<std::uint32_t>(c);
    const auto byte = [](std::uint32_t bits) { return static_cast<char>(bits); };
    if (code < 0x80u) {
        out += byte(code);
    } else if (code < 0x800u) {
        out += byte(0xC0u | code >> 6);
        out += byte(0x80u | (code & 0x3Fu));
    } else if (code < 0x10000u) {
        out += byte(0xE0u | code >> 12);
        out += byte(0x80u | (code >> 6 & 0x3Fu));
        out += byte(0x80u | (code & 0x3Fu));
    } else {
        out += byte(0xF0u | code >> 18);
        out += byte(0x80u | (code >> 12 & 0x3Fu));
        out += byte(0x80u | (code >> 6 & 0x3Fu));
        out += byte(0x80u | (code & 0x3Fu));
    }
}

std::size_t find_ignoring_case(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t at = from; at < text.size() && text.size() - at >= word.size(); ++at) {
        if (same_ignoring_case(text.substr(at, word.size()), word)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// ---- Encodings -------------------------------------------------------------------------------

enum class Encoding { utf8, windows_1252 };

// The encoding a charset label names, as browsers take it: the Latin-1 family is Windows-1252 to
// them, and a page cannot be UTF-16 by its own word (it could not have been read to say so).
std::optional<Encoding> encoding_of_label(std::string_view label) {
    while (!label.empty() && is_html_space(label.front())) {
        label.remove_prefix(1);
    }
    while (!label.empty() && is_html_space(label.back())) {
        label.remove_suffix(1);
    }
    static constexpr std::array<std::string_view, 9> utf8_labels = {
        "utf-8",  "utf8",     "unicode-1-1-utf-8", "unicode11utf8",  "unicode20utf8",
        "utf-16", "utf-16le", "utf-16be",          "x-unicode20utf8"};
    static constexpr std::array<std::string_view, 17> windows_1252_labels = {
        "windows-1252",  "iso-8859-1",  "latin1",   "us-ascii",
        "ascii",         "cp1252",      "cp819",    "ibm819",
        "iso8859-1",     "iso_8859-1",  "l1",       "x-cp1252",
        "iso-ir-100",    "csisolatin1", "iso88591", "iso_8859-1:1987",
        "ansi_x3.4-1968"};
    const auto named = [&](const auto& labels) {
        return std::any_of(labels.begin(), labels.end(), [&](std::string_view known) {
            return same_ignoring_case(label, known);
        });
    };
    if (named(utf8_labels)) {
        return Encoding::utf8;
    }
    if (named(windows_1252_labels)) {
        return Encoding::windows_1252;
    }
    return std::nullopt;
}

// ---- Tags ------------------------------------------------------------------------------------

// The attributes anything here looks at.
enum class Attribute { colspan, rowspan, charset, content, http_equiv };

struct Tag {
    std::string_view name;
    bool end = false;
    std::array<std::optional<std::string_view>, 5> attributes;  // the first of each name

    std::optional<std::string_view> operator[](Attribute which) const {
        return attributes[static_cast<std::size_t>(which)];
    }
};

void keep_attribute(Tag& tag, std::string_view name, std::string_view value) {
    static constexpr std::array<std::string_view, 5> names = {"colspan", "rowspan", "charset",
                                                              "content", "http-equiv"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (same_ignoring_case(name, names[i]) && !tag.attributes[i]) {
            tag.attributes[i] = value;
        }
    }
}

// Reads the tag whose '<' stands at `at` (a letter follows it, or '/' and a letter) and moves
// `at` past its '>'. Attribute values may be quoted either way or not at all, and a quoted one
// may hold a '>'. False when the page ends inside the tag, which is then lost, as in a browser.
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

// Where a comment that starts at `at` ("<!--") ends: past its "-->" (or "--!>"), or at the end of
// the page when it is never closed. "<!-->" and "<!--->" are whole, empty comments.
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

// Where the text of a <script>, <style> and their like ends: at its own end tag, whatever looks
// like a tag before it.
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

// The charset value of a Content-Type such as "text/html; charset=windows-1252".
std::optional<std::string_view> charset_in_content(std::string_view content) {
    for (std::size_t at = find_ignoring_case(content, "charset", 0); at != std::string_view::npos;
         at = find_ignoring_case(content, "charset", at + 1)) {
        std::size_t i = at + 7;
        while (i < content.size() && is_html_space(content[i])) {
            ++i;
        }
        if (i >= content.size() || content[i] != '=') {
            continue;
        }
        ++i;
        while (i < content.size() && is_html_space(content[i])) {
            ++i;
        }
        if (i < content.size() && (content[i] == '"' || content[i] == '\'')) {
            const std::size_t close = content.find(content[i], i + 1);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            return content.substr(i + 1, close - i - 1);
        }
        const std::size_t start = i;
        while (i < content.size() && !is_html_space(content[i]) && content[i] != ';') {
            ++i;
        }
        return content.substr(start, i - start);
    }
    return std::nullopt;
}

// The encoding that a <meta> of the page's first bytes declares, looked for as browsers do
// before they read the page: past comments and the values of other tags' attributes.
std::optional<Encoding> declared_encoding(std::string_view head) {
    std::size_t at = head.find('<');
    while (at != std::string_view::npos && at + 1 < head.size()) {
        const std::string_view rest = head.substr(at);
        if (rest.starts_with("<!--")) {
            const std::size_t end = head.find("-->", at + 2);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            at = head.find('<', end + 3);
            continue;
        }
        if (is_ascii_letter(rest[1]) ||
            (rest.size() > 2 && rest[1] == '/' && is_ascii_letter(rest[2]))) {
            Tag tag;
            if (!read_tag(head, at, tag)) {
                return std::nullopt;
            }
            if (!tag.end && same_ignoring_case(tag.name, "meta")) {
                std::optional<Encoding> declared;
                if (const auto charset = tag[Attribute::charset]) {
                    declared = encoding_of_label(*charset);
                } else if (const auto equiv = tag[Attribute::http_equiv];
                           equiv && same_ignoring_case(*equiv, "content-type")) {
                    if (const auto content = tag[Attribute::content]) {
                        if (const auto label = charset_in_content(*content)) {
                            declared = encoding_of_label(*label);
                        }
                    }
                }
                if (declared) {
                    return declared;
                }
            }
            at = head.find('<', at);
            continue;
        }
        if (rest[1] == '!' || rest[1] == '/' || rest[1] == '?') {
            const std::size_t end = head.find('>', at + 1);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            at = head.find('<', end + 1);
            continue;
        }
        at = head.find('<', at + 1);
    }
    return std::nullopt;
}

// UTF-8 with each byte that starts no well-formed sequence made U+FFFD, as a browser shows a
// page that says it is UTF-8 and is not quite.
std::string repaired_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80u   ? 1
                                   : lead < 0xC2u ? 0
                                   : lead < 0xE0u ? 2
                                   : lead < 0xF0u ? 3
                                   : lead < 0xF5u ? 4
                                                  : 0;
        const std::string_view sequence = bytes.substr(i, length);
        if (length == 0 || sequence.size() < length || !is_utf8(sequence)) {
            out += replacement;
            ++i;
        } else {
            out += sequence;
            i += length;
        }
    }
    return out;
}

std::string utf8_of_utf16(std::string_view bytes, bool big_endian) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return big_endian ? char32_t{first} << 8 | second : char32_t{second} << 8 | first;
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                append_utf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            out += replacement;
        } else {
            append_utf8(out, c);
        }
    }
    if (i < bytes.size()) {
        out += replacement;  // half a code unit at the end
    }
    return out;
}

// ---- Characters ------------------------------------------------------------------------------

// The Latin-1 letters and signs U+00A0 to U+00FF by their entity names, in code order. These
// are the names browsers also take without their ';'.
constexpr std::array<std::string_view, 96> latin1_entities = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

struct NamedEntity {
    std::string_view name;
    char32_t code;
    bool bare;  // taken without its ';' too
};

constexpr std::array<NamedEntity, 44> other_entities = {
    {{"amp", '&', true},        {"AMP", '&', true},        {"lt", '<', true},
     {"LT", '<', true},         {"gt", '>', true},         {"GT", '>', true},
     {"quot", '"', true},       {"QUOT", '"', true},       {"COPY", 0xA9, true},
     {"REG", 0xAE, true},       {"apos", '\'', false},     {"OElig", 0x152, false},
     {"oelig", 0x153, false},   {"Scaron", 0x160, false},  {"scaron", 0x161, false},
     {"Yuml", 0x178, false},    {"fnof", 0x192, false},    {"circ", 0x2C6, false},
     {"tilde", 0x2DC, false},   {"ensp", 0x2002, false},   {"emsp", 0x2003, false},
     {"thinsp", 0x2009, false}, {"ndash", 0x2013, false},  {"mdash", 0x2014, false},
     {"lsquo", 0x2018, false},  {"rsquo", 0x2019, false},  {"sbquo", 0x201A, false},
     {"ldquo", 0x201C, false},  {"rdquo", 0x201D, false},  {"bdquo", 0x201E, false},
     {"dagger", 0x2020, false}, {"Dagger", 0x2021, false}, {"bull", 0x2022, false},
     {"hellip", 0x2026, false}, {"permil", 0x2030, false}, {"lsaquo", 0x2039, false},
     {"rsaquo", 0x203A, false}, {"euro", 0x20AC, false},   {"trade", 0x2122, false},
     {"minus", 0x2212, false},  {"larr", 0x2190, false},   {"rarr", 0x2192, false},
     {"hearts", 0x2665, false}, {"check", 0x2713, false}}};

constexpr std::size_t longest_entity_name = 6;

std::optional<NamedEntity> entity_named(std::string_view name) {
    for (std::size_t i = 0; i < latin1_entities.size(); ++i) {
        if (latin1_entities[i] == name) {
            return NamedEntity{name, static_cast<char32_t>(0xA0 + i), true};
        }
    }
    for (const NamedEntity& entity : other_entities) {
        if (entity.name == name) {
            return entity;
        }
    }
    return std::nullopt;
}

// Decodes the character reference that starts at `text`'s '&' into `out`; returns how many
// bytes it took, 0 when it is none (an unknown name, "&#" without digits), which then stays as
// written.
std::size_t decode_reference(std::string_view text, std::string& out) {
    std::size_t i = 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        i += hex ? 1 : 0;
        const std::size_t digits_start = i;
        std::uint32_t code = 0;
        for (; i < text.size() && (hex ? hex_value(text[i]) >= 0 : is_ascii_digit(text[i])); ++i) {
            // Past U+10FFFF the number only has to stay too large.
            if (code <= 0x10FFFFu) {
                code = code * (hex ? 16u : 10u) +
                       static_cast<std::uint32_t>(hex ? hex_value(text[i]) : text[i] - '0');
            }
        }
        if (i == digits_start) {
            return 0;
        }
        if (i < text.size() && text[i] == ';') {
            ++i;
        }
        if (code == 0 || code > 0x10FFFFu || (code >= 0xD800u && code <= 0xDFFFu)) {
            out += replacement;
        } else if (code >= 0x80u && code <= 0x9Fu) {
            // Pages written in Windows-1252 name its characters by their byte, and browsers agree.
            const char byte = static_cast<char>(code);
            out += utf8_of_windows_1252(std::string_view(&byte, 1));
        } else {
            append_utf8(out, static_cast<char32_t>(code));
        }
        return i;
    }
    std::size_t length = 0;
    while (i + length < text.size() &&
           (is_ascii_letter(text[i + length]) || is_ascii_digit(text[i + length]))) {
        ++length;
    }
    if (length <= longest_entity_name && i + length < text.size() && text[i + length] == ';') {
        if (const auto entity = entity_named(text.substr(i, length))) {
            append_utf8(out, entity->code);
            return i + length + 1;
        }
    }
    // Without its ';', the longest name that browsers take bare, as "&egrave" in "&egravevero".
    for (std::size_t prefix = std::min(length, longest_entity_name); prefix > 0; --prefix) {
        if (const auto entity = entity_named(text.substr(i, prefix)); entity && entity->bare) {
            append_utf8(out, entity->code);
            return i + prefix;
        }
    }
    return 0;
}

// A cell's text as it is gathered: white space made one space between words, and nothing kept
// that a sheet cannot show (control characters, the soft hyphen).
struct CellText {
    std::string text;
    bool space = false;  // white space since the last visible character

    // Appends UTF-8 text.
    void add(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (is_html_space(bytes[i])) {
                space = true;
                continue;
            }
            if (byte < 0x20u || byte == 0x7Fu) {
                continue;
            }
            if (byte == 0xC2u && i + 1 < bytes.size()) {
                const auto next = static_cast<unsigned char>(bytes[i + 1]);
                if (next == 0xA0u) {  // no-break space: padding, as plain as any other
                    space = true;
                    ++i;
                    continue;
                }
                if (next <= 0x9Fu || next == 0xADu) {  // C1 controls, soft hyphen
                    ++i;
                    continue;
                }
            }
            if (space && !text.empty()) {
                text += ' ';
            }
            space = false;
            text += bytes[i];
        }
    }

    // Appends text of the page, its character references decoded.
    void add_page_text(std::string_view run) {
        std::string decoded;
        for (std::size_t amp = run.find('&'); amp != std::string_view::npos; amp = run.find('&')) {
            add(run.substr(0, amp));
            decoded.clear();
            const std::size_t taken = decode_reference(run.substr(amp), decoded);
            add(taken == 0 ? "&" : decoded);
            run.remove_prefix(amp + std::max<std::size_t>(taken, 1));
        }
        add(run);
    }
};

// ---- Elements --------------------------------------------------------------------------------

enum class Element {
    table,
    caption,
    column,   // col, colgroup
    section,  // thead, tbody, tfoot
    row,
    cell,  // td, th
    template_,
    break_,    // br and the blocks: words on either side are apart
    raw_text,  // script, style and their like: text that is not shown
    other,
};

Element element_of(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, Element>, 11> structure = {{
        {"table", Element::table},
        {"caption", Element::caption},
        {"col", Element::column},
        {"colgroup", Element::column},
        {"thead", Element::section},
        {"tbody", Element::section},
        {"tfoot", Element::section},
        {"tr", Element::row},
        {"td", Element::cell},
        {"th", Element::cell},
        {"template", Element::template_},
    }};
    static constexpr std::array<std::string_view, 6> raw_text = {"script", "style",   "title",
                                                                 "iframe", "noembed", "noframes"};
    static constexpr std::array<std::string_view, 39> breaks = {
        "br",      "p",          "div",    "li",      "ul",       "ol",     "dl",      "dt",
        "dd",      "h1",         "h2",     "h3",      "h4",       "h5",     "h6",      "hr",
        "pre",     "blockquote", "center", "address", "article",  "aside",  "section", "header",
        "footer",  "nav",        "main",   "form",    "fieldset", "legend", "figure",  "figcaption",
        "details", "summary",    "dialog", "menu",    "dir",      "hgroup", "listing"};
    const auto named = [&](std::string_view known) { return same_ignoring_case(name, known); };
    for (const auto& [known, element] : structure) {
        if (named(known)) {
            return element;
        }
    }
    if (std::any_of(raw_text.begin(), raw_text.end(), named)) {
        return Element::raw_text;
    }
    if (std::any_of(breaks.begin(), breaks.end(), named)) {
        return Element::break_;
    }
    return Element::other;
}

// An HTML non-negative integer: digits after white space, whatever follows them ("3px" is 3).
std::optional<std::size_t> span_number(std::optional<std::string_view> value) {
    if (!value) {
        return std::nullopt;
    }
    std::string_view text = *value;
    while (!text.empty() && is_html_space(text.front())) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || !is_ascii_digit(text.front())) {
        return std::nullopt;
    }
    std::size_t number = 0;
    for (std::size_t i = 0; i < text.size() && is_ascii_digit(text[i]); ++i) {
        number =
            std::min<std::size_t>(number * 10 + static_cast<std::size_t>(text[i] - '0'), 1'000'000);
    }
    return number;
}

// ---- Tables ----------------------------------------------------------------------------------

// A cell that spans rows, as the rows below it see it.
struct Span {
    long long from = 0;   // the row of the cell itself
    long long until = 0;  // the first row it no longer covers
    std::string text;     // in its first column only
};

// A table being read: its open row, cell and caption, and the spans that reach down from the
// rows above within its section.
struct OpenTable {
    std::size_t sheet = 0;
    long long row_index = -1;  // rows begun, spanned ones included, less one
    bool row_open = false;
    long long row_line = 0;
    std::vector<std::string> row;  // the open row's columns
    std::size_t next_column = 0;
    bool cell_open = false;
    std::size_t cell_column = 0;
    std::size_t cell_columns = 1;
    long long cell_rows = 1;  // 0 to the end of the section
    CellText cell;
    bool caption_open = false;
    CellText caption;
    std::vector<Span> spans;  // by column
};

class PageReader {
  public:
    PageReader(std::string_view text, const HtmlTableLimits& limits, std::size_t text_bound)
        : text_(text), limits_(limits), text_bound_(text_bound) {}

    bool read(Workbook& out, std::string& error) {
        std::size_t at = 0;
        while (at < text_.size() && error_.empty()) {
            const std::size_t markup = std::min(text_.find('<', at), text_.size());
            if (CellText* cell = receiver(); cell != nullptr && markup > at) {
                cell->add_page_text(text_.substr(at, markup - at));
            }
            at = markup;
            if (at < text_.size()) {
                at = read_markup(at);
            }
        }
        while (!tables_.empty() && error_.empty()) {
            close_table();
        }
        if (!error_.empty()) {
            error = error_;
            out.sheets.clear();
            return false;
        }
        out = std::move(book_);
        return true;
    }

  private:
    // Reads what starts at the '<' at `at`; returns where the page goes on.
    std::size_t read_markup(std::size_t at) {
        const std::string_view rest = text_.substr(at);
        if (rest.starts_with("<!--")) {
            return comment_end(text_, at);
        }
        const char next = rest.size() > 1 ? rest[1] : '\0';
        const char after = rest.size() > 2 ? rest[2] : '\0';
        if (next == '!' || next == '?' ||
            (next == '/' && rest.size() > 2 && !is_ascii_letter(after))) {
            // A doctype, a processing instruction or other bogus comment; "</>" is nothing.
            const std::size_t end = text_.find('>', at + 2);
            return end == std::string_view::npos ? text_.size() : end + 1;
        }
        if (!is_ascii_letter(next) && !(next == '/' && is_ascii_letter(after))) {
            if (CellText* cell = receiver()) {
                cell->add(next == '/' ? "</" : "<");
            }
            return at + (next == '/' ? 2 : 1);
        }
        Tag tag;
        std::size_t end = at;
        if (!read_tag(text_, end, tag)) {
            return text_.size();
        }
        const Element element = element_of(tag.name);
        if (tag.end) {
            end_tag(element);
        } else {
            start_tag(element, tag, at);
            if (element == Element::raw_text) {
                return raw_text_end(text_, end, tag.name);
            }
        }
        return end;
    }

    void start_tag(Element element, const Tag& tag, std::size_t at) {
        if (element == Element::template_) {
            ++template_depth_;
        }
        if (template_depth_ > 0) {
            return;  // a template's content is not shown, nor its tables
        }
        if (element == Element::table) {
            // A table where no cell is open ends the one before, as in a browser.
            if (!tables_.empty() && !tables_.back().cell_open && !tables_.back().caption_open) {
                close_table();
            }
            add_break();
            open_table();
            return;
        }
        if (element == Element::break_) {
            add_break();
            return;
        }
        if (tables_.empty()) {
            return;  // a row or a cell outside any table is no part of one
        }
        OpenTable& table = tables_.back();
        switch (element) {
            case Element::caption:
                close_row(table);
                close_caption(table);
                table.spans.clear();
                table.caption_open = true;
                table.caption = CellText{};
                break;
            case Element::column:
            case Element::section:
                close_caption(table);
                close_row(table);
                table.spans.clear();  // spans stop at the end of their section
                break;
            case Element::row:
                close_caption(table);
                close_row(table);
                open_row(table, line_at(at));
                break;
            case Element::cell:
                close_caption(table);
                close_cell(table);
                if (!table.row_open) {
                    open_row(table, line_at(at));
                }
                open_cell(table, tag);
                break;
            default:
                break;
        }
    }

    void end_tag(Element element) {
        if (template_depth_ > 0) {
            template_depth_ -= element == Element::template_ ? 1 : 0;
            return;
        }
        if (element == Element::break_) {
            add_break();
            return;
        }
        if (tables_.empty()) {
            return;
        }
        OpenTable& table = tables_.back();
        switch (element) {
            case Element::table:
                close_table();
                add_break();
                break;
            case Element::caption:
                close_caption(table);
                break;
            case Element::cell:
                close_cell(table);
                break;
            case Element::row:
                close_row(table);
                break;
            case Element::section:
                close_row(table);
                table.spans.clear();
                break;
            default:
                break;
        }
    }

    // Where text goes now: the innermost table's open cell or caption, else nowhere.
    CellText* receiver() {
        if (template_depth_ > 0 || tables_.empty()) {
            return nullptr;
        }
        OpenTable& table = tables_.back();
        return table.cell_open ? &table.cell : table.caption_open ? &table.caption : nullptr;
    }

    void add_break() {
        if (CellText* cell = receiver()) {
            cell->space = true;
        }
    }

    void open_table() {
        if (book_.sheets.size() >= limits_.tables) {
            fail("la pagina ha pi\xF9 di " + std::to_string(limits_.tables) +
                 " tabelle: salvare a parte la sola tabella del calendario");
            return;
        }
        book_.sheets.emplace_back();
        tables_.emplace_back();
        tables_.back().sheet = book_.sheets.size() - 1;
    }

    void close_table() {
        OpenTable& table = tables_.back();
        close_caption(table);
        close_row(table);
        tables_.pop_back();
    }

    void close_caption(OpenTable& table) {
        if (!table.caption_open) {
            return;
        }
        table.caption_open = false;
        std::string& name = book_.sheets[table.sheet].name;
        if (name.empty() && count_text(table.caption.text.size())) {
            name = std::move(table.caption.text);
        }
    }

    void open_row(OpenTable& table, long long line) {
        table.row_open = true;
        table.row_line = line;
        table.row.clear();
        table.next_column = 0;
        const long long row = ++table.row_index;
        // Spans that have ended are let go, so that a row only looks as far as the spans reach.
        while (!table.spans.empty() && table.spans.back().until <= row) {
            table.spans.pop_back();
        }
        for (std::size_t column = 0; column < table.spans.size(); ++column) {
            if (!covered(table, column)) {
                continue;
            }
            if (!widen(table, column + 1) || !count_text(table.spans[column].text.size())) {
                return;
            }
            table.row[column] = table.spans[column].text;
        }
    }

    static bool covered(const OpenTable& table, std::size_t column) {
        return column < table.spans.size() && table.spans[column].from < table.row_index &&
               table.spans[column].until > table.row_index;
    }

    void open_cell(OpenTable& table, const Tag& tag) {
        std::size_t column = table.next_column;
        while (covered(table, column)) {
            ++column;
        }
        const std::size_t columns = std::clamp<std::size_t>(
            span_number(tag[Attribute::colspan]).value_or(1), 1, most_columns_spanned);
        if (column + columns > limits_.columns) {
            fail("una tabella della pagina ha pi\xF9 di " + std::to_string(limits_.columns) +
                 " colonne");
            return;
        }
        if (!widen(table, column + columns)) {
            return;
        }
        table.cell_open = true;
        table.cell_column = column;
        table.cell_columns = columns;
        table.cell_rows = static_cast<long long>(
            std::min<std::size_t>(span_number(tag[Attribute::rowspan]).value_or(1),
                                  static_cast<std::size_t>(most_rows_spanned)));
        table.cell = CellText{};
        table.next_column = column + columns;
    }

    void close_cell(OpenTable& table) {
        if (!table.cell_open) {
            return;
        }
        table.cell_open = false;
        std::string& text = table.cell.text;
        if (!count_text(text.size())) {
            return;
        }
        if (table.cell_rows != 1) {
            const long long until = table.cell_rows == 0 ? std::numeric_limits<long long>::max()
                                                         : table.row_index + table.cell_rows;
            const std::size_t end = table.cell_column + table.cell_columns;
            if (table.spans.size() < end) {
                table.spans.resize(end);
            }
            for (std::size_t column = table.cell_column; column < end; ++column) {
                Span& span = table.spans[column];
                // Where a span from above still reaches the next row, the cells overlap: the
                // one placed first keeps the column, as in the table model.
                if (span.until <= table.row_index + 1) {
                    span = {table.row_index, until,
                            column == table.cell_column ? text : std::string()};
                }
            }
        }
        table.row[table.cell_column] = std::move(text);
    }

    void close_row(OpenTable& table) {
        close_cell(table);
        if (!table.row_open) {
            return;
        }
        table.row_open = false;
        while (!table.row.empty() && table.row.back().empty()) {
            table.row.pop_back();
        }
        if (table.row.empty()) {
            return;
        }
        std::vector<SheetRow>& rows = book_.sheets[table.sheet].rows;
        if (rows.size() >= limits_.rows) {
            fail("una tabella della pagina ha pi\xF9 di " + std::to_string(limits_.rows) +
                 " righe");
            return;
        }
        rows.push_back({table.row_line, std::move(table.row)});
        table.row = {};
    }

    // Makes the open row `width` columns wide, within the bound on all cells.
    bool widen(OpenTable& table, std::size_t width) {
        if (width <= table.row.size()) {
            return true;
        }
        const std::size_t more = width - table.row.size();
        if (more > limits_.cells - cells_) {
            fail("le tabelle della pagina hanno pi\xF9 di " + std::to_string(limits_.cells) +
                 " celle in tutto");
            return false;
        }
        cells_ += more;
        table.row.resize(width);
        return true;
    }

    bool count_text(std::size_t bytes) {
        if (bytes > text_bound_ - text_bytes_) {
            fail("le celle unite su pi\xF9 righe ripetono troppo testo (oltre " +
                 std::to_string(text_bound_) + " byte)");
            return false;
        }
        text_bytes_ += bytes;
        return true;
    }

    // The line of the page (from 1) where `at` stands; asked in the page's order.
    long long line_at(std::size_t at) {
        for (; counted_ < at; ++counted_) {
            const char c = text_[counted_];
            if (c == '\n' ||
                (c == '\r' && (counted_ + 1 >= text_.size() || text_[counted_ + 1] != '\n'))) {
                ++line_;
            }
        }
        return line_;
    }

    void fail(std::string message) {
        if (error_.empty()) {
            error_ = std::move(message);
        }
    }

    std::string_view text_;
    const HtmlTableLimits& limits_;
    std::size_t text_bound_;
    Workbook book_;
    std::vector<OpenTable> tables_;  // innermost last
    std::size_t template_depth_ = 0;
    std::size_t cells_ = 0;
    std::size_t text_bytes_ = 0;
    std::size_t counted_ = 0;
    long long line_ = 1;
    std::string error_;
};

}  // namespace

bool read_html_tables(std::string_view page, Workbook& out, std::string& error) {
    return read_html_tables(page, out, error, HtmlTableLimits{});
}

bool read_html_tables(std::string_view page, Workbook& out, std::string& error,
                      const HtmlTableLimits& limits) {
    out.sheets.clear();
    if (page.size() > limits.page_bytes) {
        error = "la pagina \xE8 troppo grande (oltre " + std::to_string(limits.page_bytes) +
                " byte): salvare a parte la sola tabella del calendario";
        return false;
    }
    std::string decoded;
    std::string_view text = page;
    if (page.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
        if (!is_utf8(text)) {
            decoded = repaired_utf8(text);
            text = decoded;
        }
    } else if (page.starts_with("\xFF\xFE") || page.starts_with("\xFE\xFF")) {
        decoded = utf8_of_utf16(page.substr(2), page[0] == '\xFE');
        text = decoded;
    } else {
        const std::optional<Encoding> declared = declared_encoding(page.substr(0, 1024));
        const bool utf8 = is_utf8(page);
        if (declared == Encoding::windows_1252 || (!declared && !utf8)) {
            decoded = utf8_of_windows_1252(page);
            text = decoded;
        } else if (!utf8) {
            decoded = repaired_utf8(page);
            text = decoded;
        }
    }
    // Decoding makes at most three bytes of one; only rowspans repeat text beyond that.
    const std::size_t most = std::numeric_limits<std::size_t>::max();
    const std::size_t text_bound = page.size() > (most - limits.spanned_text_bytes) / 3
                                       ? most
                                       : 3 * page.size() + limits.spanned_text_bytes;
    return PageReader(text, limits, text_bound).read(out, error);
}

}  // namespace gironario
