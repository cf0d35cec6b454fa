#pragma once

#include <memory>
#include <string>

#include "engine/sound/sound_manager.h"
#include "game/units/unit_stats.h"

// The long-lived services that units look up in the registry of named
// values. Either may be absent (a world without sound, a test without
// statistics); units then go without.

// A sound of the named sample from "qSoundManager"; null without a manager
// or without that sample.
orvel::SoundPtr CreateUnitSound(PropertyKey sampleName);
// The level's statistics, "qUnitStats", or null.
std::shared_ptr<UnitStats> CurrentUnitStats();
