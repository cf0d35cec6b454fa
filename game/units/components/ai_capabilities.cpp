#include "game/units/components/ai_capabilities.h"

#include "engine/core/attributes.h"

namespace {

const PropertyKey KEY_CAPABILITIES("AI_COMPONENT_Capabilities");

}  // namespace

AICapabilities AICapabilities::FromProperties(const orvel::Properties& properties) {
    AICapabilities capabilities;
    capabilities.putInfantryInBunker = properties.GetBool(PropertyKey("putInfantryInBunker"));
    capabilities.dropInfantryOnArtillery =
        properties.GetBool(PropertyKey("dropInfantryOnArtillery"));
    capabilities.putEngineerInTurret = properties.GetBool(PropertyKey("putEngineerInTurret"));
    capabilities.putEngineerInFactory = properties.GetBool(PropertyKey("putEngineerInFactory"));
    capabilities.killEnemyTanks = properties.GetBool(PropertyKey("killEnemyTanks"));
    capabilities.killEnemyInfantry = properties.GetBool(PropertyKey("killEnemyInfantry"));
    capabilities.carryFlakTruckOffensively =
        properties.GetBool(PropertyKey("carryFlakTruckOffensively"));
    capabilities.carryFlakTruckDefensively =
        properties.GetBool(PropertyKey("carryFlakTruckDefensively"));
    return capabilities;
}

AICapabilities AICapabilities::FromRegistry() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(KEY_CAPABILITIES)) {
        return AICapabilities();
    }
    return FromProperties(*registry.GetProperties(KEY_CAPABILITIES));
}
