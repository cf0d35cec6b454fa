#include "app/display_loop_host.h"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "app/gl_font.h"
#include "app/program_constants.h"
#include "app/services.h"
#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "engine/resources/resource.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/ui/screen_file.h"
#include "engine/ui/screen_morph.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/engine/null_input_source.h"

// After gtest, whose names the X headers' macros would replace.
#include <alleggl.h>
#include <allegro.h>

namespace {

class TextureState : public orvel::State {
public:
    orvel::StatePtr Update(const orvel::Input&, float) override { return nullptr; }
    void Draw() override {}
    void UnloadTextures() override { ++unloads; }
    void ReloadTextures() override { ++reloads; }
    PropertyKey GetName() const override { return PropertyKey("TEXTURE_STATE"); }

    int unloads = 0;
    int reloads = 0;
};

class DisplayLoopHostTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        orvel::ClearDatafilePath();
        backend = std::make_shared<orvel::FakeVoiceBackend>();
        soundManager = std::make_shared<orvel::SoundManager>(8, backend);
        music = std::make_shared<orvel::OggPlayer>(backend);
        music->Open("tests/data/sound/mono_1s.ogg");
        ASSERT_TRUE(music->StartStream());
        glFont = ConvertGameFont();
        orvel::GlobalProperties()[KEY_GL_FONT] = glFont.get();
    }
    void TearDown() override {
        glFinish();
        ReleaseServices();
    }

    // Pixels of a screen rectangle (y down, as morphs count it) near white.
    static int WhitePixelsIn(int left, int top, int right, int bottom) {
        int white = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const Rgb pixel = ReadPixel(x, 599 - y);
                white += (pixel.r > 200 && pixel.g > 200 && pixel.b > 200) ? 1 : 0;
            }
        }
        return white;
    }

    orvel::Input input{std::make_shared<NullInputSource>()};
    std::shared_ptr<orvel::FakeVoiceBackend> backend;
    orvel::SoundManagerPtr soundManager;
    orvel::OggPlayerPtr music;
    GlFontPtr glFont;
};

// Losing the display lets go of what lives on it but keeps the OpenGL mode,
// in fullscreen too; getting it back restores the fixed state and reloads.
TEST_F(DisplayLoopHostTest, SwitchOutKeepsTheModeAndSwitchInReloads) {
    for (bool fullscreen : {true, false}) {
        DisplayLoopHost host(input, fullscreen, glFont, soundManager, music);
        TextureState state;
        const int streamsBefore = backend->GetStreamsMade();

        host.SwitchOut(state);
        EXPECT_EQ(state.unloads, 1);
        EXPECT_EQ(glFont, nullptr);
        EXPECT_FALSE(music->IsStreaming());
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(SCREEN_W, 800);
        host.BeginFrame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        glDisable(GL_BLEND);
        host.SwitchIn(state);
        EXPECT_EQ(state.reloads, 1);
        ASSERT_NE(glFont, nullptr);
        EXPECT_EQ(orvel::GlobalProperties().GetFont(KEY_GL_FONT), glFont.get());
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(music->IsStreaming());
        EXPECT_EQ(backend->GetStreamsMade(), streamsBefore + 1);
    }
}

// Switching the display away destroys the GL font and switching back in
// makes another; a screen with text and pictures must draw with the new font
// and reloaded textures, never with what it held before.
TEST_F(DisplayLoopHostTest, ScreenDrawsAfterTheDisplayComesBack) {
    DisplayLoopHost host(input, false, glFont, soundManager, music);
    const std::shared_ptr<orvel::ScreenMorph> screen = std::make_shared<orvel::ScreenMorph>();
    orvel::LoadScreen(screen.get(), "tests/data/ui_test/menu.txt");
    // The title "Gearhaven" in white from (110, 250); the red panel from (100, 50).
    const Rgb panel = {180, 40, 40};

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        glClear(GL_COLOR_BUFFER_BIT);
        screen->Draw();
        EXPECT_GT(WhitePixelsIn(110, 245, 200, 265), 20);
        ExpectPixel(130, 599 - 80, panel, "panel");

        host.SwitchOut(*screen);
        EXPECT_FALSE(orvel::GlobalProperties().Contains(KEY_GL_FONT));
        host.SwitchIn(*screen);
        glDisable(GL_BLEND);
    }
}

}  // namespace
