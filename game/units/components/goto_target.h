#pragma once

#include "engine/core/watcher.h"
#include "engine/physics/vector4.h"

namespace orvel {
class Body;
}

// Where the goto steering flies: a point, or a body that it follows. It
// watches the body and forgets it as soon as the body signals or goes away;
// the last position read stays as the point to fly to.
class GotoTarget : public orvel::Watcher {
public:
    // Above the body's centre: where the airship aims, and the point kept
    // when the body is forgotten.
    static constexpr float kAimHeight = 2.2f;
    static constexpr float kKeptHeight = 3.0f;

    GotoTarget() = default;
    ~GotoTarget() override;

    void OnWatchedEvent(orvel::Watched* watched) override;
    void OnWatchedGoingAway(orvel::Watched* watched) override;

    // With a body: kAimHeight above it (and kKeptHeight above it is kept);
    // without: the point.
    orvel::Vector4 GetPosition();
    // The body's velocity (w = 0), or none for a point.
    orvel::Vector4 GetVelocity() const;

    orvel::Body* GetBody() const { return body; }
    // Follows `target` (none for null) from the origin on.
    void SetBody(orvel::Body* target);
    // Flies to the point; a body followed before is forgotten.
    void SetPoint(const orvel::Vector4& point);
    // Stops watching the body and keeps to the point.
    void ForgetBody();
    // Follows what `other` follows, from where it last was.
    void CopyFrom(const GotoTarget& other);

private:
    orvel::Body* body = nullptr;
    orvel::Vector4 position = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
};
