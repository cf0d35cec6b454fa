#include "game/units/unit_services.h"

#include "engine/core/attributes.h"
#include "engine/sound/sound_manager.h"

namespace {
const PropertyKey SOUND_MANAGER("qSoundManager");
const PropertyKey UNIT_STATS("qUnitStats");
}  // namespace

orvel::SoundPtr CreateUnitSound(PropertyKey sampleName) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(SOUND_MANAGER)) {
        return nullptr;
    }
    const auto manager = registry.GetSoundManager(SOUND_MANAGER);
    // A sample the sound list did not load gives no sound at all: a sound
    // without a sample would break every copy that asks for its name.
    if (!manager->GetSample(sampleName)) {
        return nullptr;
    }
    return manager->CreateSound(sampleName);
}

std::shared_ptr<UnitStats> CurrentUnitStats() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(UNIT_STATS)) {
        return nullptr;
    }
    return registry.GetUnitStats(UNIT_STATS);
}
