#include "engine/ui/screen_file.h"

#include <cstdlib>
#include <memory>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/resources/resource.h"
#include "engine/ui/screen_morph.h"
#include "engine/ui/sprite_morph.h"
#include "engine/ui/sprite_morph_border_highlighter.h"
#include "engine/ui/sprite_morph_highlighter.h"
#include "engine/ui/string_morph.h"
#include "tests/engine/gl_draw_fixture.h"

using namespace orvel;

namespace {

const char* const MENU = "tests/data/ui_test/menu.txt";

const Rgb BLACK = {0, 0, 0};
const Rgb PANEL = {180, 40, 40};
const Rgb BUTTON = {40, 160, 60};
// The button as its highlighter's normal state (220 of 255) tints it.
const Rgb BUTTON_NORMAL = {34, 138, 52};
const Rgb LAMP_BLUE = {40, 60, 200};
const Rgb LAMP_YELLOW = {230, 210, 40};
const Rgb OUTLINE = {255, 255, 0};

class ScreenFileGlTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        ClearDatafilePath();
        glColor4f(1, 1, 1, 1);
    }

    void TearDown() override { glFinish(); }

    void DrawScreen() {
        glClear(GL_COLOR_BUFFER_BIT);
        screen->Draw();
        glFinish();
    }

    // The pixel at screen position (x, y), y down as morphs count it.
    static Rgb PixelAt(int x, int y) { return ReadPixel(x, 599 - y); }

    static bool Near(const Rgb& a, const Rgb& b) {
        return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
    }

    static void ExpectPixel(int x, int y, const Rgb& want, const char* what) {
        const Rgb got = PixelAt(x, y);
        EXPECT_TRUE(Near(got, want)) << what << " at (" << x << "," << y << "): got " << got.r
                                     << "," << got.g << "," << got.b;
    }

    // Pixels of one column, rows top to bottom, that show `colour`.
    static int CountInColumn(int x, int top, int bottom, const Rgb& colour) {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            count += Near(PixelAt(x, y), colour) ? 1 : 0;
        }
        return count;
    }

    std::shared_ptr<ScreenMorph> screen = std::make_shared<ScreenMorph>();
};

TEST_F(ScreenFileGlTest, MenuFileBuildsItsTree) {
    Morph* menu = LoadScreen(screen.get(), MENU);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetTypeName(), PropertyKey("ScrollableMorph"));
    EXPECT_EQ(menu->GetRect(), MorphRect(100, 50, 500, 350));
    ASSERT_EQ(menu->GetChildren().size(), 6u);

    const struct {
        const char* name;
        MorphRect rect;
    } morphs[] = {
        {"Panel", MorphRect(100, 50, 164, 114)},  {"Play", MorphRect(120, 170, 160, 190)},
        {"Quit", MorphRect(200, 170, 240, 190)},  {"Lamp", MorphRect(400, 50, 416, 66)},
        {"Title", MorphRect(110, 250, 230, 260)}, {"Outline", MorphRect(100, 50, 500, 350)},
    };
    for (const auto& expected : morphs) {
        const Morph* morph = screen->FindChild(expected.name);
        ASSERT_NE(morph, nullptr) << expected.name;
        EXPECT_EQ(morph->GetRect(), expected.rect) << expected.name;
    }
    EXPECT_NE(
        dynamic_cast<SpriteMorphHighlighter*>(screen->FindChild("Play")->GetHighlighter().get()),
        nullptr);
    EXPECT_NE(dynamic_cast<SpriteMorphBorderHighlighter*>(
                  screen->FindChild("Quit")->GetHighlighter().get()),
              nullptr);
    // The highlighter's name has the wrong case: none, and the colour stays white.
    EXPECT_EQ(screen->FindChild("Lamp")->GetHighlighter(), nullptr);
    EXPECT_EQ(screen->FindChild("Lamp")->GetColour(), MakeColour(255, 255, 255, 255));
    EXPECT_EQ(screen->FindChild("Play")->GetColour(), MakeColour(220, 220, 220, 255));
    EXPECT_EQ(dynamic_cast<StringMorph*>(screen->FindChild("Title"))->GetText(), "Gearhaven");

    // The two buttons share the cached picture.
    EXPECT_EQ(dynamic_cast<SpriteMorph*>(screen->FindChild("Play"))->GetSprite().GetCache(),
              dynamic_cast<SpriteMorph*>(screen->FindChild("Quit"))->GetSprite().GetCache());
    EXPECT_EQ(dynamic_cast<SpriteMorph*>(screen->FindChild("Lamp"))
                  ->GetSprite()
                  .GetCache()
                  ->GetFrameCount(),
              2);
}

