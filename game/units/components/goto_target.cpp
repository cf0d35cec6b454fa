#include "game/units/components/goto_target.h"

#include "engine/physics/body.h"
#include "game/units/components/unit_physics.h"

void GotoTarget::SetBody(orvel::Body* target) {
    ForgetBody();
    body = target;
    if (body != nullptr) {
        body->AddWatcher(this);
    }
    position = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
}

void GotoTarget::SetPoint(const orvel::Vector4& point) {
    ForgetBody();
    position = point;
}

GotoTarget::~GotoTarget() { ForgetBody(); }

void GotoTarget::ForgetBody() {
    if (body != nullptr) {
        body->RemoveWatcher(this);
        body = nullptr;
    }
}

void GotoTarget::CopyFrom(const GotoTarget& other) {
    SetBody(other.body);
    position = other.position;
}

// The body's event signal has already let go of this watcher; its
// going-away connection goes with ForgetBody.
void GotoTarget::OnWatchedEvent(orvel::Watched*) { ForgetBody(); }

// The body is being destroyed: its signals let go by themselves.
void GotoTarget::OnWatchedGoingAway(orvel::Watched*) { body = nullptr; }

orvel::Vector4 GotoTarget::GetPosition() {
    if (body == nullptr) {
        return position;
    }
    orvel::Vector4 at = body->GetPosition();
    position = orvel::Vector4(at.x, at.y + kKeptHeight, at.z, at.w);
    at.y += kAimHeight;
    return at;
}

orvel::Vector4 GotoTarget::GetVelocity() const {
    return body != nullptr ? VelocityOf(*body) : orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
}
