#include "io/zip_archive.hpp"

#include <gtest/gtest.h>

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

// `one` with a field of its local header set, and the same field of its central directory entry,
// which stands two bytes further in.
std::string with_field(std::size_t at, std::uint32_t value, std::size_t width = 4) {
    std::string bytes = one;
    patch(bytes, at, value, width);
    patch(bytes, central(bytes) + at + 2, value, width);
    return bytes;
}

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
    const struct {
        std::string bytes;
        std::string expected;
        std::string member = "a.txt";
        std::size_t limit = ZIP_MEMBER_LIMIT;
    } cases[] = {
        {make_zip({{"b/", "", false}, {"a.txt", text, false}}), "names: b/ a.txt | " + text},
        {make_zip({{"a.txt", text}, {"b.txt", "b"}}, "a comment PK\x05\x06"),
         "names: a.txt b.txt | " + text},
        {make_zip({{"b.txt", "b"}}), "names: b.txt | error: nell'archivio zip manca il file a.txt"},
        {one, "names: a.txt | error: nell'archivio zip manca il file A.TXT", "A.TXT"},
        {"PK\x03\x04 a text that only starts like one",
         "open: il file non \xE8 un archivio zip: manca l'elenco dei file"},
        {one.substr(0, one.size() - 3),
         "open: il file non \xE8 un archivio zip: manca l'elenco dei file"},
        {one.substr(central(one)),
         "open: il file \xE8 un archivio zip danneggiato: l'elenco dei file non si legge"},
        {[] {
             std::string bytes = one;
             bytes.insert(central(one) + 46 + 5, std::string(20, '\0'));
             patch(bytes, central(one) + 46 + 5, 0x07064b50);
             patch(bytes, bytes.size() - 6, static_cast<std::uint32_t>(central(one)));
             return bytes;
         }(),
         "open: il file \xE8 un archivio zip64, che non si legge: salvarlo di nuovo come zip"},
        {with_field(14, 0x12345678), damaged},
        {[] {
             std::string bytes = one;
             bytes[30] = 'A';
             return bytes;
         }(),
         damaged},
        {with_field(6, 1, 2),
         "names: a.txt | error: il file a.txt dell'archivio zip \xE8 cifrato: salvarlo senza "
         "password"},
        {with_field(8, 12, 2),
         "names: a.txt | error: il file a.txt dell'archivio zip \xE8 compresso con il metodo 12, "
         "che non si legge"},
        {[] {
             std::string bytes = one;
             patch(bytes, central(bytes) + 42, 0x00FFFFFF);
             return bytes;
         }(),
         damaged},
        // Declared smaller than it inflates: the bomb check must not trust the data.
        {with_field(22, 10), damaged},
        {[] {
             std::string bytes = one;
             bytes[40] = static_cast<char>(bytes[40] ^ 0x55);
             return bytes;
         }(),
         damaged},
        {one,
         "names: a.txt | error: il file a.txt dell'archivio zip \xE8 troppo grande: estratto "
         "passerebbe 40 byte",
         "a.txt", 40},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outcome(c.bytes, c.member, c.limit), c.expected) << c.expected;
    }
}

}  // namespace
}  // namespace gironario
