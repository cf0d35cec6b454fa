#pragma once

#include <memory>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/physics/vector4.h"
#include "engine/sound/sound_manager.h"

namespace orvel {
class Body;
}

// What the moving components (mover, thruster, floater, magnet, goto) ask of
// the bodies they push, and the sound keys they share.

// The body's linear velocity, w = 0.
orvel::Vector4 VelocityOf(const orvel::Body& body);
// Adds a force to the step the physics is taking now. Components call it
// from their ApplyForces; a body's accumulated force was applied before them.
void AddForceNow(orvel::Body& body, const orvel::Vector4& force);
// The sample named by the entry's key, or null without the key.
orvel::SoundPtr LoadComponentSound(const orvel::Properties& entry, PropertyKey key);
// A sound of its own for a copy: the same sample, not playing.
orvel::SoundPtr CopyComponentSound(const orvel::SoundPtr& sound);
