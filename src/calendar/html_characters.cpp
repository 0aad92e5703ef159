#include "calendar/html_characters.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "calendar/html_tags.hpp"
#include "io/text.hpp"

namespace gironario::html {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD

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

}  // namespace

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

void CellText::add(std::string_view bytes) {
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

void CellText::add_page_text(std::string_view run) {
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

}  // namespace gironario::html
