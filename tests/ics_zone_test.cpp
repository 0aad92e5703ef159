#include "export/ics_zone.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace gironario {
namespace {

// The zones --fuso names, exactly as written.
TEST(IcsZone, Names) {
    const std::pair<std::string_view, std::optional<IcsZone>> rows[] = {
        {"Europe/Rome", IcsZone::europe_rome},
        {"locale", IcsZone::floating},
        {"europe/rome", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [name, zone] : rows) {
        EXPECT_EQ(ics_zone_named(name), zone) << name;
    }
}

// Only Europe/Rome has a parameter and a component, written whole.
TEST(IcsZone, Components) {
    std::string file;
    StringOutput output(file);
    LineWriter out(output);
    write_ics_zone(out, IcsZone::floating);
    write_ics_zone(out, IcsZone::europe_rome);
    EXPECT_TRUE(out.commit());
    EXPECT_TRUE(file.starts_with("BEGIN:VTIMEZONE\r\nTZID:Europe/Rome\r\n")) << file;
    EXPECT_TRUE(file.ends_with("END:STANDARD\r\nEND:VTIMEZONE\r\n")) << file;
    EXPECT_EQ(ics_zone_parameter(IcsZone::europe_rome), ";TZID=Europe/Rome");
    EXPECT_EQ(ics_zone_parameter(IcsZone::floating), "");
}

}  // namespace
}  // namespace gironario
