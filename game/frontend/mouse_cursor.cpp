#include "game/frontend/mouse_cursor.h"

#include <GL/gl.h>

#include "engine/core/input.h"
#include "engine/ui/morph_rect.h"

namespace {

const char CURSOR_FILE[] = "resources/mousecursor.bbq";

}  // namespace

MouseCursor::MouseCursor() { texture.Load(CURSOR_FILE); }

void MouseCursor::Track(const orvel::Input& input) {
    x = input.GetMouseX();
    y = input.GetMouseY();
}

void MouseCursor::Draw() const {
    if (!texture.IsLoaded()) {
        return;
    }
    const orvel::FrameSheet& sheet = texture.GetSheet();
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The projection has y up; the mouse counts y down from the top.
    glTranslatef(float(x), float(orvel::UI_SCREEN_HEIGHT - y), 0.0f);
    glScalef(float(sheet.width), float(sheet.frameHeight), 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture.GetGlName());
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glScalef(texture.GetMaxU(), texture.GetMaxV(), 1.0f);
    glBegin(GL_POLYGON);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
