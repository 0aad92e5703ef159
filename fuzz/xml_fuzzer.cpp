// Reads the input as XML to its end or its first error, and checks the reader's promises
// whatever the bytes: the depth never passes its bound and is what the tokens make it, every
// end names the element it closes, names and attributes stay within their bounds, a '<' of a
// text token came from a reference or a CDATA section, a stopped reader stays stopped with a
// reason, and the tokens are at most about one for each byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "io/xml_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using gironario::XmlReader;
    using gironario::fuzz::require;
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    const bool may_hold_less_than = xml.find("&lt;") != std::string_view::npos ||
                                    xml.find("&#") != std::string_view::npos ||
                                    xml.find("<![CDATA[") != std::string_view::npos;
    XmlReader reader(xml);
    std::vector<std::string> open;
    std::size_t steps = 0;
    for (;;) {
        const XmlReader::Token token = reader.next();
        require(++steps <= size + 2, "more tokens than bytes");
        require(reader.depth() <= gironario::XML_DEPTH_LIMIT, "deeper than the bound");
        if (token == XmlReader::Token::start) {
            require(!reader.name().empty() && reader.name().size() <= gironario::XML_NAME_LIMIT,
                    "an element name out of its bounds");
            require(reader.attributes().size() <= gironario::XML_ATTRIBUTE_LIMIT,
                    "more attributes than the bound");
            for (const auto& [name, value] : reader.attributes()) {
                require(reader.attribute(name) != nullptr, "an attribute that cannot be found");
                require(value.size() <= size, "an attribute longer than the input");
            }
            open.emplace_back(reader.name());
        } else if (token == XmlReader::Token::end) {
            require(!open.empty() && open.back() == reader.name(), "an end that closes another");
            open.pop_back();
        } else if (token == XmlReader::Token::text) {
            require(!reader.text().empty() && reader.text().size() <= size,
                    "a text token empty or longer than the input");
            require(may_hold_less_than || reader.text().find('<') == std::string::npos,
                    "a '<' of markup in a text token");
        } else {
            require(token == XmlReader::Token::done || !reader.error().empty(),
                    "an error without a reason");
            require(token == XmlReader::Token::error || open.empty(),
                    "done with elements still open");
            require(reader.next() == token, "a stopped reader that goes on");
            break;
        }
        require(reader.depth() == open.size(), "a depth that is not the open elements'");
    }
    return 0;
}
