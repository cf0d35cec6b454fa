// Draws the game's bitmap font as a glyph sheet and saves it as an 8-bit PCX
// that the datafile tool turns into a font object. The sheet holds one cell
// per character from ' ' to '~', in order, each surrounded by a one-pixel
// border of colour 255; ink is colour 1 and the rest colour 0, so the font
// is read as a one-colour font that the text renderer can tint.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <allegro.h>

#include "tools/font_maker/glyphs.h"

namespace {

const int FIRST_CHARACTER = ' ';
const int CELLS_PER_ROW = 16;
const int BORDER_COLOUR = 255;
const int INK_COLOUR = 1;
const int PAPER_COLOUR = 0;
// Each pattern pixel is drawn as a SCALE x SCALE block.
const int SCALE = 2;
// A blank pattern row above every glyph keeps lines of text apart.
const int LEADING_ROWS = 1;
const int SPACE_COLUMNS = 3;
const int PATTERN_COLUMNS = 5;

bool IsInk(const GlyphPattern& glyph, int row, int column) {
    const char* text = glyph.rows[row];
    return text != nullptr && text[column] == '#';
}

// The pattern columns that a glyph uses: blank columns on both sides are
// dropped, so narrow characters take less room on the line.
void InkedColumns(const GlyphPattern& glyph, int& first, int& last) {
    first = PATTERN_COLUMNS;
    last = -1;
    for (int row = 0; row < GLYPH_ROWS; ++row) {
        for (int column = 0; column < PATTERN_COLUMNS; ++column) {
            if (IsInk(glyph, row, column)) {
                first = column < first ? column : first;
                last = column > last ? column : last;
            }
        }
    }
}

// Width of a glyph's cell interior in pixels, with one column of spacing.
int CellWidth(const GlyphPattern& glyph) {
    int first = 0;
    int last = 0;
    InkedColumns(glyph, first, last);
    const int columns = last < first ? SPACE_COLUMNS : last - first + 2;
    return columns * SCALE;
}

int CellHeight() { return (GLYPH_ROWS + LEADING_ROWS) * SCALE; }

void DrawGlyph(BITMAP* sheet, const GlyphPattern& glyph, int left, int top) {
    rectfill(sheet, left, top, left + CellWidth(glyph) - 1, top + CellHeight() - 1, PAPER_COLOUR);
    int first = 0;
    int last = 0;
    InkedColumns(glyph, first, last);
    for (int row = 0; row < GLYPH_ROWS; ++row) {
        for (int column = first; column <= last; ++column) {
            if (IsInk(glyph, row, column)) {
                const int x = left + (column - first) * SCALE;
                const int y = top + (row + LEADING_ROWS) * SCALE;
                rectfill(sheet, x, y, x + SCALE - 1, y + SCALE - 1, INK_COLOUR);
            }
        }
    }
}

// Width of the sheet: the widest row of cells, borders included.
int SheetWidth() {
    int widest = 0;
    for (int start = 0; start < GLYPH_COUNT; start += CELLS_PER_ROW) {
        int width = 1;
        for (int i = start; i < GLYPH_COUNT && i < start + CELLS_PER_ROW; ++i) {
            width += CellWidth(GLYPHS[i]) + 1;
        }
        widest = width > widest ? width : widest;
    }
    return widest;
}

BITMAP* DrawSheet() {
    const int rows = (GLYPH_COUNT + CELLS_PER_ROW - 1) / CELLS_PER_ROW;
    BITMAP* sheet = create_bitmap_ex(8, SheetWidth(), 1 + rows * (CellHeight() + 1));
    if (sheet == nullptr) {
        return nullptr;
    }
    clear_to_color(sheet, BORDER_COLOUR);
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        const int row = i / CELLS_PER_ROW;
        int left = 1;
        for (int j = row * CELLS_PER_ROW; j < i; ++j) {
            left += CellWidth(GLYPHS[j]) + 1;
        }
        DrawGlyph(sheet, GLYPHS[i], left, 1 + row * (CellHeight() + 1));
    }
    return sheet;
}

void MakePalette(PALETTE palette) {
    for (int i = 0; i < PAL_SIZE; ++i) {
        palette[i].r = palette[i].g = palette[i].b = 0;
    }
    // Allegro palettes hold 6-bit components.
    palette[INK_COLOUR].r = palette[INK_COLOUR].g = palette[INK_COLOUR].b = 63;
    palette[BORDER_COLOUR].r = palette[BORDER_COLOUR].g = 63;
}

bool GlyphsInOrder() {
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        if (GLYPHS[i].code != FIRST_CHARACTER + i) {
            std::fprintf(stderr, "font_maker: glyph %d is '%c', expected '%c'\n", i, GLYPHS[i].code,
                         FIRST_CHARACTER + i);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: font_maker <output.pcx>\n");
        return 2;
    }
    if (!GlyphsInOrder()) {
        return 1;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "font_maker: the game library did not start\n");
        return 1;
    }
    BITMAP* sheet = DrawSheet();
    if (sheet == nullptr) {
        std::fprintf(stderr, "font_maker: out of memory\n");
        return 1;
    }
    PALETTE palette;
    MakePalette(palette);
    const int result = save_pcx(argv[1], sheet, palette);
    destroy_bitmap(sheet);
    if (result != 0) {
        std::fprintf(stderr, "font_maker: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
