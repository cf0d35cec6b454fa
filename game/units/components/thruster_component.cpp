#include "game/units/components/thruster_component.h"

#include <algorithm>
#include <cmath>

#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey VERTICAL_THRUST("verticalThrust");
const PropertyKey HORIZONTAL_THRUST("horizontalThrust");
const PropertyKey MAX_VERTICAL_VELOCITY("maxVerticalVelocity");
const PropertyKey MAX_HORIZONTAL_VELOCITY("maxHorizontalVelocity");
const PropertyKey LITRES_PER_SECOND("litresPerSecond");
const PropertyKey LOW_STEAM_SOUND("lowSteamSound");

float FloatOr(const orvel::Properties& entry, PropertyKey key, float fallback) {
    return entry.HasProperty(key) ? entry.GetFloat(key) : fallback;
}

}  // namespace

ComponentPtr ThrusterComponent::Clone() const { return std::make_shared<ThrusterComponent>(); }

void ThrusterComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    verticalThrust = FloatOr(entry, VERTICAL_THRUST, 0.0f);
    horizontalThrust = FloatOr(entry, HORIZONTAL_THRUST, 0.0f);
    maxVerticalVelocity = FloatOr(entry, MAX_VERTICAL_VELOCITY, 0.0f);
    maxHorizontalVelocity = FloatOr(entry, MAX_HORIZONTAL_VELOCITY, 0.0f);
    litresPerSecond = FloatOr(entry, LITRES_PER_SECOND, 0.0f);
    lowSteamSound = LoadComponentSound(entry, LOW_STEAM_SOUND);
}

void ThrusterComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const ThrusterComponent&>(prototypeComponent);
    verticalThrust = prototype.verticalThrust;
    horizontalThrust = prototype.horizontalThrust;
    maxVerticalVelocity = prototype.maxVerticalVelocity;
    maxHorizontalVelocity = prototype.maxHorizontalVelocity;
    litresPerSecond = prototype.litresPerSecond;
    upThrottle = prototype.upThrottle;
    downThrottle = prototype.downThrottle;
    leftThrottle = prototype.leftThrottle;
    rightThrottle = prototype.rightThrottle;
    enabled = prototype.enabled;
    lowSteamSound = CopyComponentSound(prototype.lowSteamSound);
}

bool ThrusterComponent::HandleMessage(int id, intptr_t, void*) {
    if (id == MESSAGE_DIE) {
        enabled = false;
        return true;
    }
    return false;
}

void ThrusterComponent::ApplyForces() {
    if (!enabled) {
        return;
    }
    ComponentBody& owner = *GetOwner();
    const float dt = GetWorld()->GetTimeStep();
    const float m = owner.GetMass();
    const orvel::Vector4 v = VelocityOf(owner);
    orvel::Vector4 f(0.0f, 0.0f, 0.0f, 0.0f);
    if (upThrottle != 0.0f) {
        float carried = 0.0f;
        SendOwnerMessage(MESSAGE_ADD_CARRIED_MASS, reinterpret_cast<intptr_t>(&carried), this);
        const orvel::Vector4& gravity = GetWorld()->GetGravity();
        f.y += verticalThrust * upThrottle * m;
        f.x -= 0.5f * carried * gravity.x;
        f.y -= 0.5f * carried * gravity.y;
        f.z -= 0.5f * carried * gravity.z;
        Burn(upThrottle, dt);
    }
    if (downThrottle != 0.0f) {
        f.y -= m * verticalThrust * downThrottle;
        Burn(downThrottle, dt);
    }
    if (leftThrottle != 0.0f) {
        f.x -= std::min(m * horizontalThrust * leftThrottle,
                        m * (v.x + maxHorizontalVelocity) / dt);
        Burn(leftThrottle, dt);
    }
    if (rightThrottle != 0.0f) {
        f.x += std::min(m * horizontalThrust * rightThrottle,
                        m * (maxHorizontalVelocity - v.x) / dt);
        Burn(rightThrottle, dt);
    }
    AddForceNow(owner, f);
}

void ThrusterComponent::Update() {
    if (litresUsed > 1.0f) {
        const float whole = std::floor(litresUsed);
        litresUsed -= whole;
        const int32_t litres = static_cast<int32_t>(whole);
        if (GetOwner()->GetHitPoints() <= litres) {
            outOfFuel = 1.0f;
        }
        SendOwnerMessage(MESSAGE_DAMAGE, litres, this);
    }
    upThrottle = downThrottle = leftThrottle = rightThrottle = 0.0f;
}

void ThrusterComponent::PreStep() {
    if (lowSteamSound) {
        SoundLowFuel();
    }
}

// A unit without a tank (no maximum) never warns: there is no fraction to
// warn about. A stopped sound keeps its voice (it still counts as playing),
// so whether the warning runs is remembered here; a voice taken by another
// sound starts it again.
void ThrusterComponent::SoundLowFuel() {
    const ComponentBody& owner = *GetOwner();
    const int32_t maxHitPoints = owner.GetMaxHitPoints();
    const int32_t hitPoints = owner.GetHitPoints();
    const float r = maxHitPoints > 0 ? float(hitPoints) / float(maxHitPoints) : 1.0f;
    if (maxHitPoints > 0 && r <= kLowFuel && owner.IsAlive() && hitPoints >= 1) {
        if (!warning || !lowSteamSound->IsPlaying()) {
            lowSteamSound->Play();
            warning = true;
        }
        lowSteamSound->SetVolumeScale(1.0f - 2.5f * r);
    } else if (warning) {
        lowSteamSound->Stop();
        warning = false;
    }
}
