#include "engine/ui/screen_drawing.h"

#include <allegro.h>
#include <alleggl.h>

#include "engine/resources/rect_drawing.h"

namespace orvel {

void DrawScreenRectAlpha(const MorphRect& rect, int32_t colour) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawOutlineRect(rect.left, UI_SCREEN_HEIGHT - rect.top, rect.right,
                    UI_SCREEN_HEIGHT - rect.bottom, colour);
    glPopAttrib();
}

void DrawGlText(FONT* glFont, float x, float y, int32_t colour, const std::string& text) {
    if (glFont == nullptr) {
        return;
    }
    allegro_gl_printf(glFont, x, y, 0.0f, colour, "%s", text.c_str());
}

}  // namespace orvel
