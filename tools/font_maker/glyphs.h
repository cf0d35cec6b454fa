#pragma once

// The game's bitmap font, drawn by hand on a 5 x 9 grid: rows 0 to 6 hold
// capitals and digits (row 6 is the baseline), rows 7 and 8 the descenders.
// '#' is ink, anything else is blank; rows not given are blank.
struct GlyphPattern {
    char code;
    const char* rows[9];
};

const int GLYPH_ROWS = 9;

extern const GlyphPattern GLYPHS[];
extern const int GLYPH_COUNT;
