#include "game/play/minimap.h"

#include <GL/gl.h>

#include "game/play/play_field.h"

namespace {

// Nothing above this height of the level (pixels) shows in the minimap: the
// ceiling's strip would draw over the frame's top edge.
const double MINIMAP_TOP = 490.0;

}  // namespace

float MinimapWidth(uint32_t levelWidth) { return float(levelWidth) * MINIMAP_HEIGHT / PLAY_HEIGHT; }

void DrawMinimap(orvel::Mechanica& world, orvel::Body* terrain, uint32_t levelWidth) {
    const float left = (SCREEN_WIDTH - MinimapWidth(levelWidth)) / 2.0f;
    const float scale = float(MINIMAP_HEIGHT) / PLAY_HEIGHT;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(left, 0.0f, 0.0f);
    glScalef(scale, scale, 1.0f);

    glColor3f(MINIMAP_RED, MINIMAP_GREEN, MINIMAP_BLUE);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(float(levelWidth), 0.0f);
    glVertex2f(float(levelWidth), float(PLAY_HEIGHT));
    glVertex2f(0.0f, float(PLAY_HEIGHT));
    glEnd();

    glLineWidth(1.0f);
    const GLdouble keepBelowTop[4] = {0.0, -1.0, 0.0, MINIMAP_TOP};
    glClipPlane(GL_CLIP_PLANE0, keepBelowTop);
    glEnable(GL_CLIP_PLANE0);
    if (terrain != nullptr) {
        terrain->DrawCollision();
    }
    world.DrawBodies();

    glPopMatrix();
    glPopAttrib();
}
