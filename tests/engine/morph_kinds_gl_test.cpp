#include "engine/ui/string_morph.h"

#include <string>

#include <gtest/gtest.h>

// After gtest: the GL layer's X headers define None.
#include <alleggl.h>
#include <allegro.h>

#include "engine/core/attributes.h"
#include "engine/core/colour.h"
#include "tests/engine/gl_draw_fixture.h"

using namespace orvel;

namespace {

const PropertyKey GL_FONT("glFont");

class StringMorphGlTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        glFont = allegro_gl_convert_allegro_font_ex(font, AGL_FONT_TYPE_TEXTURED, 1.0f, GL_ALPHA8);
        ASSERT_NE(glFont, nullptr);
    }

    void TearDown() override {
        glFinish();
        GlobalProperties().Erase(GL_FONT);
        if (glFont != nullptr) {
            allegro_gl_destroy_font(glFont);
        }
    }

    // Lit pixels in the screen rows and columns around (x, y), y down.
    static int LitPixelsNear(int x, int y) {
        int lit = 0;
        for (int row = y - 16; row < y + 16; ++row) {
            for (int column = x; column < x + 80; ++column) {
                lit += ReadPixel(column, 599 - row).r > 128 ? 1 : 0;
            }
        }
        return lit;
    }

    // A white line of text at (100, 100).
    StringMorph& Title(const std::string& text) {
        GlobalProperties()[GL_FONT] = glFont;
        title.SetRect(MorphRect(100, 100, 200, 110));
        title.SetText(text);
        title.SetColour(MakeColour(255, 255, 255, 255));
        return title;
    }

    FONT* glFont = nullptr;
    StringMorph title{"Title", std::string()};
};

TEST_F(StringMorphGlTest, PrintsItsTextAtItsTopLeft) {
    Title("HHHH").DrawSelf();
    EXPECT_GT(LitPixelsNear(100, 100), 20);
    EXPECT_EQ(LitPixelsNear(400, 400), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(StringMorphGlTest, PrintsFormatCharactersAsText) {
    Title("%s%n%s%n%x").DrawSelf();
    EXPECT_GT(LitPixelsNear(100, 100), 20);
}

TEST_F(StringMorphGlTest, DrawsNothingWithoutAFont) {
    Title("HHHH");
    GlobalProperties().Erase(GL_FONT);
    title.DrawSelf();
    EXPECT_EQ(LitPixelsNear(100, 100), 0);
}

}  // namespace
