#include "app/gl_font.h"

#include <alleggl.h>
#include <allegro.h>

#include "engine/core/exception.h"

namespace {
void DestroyGlFont(FONT* glFont) { allegro_gl_destroy_font(glFont); }
}  // namespace

GlFontPtr ConvertGameFont() {
    FONT* glFont =
        allegro_gl_convert_allegro_font_ex(font, AGL_FONT_TYPE_TEXTURED, 1.0f, GL_ALPHA8);
    if (glFont == nullptr) {
        throw orvel::ExceptionGeneral("Unable to convert font!");
    }
    return GlFontPtr(glFont, DestroyGlFont);
}
