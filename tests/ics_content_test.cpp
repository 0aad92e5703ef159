#include "calendar/ics_content.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gironario {
namespace {

// Each content line of `bytes` as "NUMBER NAME TZID VALUE", its TZID "-" when it has none and its
// value unescaped; "NUMBER ?" for one without a colon.
std::string content_lines(std::string_view bytes) {
    std::string shown;
    for_each_ics_content_line(bytes, [&shown](std::string_view line, long long number) {
        shown += std::to_string(number);
        if (const auto content = split_ics_content_line(line)) {
            shown += ' ' + content->name + ' ' +
                     std::string(ics_parameter(content->parameters, "tzid").value_or("-")) + ' ' +
                     unescaped_ics_text(content->value);
        } else {
            shown += " ?";
        }
        shown += '\n';
    });
    return shown;
}

TEST(IcsContent, UnfoldedSplitAndUnescaped) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", ""},
        {"BEGIN:VEVENT\r\nEND:VEVENT", "1 BEGIN - VEVENT\n2 END - VEVENT\n"},
        // Folded with a space and a tab, over LF and CR LF; the first line counts.
        {"SUMMARY:Alfa\n  - Beta\r\n\tGamma\r\nUID:1\n",
         "1 SUMMARY - Alfa - BetaGamma\n4 UID - 1\n"},
        // A continuation with nothing before it is left out; an empty line has no colon.
        {" lost\n\nuid:2", "2 ?\n3 UID - 2\n"},
        {"dtStart ;TZID=Europe/Rome;VALUE=DATE-TIME:20261004T180000",
         "1 DTSTART Europe/Rome 20261004T180000\n"},
        // A quoted parameter value holds ':' and ';'.
        {"DTSTART;X=\"a:b;c\";tzid=\"/x/Europe/Rome\":20261004T1800",
         "1 DTSTART /x/Europe/Rome 20261004T1800\n"},
        {"LOCATION;X=\"a:b", "1 ?\n"},
        {"DESCRIPTION:a\\, b\\; c\\\\n\\nd\\Ne\\x\\", "1 DESCRIPTION - a, b; c\\n\nd\ne\\x\\\n"},
    };
    for (const auto& [bytes, expected] : rows) {
        EXPECT_EQ(content_lines(bytes), expected) << bytes;
    }
}

}  // namespace
}  // namespace gironario
