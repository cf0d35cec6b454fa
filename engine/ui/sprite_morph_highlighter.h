#pragma once

#include <cstdint>

#include "engine/ui/highlighter.h"

namespace orvel {

class Morph;

// Shows a button state by tinting its morph (the tint that a sprite morph
// draws with):
//   0 mouse over      255, 255, 255, 255
//   1 pressed         200, 200, 200, 255
//   2 normal          220, 220, 220, 255
//   3 half visible    255, 255, 255, 128
//   4 invisible       255, 255, 255, 0
// Other states change nothing. A new highlighter puts its morph in state 2.
class SpriteMorphHighlighter : public Highlighter {
public:
    explicit SpriteMorphHighlighter(Morph* morph);

    void Update(float) override {}
    void Draw() override {}
    void SetState(uint8_t state) override;

private:
    Morph* morph;  // not owned: the morph owns its highlighter
};

}  // namespace orvel
