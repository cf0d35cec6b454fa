#include "app/graphics_mode.h"

#include <gtest/gtest.h>

#include "app/gl_check.h"
#include "app/gl_font.h"
#include "tests/support/gl_context.h"

// After gtest, whose names the X headers' macros would replace.
#include <alleggl.h>
#include <allegro.h>

namespace {

class GraphicsModeTest : public GlTest {};

// Under X the OpenGL layer may open a window when fullscreen was asked for
// (Xvfb has no fullscreen GLX): the answer follows what the layer reports.
TEST_F(GraphicsModeTest, FullscreenFlagFollowsTheModeThatWasSet) {
    for (bool asked : {true, false}) {
        const bool fullscreen = SetGraphicsMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_DEPTH, asked);
        EXPECT_EQ(fullscreen, allegro_gl_get(AGL_WINDOWED) == 0) << "asked " << asked;
        if (!asked) {
            EXPECT_FALSE(fullscreen);
        }
        EXPECT_EQ(SCREEN_W, SCREEN_WIDTH);
        EXPECT_EQ(SCREEN_H, SCREEN_HEIGHT);
    }
}

TEST_F(GraphicsModeTest, FixedStateAndProjection) {
    SetGraphicsMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_DEPTH, false);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    SetFixedGlState();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);

    // The projection puts (0, 0) at the bottom left and (800, 600) at the top right.
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0] * SCREEN_WIDTH + projection[12], 1.0f, 1e-5f);
    EXPECT_NEAR(projection[12], -1.0f, 1e-5f);
    EXPECT_NEAR(projection[5] * SCREEN_HEIGHT + projection[13], 1.0f, 1e-5f);
    EXPECT_NEAR(projection[13], -1.0f, 1e-5f);
}

TEST_F(GraphicsModeTest, TheTestDisplayPassesTheOpenGlCheck) { EXPECT_NO_THROW(CheckOpenGl()); }

TEST_F(GraphicsModeTest, ConvertedFontIsReleasedWithItsHandle) {
    GlFontPtr glFont = ConvertGameFont();
    ASSERT_NE(glFont, nullptr);
    EXPECT_GT(text_length(glFont.get(), "Gearhaven"), 0);
    glFont.reset();
}

}  // namespace
