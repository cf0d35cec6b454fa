#include "engine/state/slide_transition.h"

#include <GL/gl.h>

namespace orvel {

namespace {

void DrawTranslated(State& state, const PointF& offset) {
    glPushMatrix();
    glTranslatef(offset.x, offset.y, 0.0f);
    state.Draw();
    glPopMatrix();
}

}  // namespace

void StateTransitionSlide::Draw() {
    glMatrixMode(GL_MODELVIEW);
    const SlideOffsets offsets = GetOffsets(ScreenWidth(), ScreenHeight());
    if (GetFrom()) {
        DrawTranslated(*GetFrom(), offsets.from);
    }
    if (GetTo()) {
        DrawTranslated(*GetTo(), offsets.to);
    }
}

float StateTransitionSlide::Travel(float size) const { return (GetEase() + 1.0f) * 0.5f * size; }

// The projection has y upwards, so a positive y moves a screen up.
SlideOffsets StateTransitionSlideUp::GetOffsets(float, float height) const {
    const float d = Travel(height);
    return {PointF(0.0f, d), PointF(0.0f, d - height)};
}

SlideOffsets StateTransitionSlideDown::GetOffsets(float, float height) const {
    const float d = Travel(height);
    return {PointF(0.0f, -d), PointF(0.0f, height - d)};
}

SlideOffsets StateTransitionSlideRight::GetOffsets(float width, float) const {
    const float d = Travel(width);
    return {PointF(d, 0.0f), PointF(d - width, 0.0f)};
}

SlideOffsets StateTransitionSlideLeft::GetOffsets(float width, float) const {
    const float d = Travel(width);
    return {PointF(-d, 0.0f), PointF(width - d, 0.0f)};
}

PropertyKey StateTransitionSlideUp::GetName() const {
    static const PropertyKey name("STATE_TRANSITION_SlideUp");
    return name;
}

PropertyKey StateTransitionSlideDown::GetName() const {
    static const PropertyKey name("STATE_TRANSITION_SlideDown");
    return name;
}

PropertyKey StateTransitionSlideRight::GetName() const {
    static const PropertyKey name("STATE_TRANSITION_SlideRight");
    return name;
}

PropertyKey StateTransitionSlideLeft::GetName() const {
    static const PropertyKey name("STATE_TRANSITION_SlideLeft");
    return name;
}

}  // namespace orvel
