#include "io/xml_reader.hpp"

#include <algorithm>

#include "io/text.hpp"

namespace gironario {

namespace {

// Long enough for "&#x10FFFF;" with a few leading zeros; a longer one is no reference.
constexpr std::size_t LONGEST_REFERENCE = 32;

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool is_name_byte(char c) {
    return !is_space(c) && c != '/' && c != '>' && c != '<' && c != '=' && c != '"' && c != '\'' &&
           c != '&';
}

bool is_xml_character(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int digit_value(char c, int base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == 16 && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (base == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes the reference that starts at `text[at]` ('&') onto `out` and moves `at` past it;
// false when it is unknown or malformed.
bool append_reference(std::string_view text, std::size_t& at, std::string& out) {
    const std::size_t semicolon = text.substr(at, LONGEST_REFERENCE).find(';');
    if (semicolon == std::string_view::npos) {
        return false;
    }
    const std::string_view body = text.substr(at + 1, semicolon - 1);
    at += semicolon + 1;
    static constexpr std::pair<std::string_view, char> named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, c] : named) {
        if (body == entity) {
            out += c;
            return true;
        }
    }
    if (body.size() < 2 || body[0] != '#') {
        return false;
    }
    const int base = body[1] == 'x' ? 16 : 10;
    const std::string_view digits = body.substr(base == 16 ? 2 : 1);
    if (digits.empty()) {
        return false;
    }
    char32_t c = 0;
    for (const char d : digits) {
        const int value = digit_value(d, base);
        if (value < 0) {
            return false;
        }
        c = c * static_cast<char32_t>(base) + static_cast<char32_t>(value);
        if (c > 0x10FFFF) {
            return false;
        }
    }
    if (!is_xml_character(c)) {
        return false;
    }
    append_utf8(out, c);
    return true;
}

// `raw` onto `out` with its line ends made line feeds, as every XML processor gives them.
void append_lines(std::string_view raw, std::string& out) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            out += raw[i];
        } else if (i + 1 == raw.size() || raw[i + 1] != '\n') {
            out += '\n';
        }
    }
}

// The start of a bad reference, for the message: up to its ';', or else up to the next markup.
std::string reference_shown(std::string_view text, std::size_t at) {
    const std::string_view shown = text.substr(at, 12);
    const std::size_t semicolon = shown.find(';');
    return latin1_of(semicolon != std::string_view::npos ? shown.substr(0, semicolon + 1)
                                                         : shown.substr(0, shown.find('<')));
}

std::string quoted_name(std::string_view name) {
    return "<" + latin1_of(name) + ">";
}

}  // namespace

std::string latin1_of(std::string_view utf8) {
    std::string result;
    result.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        if (lead < 0x80) {
            result += static_cast<char>(lead);
            ++i;
        } else if ((lead == 0xC2 || lead == 0xC3) && (next & 0xC0u) == 0x80u) {
            result += static_cast<char>((lead & 0x03u) << 6 | (next & 0x3Fu));
            i += 2;
        } else {
            result += '?';
            ++i;
            while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0u) == 0x80u) {
                ++i;
            }
        }
    }
    return result;
}

