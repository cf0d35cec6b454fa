#include "engine/ui/string_morph.h"

#include <gtest/gtest.h>

#include <allegro.h>

#include "engine/core/attributes.h"
#include "engine/ui/scrollable_morph.h"
#include "tests/support/headless_allegro.h"

using namespace orvel;

namespace {

const PropertyKey GL_FONT("glFont");

// Measures with the game library's built-in font: 8 pixels a character, 8
// high. The registry's font is only checked for presence here.
class MorphKindsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureHeadlessAllegro(); }
    void TearDown() override { GlobalProperties().Erase(GL_FONT); }
};

TEST_F(MorphKindsTest, StringMorphWithoutSizeTakesTheTextsSize) {
    StringMorph title("Title", std::string());
    GlobalProperties()[GL_FONT] = static_cast<FONT*>(font);
    title.SetText("Hello");
    EXPECT_EQ(title.GetRect(), MorphRect(0, 0, 40, 8));
    // Once it has a size, a new text keeps it.
    title.SetText("Hello, world");
    EXPECT_EQ(title.GetRect(), MorphRect(0, 0, 40, 8));
    title.FitToText();
    EXPECT_EQ(title.GetRect(), MorphRect(0, 0, 96, 8));
}

TEST_F(MorphKindsTest, StringMorphWithASizeKeepsIt) {
    StringMorph title("Title", std::string());
    GlobalProperties()[GL_FONT] = static_cast<FONT*>(font);
    title.SetRect(MorphRect(10, 10, 110, 30));
    title.SetText("Hello");
    EXPECT_EQ(title.GetRect(), MorphRect(10, 10, 110, 30));
}

// The font is looked up at each use: switching the display away destroys it
// and switching back in stores another.
TEST_F(MorphKindsTest, StringMorphTakesTheRegistrysCurrentFont) {
    const StringMorph before("Before", "Hello");
    EXPECT_EQ(before.GetFont(), nullptr);
    EXPECT_EQ(before.GetRect(), MorphRect());

    GlobalProperties()[GL_FONT] = static_cast<FONT*>(font);
    EXPECT_EQ(before.GetFont(), font);
    const StringMorph after("After", "Hello");
    EXPECT_EQ(after.GetFont(), font);
    EXPECT_EQ(after.GetRect(), MorphRect(0, 0, 40, 8));
    EXPECT_EQ(after.GetText(), "Hello");
    EXPECT_EQ(after.GetTypeName(), PropertyKey("StringMorph"));
}

TEST_F(MorphKindsTest, EmptyTextKeepsTheSize) {
    StringMorph empty("Empty", std::string());
    GlobalProperties()[GL_FONT] = static_cast<FONT*>(font);
    empty.SetText(std::string());
    EXPECT_EQ(empty.GetRect(), MorphRect());
}

TEST_F(MorphKindsTest, ScrollableMorphIsAContainer) {
    ScrollableMorph list("List");
    EXPECT_EQ(list.GetTypeName(), PropertyKey("ScrollableMorph"));
    list.DrawSelf();
}

}  // namespace
