#include "game/play/level_progress.h"

#include "game/play/play_mode.h"

namespace {

const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey KEY_DIFFICULTY("difficulty");
const PropertyKey KEY_IS_SKIRMISH_MODE("isSkirmishMode");
const PropertyKey KEY_IS_TUTORIAL_LEVEL("isTutorialLevel");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_HIGHEST_TUTORIAL_LEVEL("TARNMOORE_HighestTutorialLevelReached");
const PropertyKey KEY_LEVEL_MEDALS("TARNMOORE_LevelMedals");

// Beating the newest level reached opens the next one.
void OpenNextLevel(orvel::Properties& settings, PropertyKey highest, int level) {
    if (settings.GetInt(highest) == level) {
        settings.SetInt(highest, level + 1);
    }
}

}  // namespace

WinBadge RecordWin(orvel::Properties& settings, orvel::Attributes& registry) {
    const int level = registry.GetInt(KEY_CURRENT_LEVEL);
    if (RegistryFlag(registry, KEY_IS_TUTORIAL_LEVEL)) {
        OpenNextLevel(settings, KEY_HIGHEST_TUTORIAL_LEVEL, level);
        return WinBadge::None;
    }
    if (RegistryFlag(registry, KEY_IS_SKIRMISH_MODE)) {
        return WinBadge::None;
    }
    OpenNextLevel(settings, KEY_HIGHEST_LEVEL, level);
    const int difficulty = registry.GetInt(KEY_DIFFICULTY);
    orvel::AnyVector& medals = *settings.GetList(KEY_LEVEL_MEDALS);
    const size_t index = static_cast<size_t>(level);
    // Only a medal the list holds is compared: a level beyond its end has none yet.
    if (index >= medals.Size() || medals.At(index).type == orvel::PROPERTY_UNSET ||
        medals.GetInt(index) < difficulty) {
        medals.SetInt(index, difficulty);
    }
    if (difficulty == 0) {
        return WinBadge::Cadet;
    }
    return difficulty == 2 ? WinBadge::Hero : WinBadge::Veteran;
}

const char* BadgePicture(WinBadge badge) {
    switch (badge) {
        case WinBadge::Cadet:
            return "cadetbadge.bbq";
        case WinBadge::Hero:
            return "herobadge.bbq";
        default:
            return "veteranbadge.bbq";
    }
}
