#include "game/units/components/unit_physics.h"

#include "engine/physics/body.h"
#include "engine/sound/sound.h"
#include "game/units/unit_services.h"

orvel::Vector4 VelocityOf(const orvel::Body& body) {
    float velocity[3];
    PhysBodyGetVelocity(body.GetPhysBody(), velocity);
    return orvel::Vector4::From3(velocity, 0.0f);
}

void AddForceNow(orvel::Body& body, const orvel::Vector4& force) {
    float f[3];
    force.Store3(f);
    PhysBodyAddForce(body.GetPhysBody(), f);
}

orvel::SoundPtr LoadComponentSound(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        return nullptr;
    }
    return CreateUnitSound(PropertyKey::Intern(entry.GetString(key)));
}

orvel::SoundPtr CopyComponentSound(const orvel::SoundPtr& sound) {
    return sound ? CreateUnitSound(sound->GetSample()->GetName()) : nullptr;
}
