#include "game/play/textured_quad.h"

#include <GL/gl.h>

void DrawTexturedQuad(const orvel::Texture& texture, float x0, float y0, float x1, float y1,
                      float u0, float u1, float grey) {
    if (!texture.IsLoaded()) {
        return;
    }
    // Texture rows run top-down: v = 0 is the picture's top edge.
    const float maxU = texture.GetMaxU();
    const float maxV = texture.GetMaxV();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT |
                 GL_POLYGON_BIT);
    glPolygonMode(GL_BACK, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture.GetGlName());
    glColor4f(grey, grey, grey, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(u0 * maxU, maxV);
    glVertex2f(x0, y0);
    glTexCoord2f(u1 * maxU, maxV);
    glVertex2f(x1, y0);
    glTexCoord2f(u1 * maxU, 0.0f);
    glVertex2f(x1, y1);
    glTexCoord2f(u0 * maxU, 0.0f);
    glVertex2f(x0, y1);
    glEnd();
    glPopAttrib();
}
