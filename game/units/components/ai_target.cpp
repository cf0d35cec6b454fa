#include "game/units/components/ai_target.h"

#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"

AITarget AITarget::Point(const orvel::Vector4& point) {
    AITarget target;
    target.position = point;
    return target;
}

AITarget AITarget::Of(const std::shared_ptr<ComponentBody>& unit) {
    AITarget target;
    target.body = unit;
    return target;
}

orvel::Vector4 AITarget::GetPosition() const { return body ? body->GetPosition() : position; }

orvel::Vector4 AITarget::GetVelocity() const {
    return body ? VelocityOf(*body) : orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
}
