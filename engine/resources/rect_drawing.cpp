#include "engine/resources/rect_drawing.h"

#include <GL/gl.h>
#include <allegro.h>

namespace orvel {

namespace {

// Draws the unit square scaled onto the rectangle with `mode`.
void DrawUnitSquare(GLenum mode, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(GLfloat(x0), GLfloat(y0), 0.0f);
    glScalef(GLfloat(x1 - x0), GLfloat(y1 - y0), 1.0f);
    glBegin(mode);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glPopMatrix();
}

}  // namespace

void DrawFilledRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t colour) {
    glPushAttrib(GL_CURRENT_BIT);
    glColor3ub(GLubyte(getr32(colour)), GLubyte(getg32(colour)), GLubyte(getb32(colour)));
    DrawUnitSquare(GL_QUADS, x0, y0, x1, y1);
    glPopAttrib();
}

void DrawOutlineRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t colour) {
    glPushAttrib(GL_CURRENT_BIT);
    glColor4ub(GLubyte(getr32(colour)), GLubyte(getg32(colour)), GLubyte(getb32(colour)),
               GLubyte(geta32(colour)));
    DrawUnitSquare(GL_LINE_LOOP, x0, y0, x1, y1);
    glPopAttrib();
}

}  // namespace orvel
