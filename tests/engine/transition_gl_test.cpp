#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/core/input.h"
#include "engine/state/fade_transition.h"
#include "engine/state/slide_transition.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/engine/null_input_source.h"

namespace {

// Remembers the model-view translation it was drawn with, and paints the
// whole screen in its grey level.
class PaintingState : public orvel::State {
public:
    explicit PaintingState(float grey) : grey(grey) {}
    orvel::StatePtr Update(const orvel::Input&, float) override { return nullptr; }
    void Draw() override {
        GLfloat matrix[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        drawnAtX = matrix[12];
        drawnAtY = matrix[13];
        ++draws;
        glDisable(GL_BLEND);
        glColor4f(grey, grey, grey, 1.0f);
        glRectf(0.0f, 0.0f, 800.0f, 600.0f);
    }
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    PropertyKey GetName() const override { return "transitionGlTestState"; }

    float grey;
    float drawnAtX = 0.0f;
    float drawnAtY = 0.0f;
    int draws = 0;
};

class TransitionGlTest : public GlDrawTest {
protected:
    // The screens are drawn 3 units in front of the eye; the transitions must
    // leave that translation as they found it.
    void SetUp() override {
        GlDrawTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, 0.01, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(0.0f, 0.0f, -3.0f);
    }

    static int RedAt(int x, int y) { return ReadPixel(x, y).r; }

    orvel::Input input{std::make_shared<NullInputSource>()};
    std::shared_ptr<PaintingState> from = std::make_shared<PaintingState>(1.0f);
    std::shared_ptr<PaintingState> to = std::make_shared<PaintingState>(0.5f);
};

}  // namespace

// Halfway through a slide up on the 800x600 display both screens are drawn,
// each moved by its own offset, and the matrix is left as it was.
TEST_F(TransitionGlTest, SlideDrawsBothScreensAtTheirOffsets) {
    orvel::StateTransitionSlideUp slide(from, to, 0.5f);
    for (int i = 0; i < 5; ++i) {
        slide.Update(input, 0.05f);
    }
    slide.Draw();
    EXPECT_EQ(from->draws, 1);
    EXPECT_EQ(to->draws, 1);
    EXPECT_NEAR(from->drawnAtY, 300.0f, 0.01f);
    EXPECT_NEAR(to->drawnAtY, -300.0f, 0.01f);
    EXPECT_NEAR(from->drawnAtX, 0.0f, 0.01f);
    // The outgoing screen shows in the upper half, the incoming one below.
    EXPECT_EQ(RedAt(400, 500), 255);
    EXPECT_NEAR(RedAt(400, 100), 128, 1);
    GLfloat matrix[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[13], 0.0f);
    EXPECT_FLOAT_EQ(matrix[14], -3.0f);
}

// A quarter into a fade the old white screen is darkened by the overlay.
TEST_F(TransitionGlTest, FadeDarkensTheScreenWithTheOverlay) {
    orvel::StateTransitionFade fade(from, to, 1.0f);
    for (int i = 0; i < 4; ++i) {
        fade.Update(input, 0.0625f);
    }
    fade.Draw();
    EXPECT_EQ(from->draws, 1);
    EXPECT_EQ(to->draws, 0);
    // White under black at alpha 1 - sin(pi/4).
    EXPECT_NEAR(RedAt(400, 300), 180, 2);
    GLboolean blend = GL_TRUE;
    glGetBooleanv(GL_BLEND, &blend);
    EXPECT_EQ(blend, GL_FALSE);  // the attributes were restored
}
