#include "io/xml_reader.hpp"

#include <gtest/gtest.h>

#include <string>

namespace gironario {
namespace {

std::string repeated(std::string_view piece, std::size_t times) {
    std::string result;
    for (std::size_t i = 0; i < times; ++i) {
        result += piece;
    }
    return result;
}

// The tokens of <a> opened `count` times, and, when `closed`, of as many ends.
std::string opened(int count, bool closed = false) {
    std::string result;
    for (int depth = 1; depth <= count; ++depth) {
        result += "S" + std::to_string(depth) + "(a)";
    }
    for (int depth = count - 1; closed && depth >= 0; --depth) {
        result += "E" + std::to_string(depth) + "(a)";
    }
    return result;
}

// The tokens of `xml`, each with the depth after it: "S1(a x=1)", "T1[text]", "E0(a)", "D" or
// "!(error)". A reader that has stopped must stop again at the same token.
std::string tokens(std::string_view xml) {
    XmlReader reader(xml);
    std::string result;
    for (;;) {
        const XmlReader::Token token = reader.next();
        const std::string depth = std::to_string(reader.depth());
        switch (token) {
            case XmlReader::Token::start:
                result += "S" + depth + "(" + std::string(reader.name());
                for (const auto& [name, value] : reader.attributes()) {
                    result += " " + std::string(name) + "=" + value;
                    EXPECT_EQ(reader.attribute(name), &value);
                }
                result += ")";
                break;
            case XmlReader::Token::end:
                result += "E" + depth + "(" + std::string(reader.name()) + ")";
                break;
            case XmlReader::Token::text:
                result += "T" + depth + "[" + reader.text() + "]";
                break;
            case XmlReader::Token::done:
            case XmlReader::Token::error:
                result += token == XmlReader::Token::done ? "D" : "!(" + reader.error() + ")";
                EXPECT_EQ(reader.next(), token);
                return result;
        }
    }
}

TEST(XmlReader, Tokens) {
    const struct {
        std::string xml;
        std::string expected;
    } cases[] = {
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r\n"
         "<!DOCTYPE a>\n<x:a xmlns:x='u' v = \"&lt;&#65;&#x42;&quot;&apos;&gt;&amp;\">"
         "t <!-- c --><![CDATA[<b>&amp;]]> u<?pi x?></x:a>\n",
         "S1(x:a xmlns:x=u v=<AB\"'>&)T1[t <b>&amp; u]E0(x:a)D"},
        {"<a><b/><c\n/>\xC3\xA8\r\n\r&#13;&#x20AC;</a>",
         "S1(a)S2(b)E1(b)S2(c)E1(c)T1[\xC3\xA8\n\n\r\xE2\x82\xAC]E0(a)D"},
        {"<a v=\"1\t2\r\n3&#10;4\"/>", "S1(a v=1 2 3\n4)E0(a)D"},
        {"<a>  </a>", "S1(a)T1[  ]E0(a)D"},
        {repeated("<a>", 256) + repeated("</a>", 256), opened(256, true) + "D"},
        // Broken files.
        {"", "!(il testo XML non contiene elementi)"},
        {"<a></b>", "S1(a)!(il testo XML chiude </b> dove va chiuso <a>)"},
        {"</a>", "!(il testo XML chiude </a> senza averlo aperto)"},
        {"<a>&nbsp;</a>", "S1(a)!(il testo XML ha un riferimento sconosciuto o errato: &nbsp;)"},
        {"<a>&#0;</a>", "S1(a)!(il testo XML ha un riferimento sconosciuto o errato: &#0;)"},
        {"<a>&#x110000;</a>",
         "S1(a)!(il testo XML ha un riferimento sconosciuto o errato: &#x110000;)"},
        {"<a>AT&T</a>", "S1(a)!(il testo XML ha un riferimento sconosciuto o errato: &T)"},
        {"<a v=\"<\"/>", "!(il testo XML ha un '<' nel valore di un attributo del tag <a>)"},
        {"<a v=1/>", "!(il testo XML ha il valore di un attributo senza virgolette nel tag <a>)"},
        {"<a v/>", "!(il testo XML ha un attributo senza valore nel tag <a>)"},
        {"<a", "!(il testo XML finisce dentro un tag)"},
        {"<a v=\"1", "!(il testo XML finisce dentro un tag)"},
        {"<a></a", "S1(a)!(il testo XML finisce dentro un tag)"},
        {"<a>x", "S1(a)T1[x]!(il testo XML finisce prima che si chiuda l'elemento <a>)"},
        {"<a><!-- x</a>", "S1(a)!(il testo XML finisce dentro un commento)"},
        {"<a><![CDATA[x</a>", "S1(a)!(il testo XML finisce dentro una sezione CDATA)"},
        {"<a>< b/></a>", "S1(a)!(il testo XML ha un tag senza nome o un carattere fuori posto)"},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>",
         "!(il testo XML ha un DOCTYPE con definizioni interne, che non si leggono)"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>",
         "!(il testo XML dichiara una codifica diversa da UTF-8)"},
        {"<a>\xE8</a>", "!(il testo XML non \xE8 in UTF-8)"},
        {std::string("\xFF\xFE<\0a\0/\0>\0", 10),
         "!(il testo XML \xE8 in UTF-16, che non si legge: va salvato in UTF-8)"},
        {repeated("<a>", 257), opened(256) + "!(il testo XML annida pi\xF9 di 256 elementi)"},
        {"<" + std::string(257, 'n') + "/>", "!(il testo XML ha un nome pi\xF9 lungo di 256 byte)"},
        {"<a" + repeated(" v=''", 257) + "/>",
         "!(il testo XML ha un tag con pi\xF9 di 256 attributi)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tokens(c.xml), c.expected) << c.xml.substr(0, 80);
    }
}

}  // namespace
}  // namespace gironario
