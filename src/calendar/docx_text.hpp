#pragma once

// Word documents (.docx): their text as lines, a table row on one line, so that a calendar
// typed into a document, or laid out as a table, reads as a text calendar does.

#include <string>

#include "io/zip_archive.hpp"

namespace gironario {

// Whether the archive is a Word document (.docx: it holds word/document.xml).
bool is_docx(const ZipArchive& archive);

// The document's text as lines ("\n" after each): each paragraph a line, each table row one
// line with its cells' texts parted by tabs; w:tab a tab, w:br a space. UTF-8.
bool read_docx_lines(const ZipArchive& archive, std::string& text, std::string& error);

}  // namespace gironario
