#include "app/graphics_mode.h"

#include <alleggl.h>
#include <allegro.h>

#include "engine/core/exception.h"
#include "engine/core/int_to_string.h"

namespace {

const double NEAR_PLANE = 0.01;
const double FAR_PLANE = 1000.0;

std::string ModeText(int width, int height, int bpp, bool fullscreen) {
    return orvel::IntToString(width) + "x" + orvel::IntToString(height) + " @ " +
           orvel::IntToString(bpp) + "bpp " + (fullscreen ? "fullscreen" : "windowed");
}

}  // namespace

bool SetGraphicsMode(int width, int height, int bpp, bool fullscreen) {
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_WINDOWED, fullscreen ? FALSE : TRUE);
    allegro_gl_set(AGL_COLOR_DEPTH, bpp);
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_DOUBLEBUFFER | AGL_WINDOWED);
    if (set_gfx_mode(GFX_OPENGL, width, height, 0, 0) != 0) {
        throw orvel::ExceptionGeneral("Couldn't get graphics mode: " +
                                      ModeText(width, height, bpp, fullscreen));
    }

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
    allegro_gl_flip();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, NEAR_PLANE, FAR_PLANE);

    if (allegro_gl_get(AGL_COLOR_DEPTH) == 16) {
        set_color_conversion(COLORCONV_REDUCE_TRUE_TO_HI);
    }
    return !allegro_gl_get(AGL_WINDOWED);
}

void SetFixedGlState() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_FLAT);
    glPolygonMode(GL_FRONT, GL_FILL);
}
