#pragma once

#include <cstdint>
#include <string>

#include "engine/ui/morph_rect.h"

struct FONT;

namespace orvel {

class Sprite;

// The few GL calls that morphs make, kept apart from the layout code so that
// the layout can be checked without a display. Positions are screen pixels
// (y down) unless said otherwise; the caller's GL state is kept.

// A one-pixel outline of a rect given in screen pixels, in a packed colour,
// blended by its alpha.
void DrawScreenRectAlpha(const MorphRect& rect, int32_t colour);

// Prints `text` with a GL font at (x, y) in GL coordinates (y up), in a
// packed colour. The text is printed as it is: it is never read as a format,
// so a "%" in it is just a character. Nothing is drawn without a font.
void DrawGlText(FONT* glFont, float x, float y, int32_t colour, const std::string& text);

// Sets the sprite's transform to a move to (x, y), GL coordinates; the
// sprite then draws there relative to the current model-view matrix.
void PlaceSprite(Sprite& sprite, float x, float y);

}  // namespace orvel
