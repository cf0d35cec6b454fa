#include "engine/ui/sprite_morph_highlighter.h"

#include "engine/core/colour.h"
#include "engine/ui/morph.h"

namespace orvel {

namespace {

const uint8_t INITIAL_STATE = 2;

}  // namespace

SpriteMorphHighlighter::SpriteMorphHighlighter(Morph* morph) : morph(morph) {
    SetState(INITIAL_STATE);
}

void SpriteMorphHighlighter::SetState(uint8_t state) {
    static const int32_t tints[] = {
        MakeColour(255, 255, 255, 255), MakeColour(200, 200, 200, 255),
        MakeColour(220, 220, 220, 255), MakeColour(255, 255, 255, 128),
        MakeColour(255, 255, 255, 0),
    };
    if (state < sizeof(tints) / sizeof(tints[0])) {
        morph->SetColour(tints[state]);
    }
}

}  // namespace orvel
