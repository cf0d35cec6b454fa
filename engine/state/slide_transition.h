#pragma once

#include "engine/core/vector2x.h"
#include "engine/state/state_transition.h"

namespace orvel {

// Where a slide puts the two screens (model-view translations).
struct SlideOffsets {
    PointF from;
    PointF to;
};

// Both screens move together, the new one pushing the old one out. The
// movement eases in and out over the duration.
class StateTransitionSlide : public StateTransition {
public:
    using StateTransition::StateTransition;

    void Draw() override;

    // The offsets at the current progress on a screen of the given size.
    virtual SlideOffsets GetOffsets(float width, float height) const = 0;

protected:
    // The eased distance travelled so far, 0 to `size`.
    float Travel(float size) const;
};

// The new screen comes from below.
class StateTransitionSlideUp : public StateTransitionSlide {
public:
    using StateTransitionSlide::StateTransitionSlide;
    SlideOffsets GetOffsets(float width, float height) const override;
    PropertyKey GetName() const override;
};

// The new screen comes from above.
class StateTransitionSlideDown : public StateTransitionSlide {
public:
    using StateTransitionSlide::StateTransitionSlide;
    SlideOffsets GetOffsets(float width, float height) const override;
    PropertyKey GetName() const override;
};

// The new screen comes from the left.
class StateTransitionSlideRight : public StateTransitionSlide {
public:
    using StateTransitionSlide::StateTransitionSlide;
    SlideOffsets GetOffsets(float width, float height) const override;
    PropertyKey GetName() const override;
};

// The new screen comes from the right.
class StateTransitionSlideLeft : public StateTransitionSlide {
public:
    using StateTransitionSlide::StateTransitionSlide;
    SlideOffsets GetOffsets(float width, float height) const override;
    PropertyKey GetName() const override;
};

}  // namespace orvel