std::string_view local_name(std::string_view qualified) {
    const std::size_t colon = qualified.rfind(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

XmlReader::XmlReader(std::string_view xml) : xml_(xml) {}

std::string_view XmlReader::name() const {
    return name_;
}

const std::string* XmlReader::attribute(std::string_view name) const {
    for (const auto& [attribute_name, value] : attributes_) {
        if (attribute_name == name) {
            return &value;
        }
    }
    return nullptr;
}

const std::vector<std::pair<std::string_view, std::string>>& XmlReader::attributes() const {
    return attributes_;
}

const std::string& XmlReader::text() const {
    return text_;
}

std::size_t XmlReader::depth() const {
    return open_.size();
}

const std::string& XmlReader::error() const {
    return error_;
}

XmlReader::Token XmlReader::fail(std::string message) {
    error_ = std::move(message);
    text_.clear();
    attributes_.clear();
    name_ = {};
    last_ = Token::error;
    return last_;
}

XmlReader::Token XmlReader::next() {
    if (last_ == Token::done || last_ == Token::error) {
        return last_;
    }
    attributes_.clear();
    text_.clear();
    if (pending_end_) {
        pending_end_ = false;
        open_.pop_back();
        return last_ = Token::end;
    }
    if (!started_) {
        started_ = true;
        if (xml_.starts_with("\xFE\xFF") || xml_.starts_with("\xFF\xFE")) {
            return fail("il testo XML \xE8 in UTF-16, che non si legge: va salvato in UTF-8");
        }
        if (!is_utf8(xml_)) {
            return fail("il testo XML non \xE8 in UTF-8");
        }
        if (xml_.starts_with("\xEF\xBB\xBF")) {
            at_ = 3;
        }
    }
    for (;;) {
        // Text, CDATA sections, comments and processing instructions up to the next tag make
        // one text token, so that a comment never splits a cell's text.
        while (at_ < xml_.size()) {
            const std::string_view rest = xml_.substr(at_);
            if (rest[0] == '&') {
                const std::size_t from = at_;
                if (!append_reference(xml_, at_, text_)) {
                    return fail("il testo XML ha un riferimento sconosciuto o errato: " +
                                reference_shown(xml_, from));
                }
            } else if (rest[0] != '<') {
                const std::size_t stop = std::min(rest.find_first_of("<&"), rest.size());
                append_lines(rest.substr(0, stop), text_);
                at_ += stop;
            } else if (rest.starts_with("<![CDATA[")) {
                const std::size_t end = rest.find("]]>", 9);
                if (end == std::string_view::npos) {
                    return fail("il testo XML finisce dentro una sezione CDATA");
                }
                append_lines(rest.substr(9, end - 9), text_);
                at_ += end + 3;
            } else if (rest.starts_with("<!--")) {
                const std::size_t end = rest.find("-->", 4);
                if (end == std::string_view::npos) {
                    return fail("il testo XML finisce dentro un commento");
                }
                at_ += end + 3;
            } else if (rest.starts_with("<?")) {
                const std::size_t end = rest.find("?>", 2);
                if (end == std::string_view::npos) {
                    return fail("il testo XML finisce dentro un'istruzione <?...?>");
                }
                if (!declaration_encoding_ok(rest.substr(2, end - 2))) {
                    return fail("il testo XML dichiara una codifica diversa da UTF-8");
                }
                at_ += end + 2;
            } else {
                break;
            }
        }
        if (!text_.empty() &&
            (!open_.empty() || !std::all_of(text_.begin(), text_.end(), is_space))) {
            return last_ = Token::text;
        }
        text_.clear();
        if (at_ == xml_.size()) {
            if (!open_.empty()) {
                return fail("il testo XML finisce prima che si chiuda l'elemento " +
                            quoted_name(open_.back()));
            }
            if (!seen_element_) {
                return fail("il testo XML non contiene elementi");
            }
            return last_ = Token::done;
        }
        const std::string_view rest = xml_.substr(at_);
        if (rest.starts_with("<!DOCTYPE")) {
            // Without an internal subset there is nothing in it to read; with one, entities
            // could be defined (and made to grow without end), so it is refused.
            const std::size_t end = rest.find_first_of("[>");
            if (end == std::string_view::npos) {
                return fail("il testo XML finisce dentro il DOCTYPE");
            }
            if (rest[end] == '[') {
                return fail(
                    "il testo XML ha un DOCTYPE con definizioni interne, che non si "
                    "leggono");
            }
            at_ += end + 1;
            continue;
        }
        if (rest.starts_with("</")) {
            return read_end_tag();
        }
        if (rest.starts_with("<!")) {
            return fail("il testo XML ha una dichiarazione <! sconosciuta");
        }
        return read_start_tag();
    }
}

bool XmlReader::declaration_encoding_ok(std::string_view instruction) const {
    if (!instruction.starts_with("xml") || (instruction.size() > 3 && !is_space(instruction[3]))) {
        return true;
    }
    const std::size_t key = instruction.find("encoding");
    if (key == std::string_view::npos) {
        return true;
    }
    const std::size_t quote = instruction.find_first_of("\"'", key);
    if (quote == std::string_view::npos) {
        return true;
    }
    const std::size_t close = instruction.find(instruction[quote], quote + 1);
    const std::string_view encoding = instruction.substr(quote + 1, close - quote - 1);
    return same_ignoring_case(encoding, "UTF-8") || same_ignoring_case(encoding, "UTF8");
}

bool XmlReader::read_name(std::string_view& out) {
    const std::size_t start = at_;
    while (at_ < xml_.size() && is_name_byte(xml_[at_])) {
        ++at_;
    }
    out = xml_.substr(start, at_ - start);
    if (out.empty()) {
        fail(at_ == xml_.size() ? "il testo XML finisce dentro un tag"
                                : "il testo XML ha un tag senza nome o un carattere fuori posto");
        return false;
    }
    if (out.size() > XML_NAME_LIMIT) {
        fail("il testo XML ha un nome pi\xF9 lungo di " + std::to_string(XML_NAME_LIMIT) + " byte");
        return false;
    }
    return true;
}

void XmlReader::skip_spaces() {
    while (at_ < xml_.size() && is_space(xml_[at_])) {
        ++at_;
    }
}

XmlReader::Token XmlReader::read_start_tag() {
    ++at_;
    std::string_view element;
    if (!read_name(element)) {
        return last_;
    }
    if (open_.size() == XML_DEPTH_LIMIT) {
        return fail("il testo XML annida pi\xF9 di " + std::to_string(XML_DEPTH_LIMIT) +
                    " elementi");
    }
    for (;;) {
        skip_spaces();
        if (at_ == xml_.size()) {
            return fail("il testo XML finisce dentro un tag");
        }
        if (xml_[at_] == '>') {
            ++at_;
            break;
        }
        if (xml_[at_] == '/') {
            if (at_ + 1 == xml_.size()) {
                return fail("il testo XML finisce dentro un tag");
            }
            if (xml_[at_ + 1] != '>') {
                return fail("il testo XML ha una '/' fuori posto nel tag " + quoted_name(element));
            }
            at_ += 2;
            pending_end_ = true;
            break;
        }
        std::string_view attribute_name;
        if (!read_name(attribute_name)) {
            return last_;
        }
        skip_spaces();
        if (at_ == xml_.size()) {
            return fail("il testo XML finisce dentro un tag");
        }
        if (xml_[at_] != '=') {
            return fail("il testo XML ha un attributo senza valore nel tag " +
                        quoted_name(element));
        }
        ++at_;
        skip_spaces();
        if (at_ == xml_.size()) {
            return fail("il testo XML finisce dentro un tag");
        }
        const char quote = xml_[at_];
        if (quote != '"' && quote != '\'') {
            return fail("il testo XML ha il valore di un attributo senza virgolette nel tag " +
                        quoted_name(element));
        }
        const std::size_t close = xml_.find(quote, at_ + 1);
        if (close == std::string_view::npos) {
            return fail("il testo XML finisce dentro un tag");
        }
        const std::string_view raw = xml_.substr(at_ + 1, close - at_ - 1);
        if (raw.find('<') != std::string_view::npos) {
            return fail("il testo XML ha un '<' nel valore di un attributo del tag " +
                        quoted_name(element));
        }
        if (attributes_.size() == XML_ATTRIBUTE_LIMIT) {
            return fail("il testo XML ha un tag con pi\xF9 di " +
                        std::to_string(XML_ATTRIBUTE_LIMIT) + " attributi");
        }
        std::string value;
        // Line ends and tabs in a value read as spaces; only references keep them.
        for (std::size_t i = 0; i < raw.size();) {
            if (raw[i] == '&') {
                const std::size_t from = i;
                if (!append_reference(raw, i, value)) {
                    return fail("il testo XML ha un riferimento sconosciuto o errato: " +
                                reference_shown(raw, from));
                }
            } else if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
                ++i;
            } else {
                value += is_space(raw[i]) ? ' ' : raw[i];
                ++i;
            }
        }
        attributes_.emplace_back(attribute_name, std::move(value));
        at_ = close + 1;
    }
    open_.push_back(element);
    name_ = element;
    seen_element_ = true;
    return last_ = Token::start;
}

XmlReader::Token XmlReader::read_end_tag() {
    at_ += 2;
    std::string_view element;
    if (!read_name(element)) {
        return last_;
    }
    skip_spaces();
    if (at_ == xml_.size()) {
        return fail("il testo XML finisce dentro un tag");
    }
    if (xml_[at_] != '>') {
        return fail("il testo XML ha un carattere fuori posto nel tag </" + latin1_of(element) +
                    ">");
    }
    ++at_;
    if (open_.empty()) {
        return fail("il testo XML chiude </" + latin1_of(element) + "> senza averlo aperto");
    }
    if (open_.back() != element) {
        return fail("il testo XML chiude </" + latin1_of(element) + "> dove va chiuso " +
                    quoted_name(open_.back()));
    }
    open_.pop_back();
    name_ = element;
    return last_ = Token::end;
}

}  // namespace gironario
