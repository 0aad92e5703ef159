#pragma once

// Text brought to one form for comparing what people type: letter case, accents, the shape of
// an apostrophe and the amount of white space make no difference, whatever the encoding.

#include <string>
#include <string_view>

namespace gironario {

// Appends `bytes` (UTF-8 when `utf8`, else Windows-1252) to `out` folded: ASCII letters small,
// the Latin letters with marks as their plain letters (à as a, ß as ss, œ as oe), typographic
// apostrophes as ', and each run of white space (no-break space and line breaks included) as one
// space, none at either end. Other characters stay, in UTF-8, so two encodings of one text fold
// alike.
void append_folded(std::string& out, std::string_view bytes, bool utf8);

inline std::string folded(std::string_view bytes, bool utf8) {
    std::string out;
    append_folded(out, bytes, utf8);
    return out;
}

}  // namespace gironario
