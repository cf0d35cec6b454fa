#include "engine/ui/sprite_morph_border_highlighter.h"

#include "engine/ui/morph.h"
#include "engine/ui/screen_drawing.h"

namespace orvel {

namespace {

const uint8_t INITIAL_STATE = 2;
const uint8_t MOUSE_OVER_STATE = 0;

}  // namespace

SpriteMorphBorderHighlighter::SpriteMorphBorderHighlighter(Morph* morph, int32_t borderColour)
    : tint(morph), morph(morph), borderColour(borderColour) {
    SetState(INITIAL_STATE);
}

void SpriteMorphBorderHighlighter::Draw() {
    if (border) {
        DrawScreenRectAlpha(morph->GetRect(), borderColour);
    }
}

void SpriteMorphBorderHighlighter::SetState(uint8_t state) {
    border = state == MOUSE_OVER_STATE;
    tint.SetState(state);
}

}  // namespace orvel
