#include "engine/ui/screen_drawing.h"

#include <alleggl.h>
#include <allegro.h>

#include "engine/core/colour.h"
#include "engine/resources/rect_drawing.h"
#include "engine/sprites/sprite.h"

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
    // allegro_gl_printf formats its arguments and then hands the result to
    // allegro_gl_printf_ex as the format, so a "%" in the text would be read
    // as a conversion. The _ex form is called with the text as the argument
    // of "%s", and it draws in the current colour.
    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    glColor4ub(static_cast<GLubyte>(GetRed(colour)), static_cast<GLubyte>(GetGreen(colour)),
               static_cast<GLubyte>(GetBlue(colour)), static_cast<GLubyte>(GetAlpha(colour)));
    allegro_gl_printf_ex(glFont, x, y, 0.0f, "%s", text.c_str());
    glColor4fv(savedColour);
}

void PlaceSprite(Sprite& sprite, float x, float y) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y, 0.0f);
    sprite.LoadMatrix(GL_MODELVIEW);
    glPopMatrix();
}

}  // namespace orvel