TEST_F(ScreenFileGlTest, MenuDrawsItsPicturesStretchedAndTinted) {
    LoadScreen(screen.get(), MENU);
    DrawScreen();
    // The panel's 32-pixel picture fills its 64-pixel rect.
    ExpectPixel(102, 52, PANEL, "panel, top-left");
    ExpectPixel(161, 111, PANEL, "panel, bottom-right");
    ExpectPixel(168, 80, BLACK, "right of the panel");
    ExpectPixel(140, 180, BUTTON_NORMAL, "Play");
    ExpectPixel(220, 180, BUTTON_NORMAL, "Quit");
    ExpectPixel(408, 58, LAMP_BLUE, "lamp");
    ExpectPixel(300, 200, BLACK, "inside the menu");
    EXPECT_EQ(CountInColumn(300, 345, 355, OUTLINE), 1);

    screen->FindChild("Play")->SetHighlightState(0);
    Morph::UpdateTree(*screen, 0.6f);
    DrawScreen();
    ExpectPixel(140, 180, BUTTON, "Play under the mouse");
    ExpectPixel(408, 58, LAMP_YELLOW, "lamp after half a second");
}

TEST_F(ScreenFileGlTest, BorderHighlighterOutlinesTheButtonOnlyUnderTheMouse) {
    LoadScreen(screen.get(), MENU);
    Morph* quit = screen->FindChild("Quit");
    DrawScreen();
    const int greenRows = CountInColumn(220, 160, 200, BUTTON_NORMAL);
    EXPECT_EQ(greenRows, 20);

    quit->SetHighlightState(0);
    DrawScreen();
    EXPECT_LT(CountInColumn(220, 160, 200, BUTTON), 20);

    quit->SetHighlightState(2);
    DrawScreen();
    EXPECT_EQ(CountInColumn(220, 160, 200, BUTTON_NORMAL), 20);
}

TEST_F(ScreenFileGlTest, UnloadedSpritesDrawNothingUntilReloaded) {
    LoadScreen(screen.get(), MENU);
    screen->UnloadTextures();
    DrawScreen();
    ExpectPixel(130, 80, BLACK, "unloaded panel");
    ExpectPixel(140, 180, BLACK, "unloaded button");
    Morph::UpdateTree(*screen, 0.6f);

    screen->ReloadTextures();
    DrawScreen();
    ExpectPixel(130, 80, PANEL, "reloaded panel");
    ExpectPixel(140, 180, BUTTON_NORMAL, "reloaded button");
}

TEST_F(ScreenFileGlTest, DrawingLeavesTheGlStateAsItWas) {
    LoadScreen(screen.get(), MENU);
    SetMarkerColour();
    DrawScreen();
    ExpectColourAndModelViewKept();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(ScreenFileGlTest, SpriteMorphWithoutExtentTakesItsFrameSize) {
    const auto morph = std::make_shared<SpriteMorph>(screen->GetSpriteCacheManager(),
                                                     "tests/data/ui_test/pictures/button.bbq",
                                                     PropertyKey("UntitledSpriteMorph"));
    EXPECT_EQ(morph->GetRect(), MorphRect(0, 0, 40, 20));
    EXPECT_EQ(morph->GetColour(), MakeColour(255, 255, 255, 255));
    EXPECT_EQ(morph->GetTypeName(), PropertyKey("SpriteMorph"));
    EXPECT_FALSE(morph->Update(1.0f));
}

TEST_F(ScreenFileGlTest, MissingAnimationIsAFileError) {
    EXPECT_THROW(
        std::make_shared<SpriteMorph>(screen->GetSpriteCacheManager(),
                                      "tests/data/ui_test/missing.bbq", PropertyKey("Missing")),
        ExceptionFileNotFound);
}

}  // namespace
