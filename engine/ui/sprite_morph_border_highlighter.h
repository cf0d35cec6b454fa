#pragma once

#include <cstdint>

#include "engine/ui/highlighter.h"
#include "engine/ui/sprite_morph_highlighter.h"

namespace orvel {

class Morph;

// Tints its morph as SpriteMorphHighlighter does and, while the mouse is over
// it (state 0), outlines the morph's rect in the border colour. A new one is
// in state 2, so its border is off.
class SpriteMorphBorderHighlighter : public Highlighter {
public:
    SpriteMorphBorderHighlighter(Morph* morph, int32_t borderColour);

    void Update(float) override {}
    void Draw() override;
    void SetState(uint8_t state) override;

    bool IsBorderShown() const { return border; }

private:
    SpriteMorphHighlighter tint;
    bool border = false;
    Morph* morph;  // not owned: the morph owns its highlighter
    int32_t borderColour;
};

}  // namespace orvel
