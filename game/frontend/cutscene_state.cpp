#include "game/frontend/cutscene_state.h"

#include "engine/core/attributes.h"
#include "engine/core/properties.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_Cutscene");
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_LEVEL_MEDALS("TARNMOORE_LevelMedals");
const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const int MEDAL_HERO = 2;

void RecordSeen(orvel::Attributes& registry) {
    if (!registry.Contains(KEY_CURRENT_LEVEL)) {
        return;
    }
    const int level = registry.GetInt(KEY_CURRENT_LEVEL);
    orvel::Properties& settings = *registry.GetProperties(KEY_SETTINGS);
    if (level < 0 || settings.GetInt(KEY_HIGHEST_LEVEL) != level) {
        return;
    }
    settings.SetInt(KEY_HIGHEST_LEVEL, level + 1);
    settings.GetList(KEY_LEVEL_MEDALS)->SetInt(static_cast<size_t>(level), MEDAL_HERO);
}

}  // namespace

CutsceneState::CutsceneState(PropertyKey stateName, const std::string& screenFile)
    : SingleScreenState(stateName, screenFile) {
    RecordSeen(orvel::GlobalProperties());
}

PropertyKey CutsceneState::GetName() const { return STATE_NAME; }

PropertyKey CutsceneState::GetTypeName() const { return STATE_NAME; }
