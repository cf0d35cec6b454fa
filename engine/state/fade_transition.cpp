#include "engine/state/fade_transition.h"

#include <cmath>

#include <GL/gl.h>

namespace orvel {

float StateTransitionFade::GetOverlayAlpha() const { return 1.0f - std::fabs(GetEase()); }

void StateTransitionFade::Draw() {
    const StatePtr& shown = DrawsFromState() ? GetFrom() : GetTo();
    if (shown) {
        shown->Draw();
    }

    glPushAttrib(GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glColor4f(0.0f, 0.0f, 0.0f, GetOverlayAlpha());
    glScalef(ScreenWidth(), ScreenHeight(), 1.0f);
    glBegin(GL_POLYGON);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, 0.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glVertex3f(0.0f, 1.0f, 0.0f);
    glEnd();
    glPopMatrix();
    glPopAttrib();
}

PropertyKey StateTransitionFade::GetName() const {
    static const PropertyKey name("STATE_TRANSITION_Fade");
    return name;
}

}  // namespace orvel
