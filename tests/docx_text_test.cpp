#include "calendar/docx_text.hpp"

#include <gtest/gtest.h>

#include <string>

#include "fixtures/zip_builder.hpp"

namespace gironario {
namespace {

std::string lines_of(std::string_view body) {
    const std::string bytes = testing::docx(body);
    ZipArchive archive;
    std::string error;
    std::string text;
    if (!archive.open(bytes, error) || !is_docx(archive) ||
        !read_docx_lines(archive, text, error)) {
        return "error: " + error;
    }
    return text;
}

TEST(DocxText, Lines) {
    const struct {
        std::string body;
        std::string expected;
    } cases[] = {
        {"<w:p><w:pPr><w:tabs><w:tab w:val='left' w:pos='720'/></w:tabs></w:pPr><w:r><w:t>1 "
         "04/10/26</w:t><w:tab/><w:t>18:00</w:t></w:r><w:r><w:br/><w:t xml:space='preserve'> "
         "Lorvane</w:t><w:delText>via</w:delText><w:instrText>PAGE</w:instrText></w:r></w:p>"
         "<w:p/><w:p><w:r><w:t>fine</w:t></w:r></w:p>",
         "1 04/10/26\t18:00  Lorvane\n\nfine\n"},
        {"<w:tbl><w:tblGrid/><w:tr><w:tc><w:p><w:r><w:t>1</w:t></w:r></w:p></w:tc><w:tc><w:p>"
         "<w:r><w:t>04/10/26</w:t></w:r></w:p><w:p><w:r><w:t>18:00</w:t></w:r></w:p></w:tc>"
         "<w:tc><w:p/></w:tc></w:tr><w:tr><w:tc><w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r>"
         "</w:p></w:tc><w:tc><w:p><w:r><w:t>b</w:t></w:r></w:p></w:tc></w:tr></w:tbl></w:tc>"
         "</w:tr></w:tbl><w:p><w:r><w:t>dopo</w:t></w:r></w:p>",
         "1\t04/10/26 18:00\t\na b\ndopo\n"},
        {"<w:p><w:r><mc:AlternateContent><mc:Choice><w:drawing><w:txbxContent><w:p><w:r><w:t>"
         "riquadro</w:t></w:r></w:p></w:txbxContent></w:drawing></mc:Choice><mc:Fallback><w:p>"
         "<w:r><w:t>riquadro</w:t></w:r></w:p></mc:Fallback></mc:AlternateContent><w:t>testo"
         "</w:t></w:r></w:p>",
         "riquadro testo\n"},
        {"<w:p><w:r><w:t>a</w:r></w:p>",
         "error: il documento \xE8 danneggiato: il testo XML chiude </w:r> dove va chiuso <w:t>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lines_of(c.body), c.expected) << c.body;
    }
}

}  // namespace
}  // namespace gironario
