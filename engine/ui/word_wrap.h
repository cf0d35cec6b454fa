#pragma once

#include <string>
#include <vector>

struct FONT;

namespace orvel {

// Breaks `text` into lines no wider than `fieldWidth` pixels as `font`
// measures them. A "*" is a forced line break and is dropped; a paragraph
// that fits stays one line as it is, a longer one is split at blanks and
// filled greedily. An empty text is one empty line.
//
// Throws ExceptionGeneral when there is no font, when the field is narrower
// than one pixel, and when one word alone is wider than the field
// ("WordWrap: word is longer than fieldWidth: " and the word).
std::vector<std::string> WordWrap(FONT* font, const std::string& text, int fieldWidth);

}  // namespace orvel
