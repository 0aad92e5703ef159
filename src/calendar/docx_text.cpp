#include "calendar/docx_text.hpp"

#include <string_view>

#include "io/xml_reader.hpp"

namespace gironario {

namespace {

constexpr std::string_view DOCUMENT_PART = "word/document.xml";

// The document's lines as the elements come: a paragraph outside tables ends a line, an
// outermost table row is one, and what else would end a line inside a cell (its paragraphs,
// a nested table's cells) parts the words by a space instead.
class Lines {
  public:
    explicit Lines(std::string& out) : out_(out) {}

    void start(std::string_view element, bool in_run) {
        if (element == "tbl") {
            ++tables_;
        } else if (element == "tr" && tables_ == 1) {
            finish();
            cells_ = 0;
        } else if (element == "tc" && tables_ == 1) {
            if (cells_++ > 0) {
                line_ += '\t';
            }
            space_ = false;
        } else if (element == "p") {
            ++paragraphs_;
        } else if (in_run && element == "tab") {
            add("\t");
        } else if (in_run && (element == "br" || element == "cr")) {
            add(" ");
        } else if (in_run && element == "noBreakHyphen") {
            add("-");
        }
    }

    void end(std::string_view element) {
        if (element == "tbl" && tables_ > 0) {
            --tables_;
        } else if (element == "tr" && tables_ == 1) {
            end_line();
        } else if (element == "tc" && tables_ > 1) {
            space_ = true;
        } else if (element == "p" && paragraphs_ > 0) {
            --paragraphs_;
            if (tables_ == 0 && paragraphs_ == 0) {
                end_line();
            } else {
                space_ = true;
            }
        }
    }

    void add(std::string_view text) {
        if (space_ && !line_.empty() && line_.back() != '\t') {
            line_ += ' ';
        }
        space_ = false;
        line_ += text;
    }

    void finish() {
        if (!line_.empty()) {
            end_line();
        }
    }

  private:
    void end_line() {
        out_ += line_;
        out_ += '\n';
        line_.clear();
        space_ = false;
    }

    std::string& out_;
    std::string line_;
    int tables_ = 0;
    int paragraphs_ = 0;
    int cells_ = 0;
    bool space_ = false;
};

}  // namespace

bool is_docx(const ZipArchive& archive) {
    return archive.has(DOCUMENT_PART);
}

bool read_docx_lines(const ZipArchive& archive, std::string& text, std::string& error) {
    text.clear();
    std::string xml;
    if (!archive.read(DOCUMENT_PART, xml, error)) {
        return false;
    }
    XmlReader reader(xml);
    Lines lines(text);
    std::size_t runs = 0;            // open w:r, where tabs and breaks are characters
    std::size_t text_depth = 0;      // of the open w:t, or 0
    std::size_t fallback_depth = 0;  // of an open mc:Fallback, which repeats its mc:Choice
    for (XmlReader::Token token = reader.next(); token != XmlReader::Token::done;
         token = reader.next()) {
        if (token == XmlReader::Token::error) {
            text.clear();
            error = "il documento \xE8 danneggiato: " + reader.error();
            return false;
        }
        const std::string_view element = local_name(reader.name());
        if (fallback_depth != 0) {
            if (token == XmlReader::Token::end && reader.depth() < fallback_depth) {
                fallback_depth = 0;
            }
            continue;
        }
        if (token == XmlReader::Token::start) {
            if (element == "Fallback") {
                fallback_depth = reader.depth();
            } else if (element == "r") {
                ++runs;
            } else if (element == "t" && runs > 0) {
                text_depth = reader.depth();
            } else {
                lines.start(element, runs > 0);
            }
        } else if (token == XmlReader::Token::end) {
            if (element == "r" && runs > 0) {
                --runs;
            } else if (element == "t") {
                text_depth = 0;
            } else {
                lines.end(element);
            }
        } else if (token == XmlReader::Token::text && text_depth != 0 &&
                   reader.depth() == text_depth) {
            lines.add(reader.text());
        }
    }
    lines.finish();
    return true;
}

}  // namespace gironario
