#include "engine/ui/sprite_morph_highlighter.h"

#include <gtest/gtest.h>

#include "engine/core/colour.h"
#include "engine/ui/morph.h"
#include "engine/ui/sprite_morph_border_highlighter.h"

using namespace orvel;

namespace {

const int32_t UNCHANGED = MakeColour(1, 2, 3, 4);

// The tint of each state; states without a tint leave the colour as it was.
const struct {
    uint8_t state;
    int32_t colour;
} TINTS[] = {
    {0, MakeColour(255, 255, 255, 255)},
    {1, MakeColour(200, 200, 200, 255)},
    {2, MakeColour(220, 220, 220, 255)},
    {3, MakeColour(255, 255, 255, 128)},
    {4, MakeColour(255, 255, 255, 0)},
    {5, UNCHANGED},
    {255, UNCHANGED},
};

TEST(HighlighterTest, TintHighlighterStartsNormalAndTintsByState) {
    Morph morph("Button");
    SpriteMorphHighlighter highlighter(&morph);
    EXPECT_EQ(morph.GetColour(), MakeColour(220, 220, 220, 255));
    for (const auto& tint : TINTS) {
        morph.SetColour(UNCHANGED);
        highlighter.SetState(tint.state);
        EXPECT_EQ(morph.GetColour(), tint.colour) << "state " << int(tint.state);
    }
}

TEST(HighlighterTest, BorderHighlighterTintsAndShowsItsBorderOnlyOnMouseOver) {
    Morph morph("Button");
    SpriteMorphBorderHighlighter highlighter(&morph, MakeColour(0, 0, 0, 255));
    EXPECT_EQ(morph.GetColour(), MakeColour(220, 220, 220, 255));
    EXPECT_FALSE(highlighter.IsBorderShown());
    for (const auto& tint : TINTS) {
        morph.SetColour(UNCHANGED);
        highlighter.SetState(tint.state);
        EXPECT_EQ(morph.GetColour(), tint.colour) << "state " << int(tint.state);
        EXPECT_EQ(highlighter.IsBorderShown(), tint.state == 0) << "state " << int(tint.state);
    }
    highlighter.SetState(0);
    EXPECT_TRUE(highlighter.IsBorderShown());
    highlighter.SetState(2);
    EXPECT_FALSE(highlighter.IsBorderShown());
}

TEST(HighlighterTest, MorphPassesItsHighlightStateOn) {
    Morph morph("Button");
    morph.SetHighlighter(std::make_shared<SpriteMorphHighlighter>(&morph));
    morph.SetHighlightState(1);
    EXPECT_EQ(morph.GetColour(), MakeColour(200, 200, 200, 255));
}

}  // namespace
