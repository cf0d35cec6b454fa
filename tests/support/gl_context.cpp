#include "tests/support/gl_context.h"

#include <cerrno>
#include <string>

#include <allegro.h>
// After allegro.h, which it needs.
#include <alleggl.h>

namespace {

const int SCREEN_WIDTH = 800;
const int SCREEN_HEIGHT = 600;

// Empty when the context is open, else why it is not.
std::string OpenContext() {
    // No exit handler: tearing the context down at exit unloads the GL
    // driver, whose last allocations then show up as leaks without a name.
    if (install_allegro(SYSTEM_AUTODETECT, &errno, nullptr) != 0) {
        return std::string("install_allegro failed: ") + allegro_error;
    }
    if (install_allegro_gl() != 0) {
        return std::string("install_allegro_gl failed: ") + allegro_error;
    }
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, 32);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_WINDOWED, TRUE);
    // The software renderer fails a required render method, so it is only suggested.
    allegro_gl_set(AGL_RENDERMETHOD, 1);
    allegro_gl_set(AGL_REQUIRE, AGL_COLOR_DEPTH | AGL_DOUBLEBUFFER);
    allegro_gl_set(AGL_SUGGEST, AGL_WINDOWED | AGL_RENDERMETHOD);
    set_color_depth(32);
    if (set_gfx_mode(GFX_OPENGL_WINDOWED, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0) != 0) {
        return std::string("set_gfx_mode failed: ") + allegro_error;
    }
    return std::string();
}

}  // namespace

void EnsureGlContext() {
    static const std::string failure = OpenContext();
    ASSERT_EQ(failure, "") << "no OpenGL context (is DISPLAY set?)";
}

void GlTest::SetUp() { EnsureGlContext(); }
