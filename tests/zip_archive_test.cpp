#include "io/zip_archive.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fixtures/zip_builder.hpp"

namespace gironario {
namespace {

using testing::make_zip;

// Sets a field of `width` bytes.
void patch(std::string& bytes, std::size_t at, std::uint32_t value, std::size_t width = 4) {
    std::string field;
    testing::put32(field, value);
    bytes.replace(at, width, field.substr(0, width));
}

std::size_t central(const std::string& bytes) {
    return bytes.find("PK\x01\x02");
}

const std::string text = "1 04/10/26 18:00 Lorvane Squadra A - Squadra B\n";
const std::string one = make_zip({{"a.txt", text}});

// What open() and read() make of an archive: its names and the member asked for, or the errors.
std::string outcome(const std::string& bytes, const std::string& member, std::size_t limit) {
    ZipArchive archive;
    std::string error;
    if (!archive.open(bytes, error)) {
        return "open: " + error;
    }
    std::string result = "names:";
    for (const std::string& name : archive.names()) {
        result += " " + name;
    }
    std::string out;
    if (archive.read(member, out, error, limit)) {
        return result + " | " + out;
    }
    EXPECT_TRUE(out.empty());
    return result + " | error: " + error;
}

TEST(ZipArchive, OpensAndReads) {
    const std::string damaged =
        "names: a.txt | error: il file a.txt dell'archivio zip \xE8 danneggiato";
    const std::function<std::string()> archives[] = {
        [] {
            return make_zip({{"b/", "", false}, {"a.txt", text, false}});
        },
        [] {
            return make_zip({{"a.txt", text}, {"b.txt", "b"}}, "a comment PK\x05\x06");
        },
        [] {
            return make_zip({{"b.txt", "b"}});
        },
        [] { return one; },
        [] { return std::string("PK\x03\x04 a text that only starts like one"); },
        [] { return one.substr(0, one.size() - 3); },
        [] { return one.substr(central(one)); },
        [] {
            std::string bytes = one;
            bytes.insert(central(one) + 46 + 5, std::string(20, '\0'));
            patch(bytes, central(one) + 46 + 5, 0x07064b50);
            patch(bytes, bytes.size() - 6, static_cast<std::uint32_t>(central(one)));
            return bytes;
        },
        [] {
            std::string bytes = one;
            patch(bytes, 14, 0x12345678);
            patch(bytes, central(bytes) + 16, 0x12345678);
            return bytes;
        },
        [] {
            std::string bytes = one;
            bytes[30] = 'A';
            return bytes;
        },
        [] {
            std::string bytes = one;
            patch(bytes, 6, 1, 2);
            patch(bytes, central(bytes) + 8, 1, 2);
            return bytes;
        },
        [] {
            std::string bytes = one;
            patch(bytes, 8, 12, 2);
            patch(bytes, central(bytes) + 10, 12, 2);
            return bytes;
        },
        [] {
            std::string bytes = one;
            patch(bytes, central(bytes) + 42, 0x00FFFFFF);
            return bytes;
        },
        [] {
            // Declared smaller than it inflates: the bomb check must not trust the data.
            std::string bytes = one;
            patch(bytes, 22, 10);
            patch(bytes, central(bytes) + 24, 10);
            return bytes;
        },
        [] {
            std::string bytes = one;
            bytes[40] = static_cast<char>(bytes[40] ^ 0x55);
            return bytes;
        },
        [] { return one; },
    };
    const struct {
        std::string member;
        std::size_t limit;
        std::string expected;
    } cases[] = {
        {"a.txt", ZIP_MEMBER_LIMIT, "names: b/ a.txt | " + text},
        {"a.txt", ZIP_MEMBER_LIMIT, "names: a.txt b.txt | " + text},
        {"a.txt", ZIP_MEMBER_LIMIT, "names: b.txt | error: nell'archivio zip manca il file a.txt"},
        {"A.TXT", ZIP_MEMBER_LIMIT, "names: a.txt | error: nell'archivio zip manca il file A.TXT"},
        {"a.txt", ZIP_MEMBER_LIMIT,
         "open: il file non \xE8 un archivio zip: manca l'elenco dei file"},
        {"a.txt", ZIP_MEMBER_LIMIT,
         "open: il file non \xE8 un archivio zip: manca l'elenco dei file"},
        {"a.txt", ZIP_MEMBER_LIMIT,
         "open: il file \xE8 un archivio zip danneggiato: l'elenco dei file non si legge"},
        {"a.txt", ZIP_MEMBER_LIMIT,
         "open: il file \xE8 un archivio zip64, che non si legge: salvarlo di nuovo come zip"},
        {"a.txt", ZIP_MEMBER_LIMIT, damaged},
        {"a.txt", ZIP_MEMBER_LIMIT, damaged},
        {"a.txt", ZIP_MEMBER_LIMIT,
         "names: a.txt | error: il file a.txt dell'archivio zip \xE8 cifrato: salvarlo senza "
         "password"},
        {"a.txt", ZIP_MEMBER_LIMIT,
         "names: a.txt | error: il file a.txt dell'archivio zip \xE8 compresso con il metodo 12, "
         "che non si legge"},
        {"a.txt", ZIP_MEMBER_LIMIT, damaged},
        {"a.txt", ZIP_MEMBER_LIMIT, damaged},
        {"a.txt", ZIP_MEMBER_LIMIT, damaged},
        {"a.txt", 40,
         "names: a.txt | error: il file a.txt dell'archivio zip \xE8 troppo grande: estratto "
         "passerebbe 40 byte"},
    };
    static_assert(std::size(archives) == std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(outcome(archives[i](), cases[i].member, cases[i].limit), cases[i].expected)
            << "row " << i;
    }
}

}  // namespace
}  // namespace gironario
