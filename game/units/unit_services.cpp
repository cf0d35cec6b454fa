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
    return registry.GetSoundManager(SOUND_MANAGER)->CreateSound(sampleName);
}

std::shared_ptr<UnitStats> CurrentUnitStats() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(UNIT_STATS)) {
        return nullptr;
    }
    return registry.GetUnitStats(UNIT_STATS);
}
