#include "engine/ui/dialog_box.h"

#include <string>

#include <gtest/gtest.h>

// After gtest: the GL layer's X headers define None.
#include <alleggl.h>
#include <allegro.h>

#include "engine/core/attributes.h"
#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/resources/resource.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/support/temp_folder.h"

using namespace orvel;

namespace {

const PropertyKey GL_FONT("glFont");
const Rgb BLACK = {0, 0, 0};
const Rgb FRAME = {90, 90, 120};
const Rgb PORTRAIT = {200, 100, 50};

class DialogBoxGlTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        ClearDatafilePath();
        glColor4f(1, 1, 1, 1);
        glFont = allegro_gl_convert_allegro_font_ex(font, AGL_FONT_TYPE_TEXTURED, 1.0f, GL_ALPHA8);
        ASSERT_NE(glFont, nullptr);
        GlobalProperties()[GL_FONT] = glFont;
        WriteFile(Dialog::FRAME_PICTURE, FlatBbq(16, 16, FRAME));
        WriteFile("portrait.bbq", FlatBbq(64, 64, PORTRAIT));
        WriteFile("blink_0.bbq", FlatBbq(64, 64, PORTRAIT));
        WriteFile("blink_1.bbq", FlatBbq(64, 64, FRAME));
        WriteFile("blink.sprite",
                  "format_version: 1\nfps: 10\nnum_frames: 2\nframes\n{\n"
                  "blink_0.bbq (0,0)\nblink_1.bbq (0,0)\n}\n");
    }

    void TearDown() override {
        glFinish();
        GlobalProperties().Erase(GL_FONT);
        if (glFont != nullptr) {
            allegro_gl_destroy_font(glFont);
        }
    }

    // White pixels in the box's first line of text.
    static int LitTextPixels(const Dialog& dialog) {
        const DialogLayout layout = dialog.Layout();
        const int x = static_cast<int>(layout.textX);
        const int y = static_cast<int>(layout.lineY[0]);
        int lit = 0;
        for (int row = y - 16; row < y + 16; ++row) {
            for (int column = x; column < x + 64; ++column) {
                const Rgb pixel = ReadPixel(column, row);
                lit += (pixel.r > 200 && pixel.g > 200 && pixel.b > 200) ? 1 : 0;
            }
        }
        return lit;
    }

    TempFolder folder;
    FONT* glFont = nullptr;
};

TEST_F(DialogBoxGlTest, WrapsItsTextBesideThePortrait) {
    // The current font is 8 pixels a character and 8 high: lines 13 apart,
    // and 600 - 64 - 50 = 486 pixels (60 characters) for the text.
    const Dialog dialog("Hello there*second line", 600, MakeColour(255, 255, 255, 255),
                        MakeColour(0, 0, 0, 128), "portrait.bbq");
    EXPECT_EQ(dialog.GetLineSpacing(), 13);
    EXPECT_EQ(dialog.GetLines(), (std::vector<std::string>{"Hello there", "second line"}));
    EXPECT_EQ(dialog.GetHeight(), 76);
    EXPECT_EQ(dialog.GetWidth(), 600);
    EXPECT_EQ(dialog.GetBoxColour(), MakeColour(0, 0, 0, 128));

    const Dialog tall("short", 600, 0, 0, "portrait.bbq");
    EXPECT_EQ(tall.GetHeight(), 64);
}

TEST_F(DialogBoxGlTest, WordTooLongForTheRoomLeavesNoDialog) {
    EXPECT_THROW(Dialog(std::string(61, 'w'), 600, 0, 0, "portrait.bbq"), ExceptionGeneral);
    EXPECT_NO_THROW(Dialog(std::string(60, 'w'), 600, 0, 0, "portrait.bbq"));
}

TEST_F(DialogBoxGlTest, FrameSpansTheBoxWidthAndThePortraitIsCentred) {
    Dialog dialog("Hello there*second line", 600, MakeColour(255, 255, 255, 255),
                  MakeColour(0, 0, 0, 128), "portrait.bbq");
    dialog.x = 0;
    dialog.y = 300;
    dialog.Draw();
    // The box runs from y 224 to 300; the portrait from 230 to 294.
    ExpectPixel(150, 226, FRAME, "left half");
    ExpectPixel(350, 226, FRAME, "right half, just past the middle");
    ExpectPixel(595, 226, FRAME, "right half, near the right edge");
    ExpectPixel(650, 226, BLACK, "right of the box");
    ExpectPixel(150, 310, BLACK, "above the box");
    ExpectPixel(30, 262, PORTRAIT, "portrait");
    ExpectPixel(30, 227, FRAME, "below the portrait");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// Switching the display away destroys the font and the textures; the box
// must draw with what is current afterwards, not with what it was built with.
TEST_F(DialogBoxGlTest, DrawsWithTheFontCurrentAtEachDraw) {
    Dialog dialog("HHHH", 600, MakeColour(255, 255, 255, 255), 0, "portrait.bbq");
    dialog.x = 0;
    dialog.y = 300;
    dialog.Draw();
    EXPECT_GT(LitTextPixels(dialog), 20);

    dialog.UnloadTextures();
    EXPECT_FALSE(dialog.GetFrameTexture().IsLoaded());
    GlobalProperties().Erase(GL_FONT);
    allegro_gl_destroy_font(glFont);
    glFont = allegro_gl_convert_allegro_font_ex(font, AGL_FONT_TYPE_TEXTURED, 1.0f, GL_ALPHA8);
    ASSERT_NE(glFont, nullptr);
    GlobalProperties()[GL_FONT] = glFont;
    dialog.ReloadTextures();
    EXPECT_TRUE(dialog.GetFrameTexture().IsLoaded());

    glClear(GL_COLOR_BUFFER_BIT);
    dialog.Draw();
    EXPECT_GT(LitTextPixels(dialog), 20);
    ExpectPixel(350, 290, FRAME, "frame after the switch");
}

TEST_F(DialogBoxGlTest, PortraitPlaysOnceAndHoldsItsLastFrame) {
    Dialog dialog("Hi", 600, 0, 0, "blink.sprite");
    const SpritePtr& portrait = dialog.GetPortrait();
    EXPECT_EQ(portrait->callback, &dialog);
    dialog.GetSpriteManager()->Update(0.15f);
    EXPECT_EQ(portrait->GetFrame(), 1);
    dialog.GetSpriteManager()->Update(0.1f);
    EXPECT_EQ(portrait->GetFrame(), 1);
    EXPECT_EQ(portrait->GetFrameTime(), 0.0f);
    dialog.GetSpriteManager()->Update(1.0f);
    EXPECT_EQ(portrait->GetFrame(), 1);
}

TEST_F(DialogBoxGlTest, MissingPicturesAreFileErrors) {
    EXPECT_THROW(Dialog("Hi", 600, 0, 0, "nobody.bbq"), ExceptionFileNotFound);
    boost::filesystem::remove(Dialog::FRAME_PICTURE);
    EXPECT_THROW(Dialog("Hi", 600, 0, 0, "portrait.bbq"), ExceptionFileNotFound);
}

}  // namespace
