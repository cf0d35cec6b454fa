#include "game/play/play_mode.h"

namespace {

const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey KEY_IS_SKIRMISH_MODE("isSkirmishMode");
const PropertyKey KEY_IS_TUTORIAL_LEVEL("isTutorialLevel");
const PropertyKey KEY_LEVEL_PATH("levelPath");
const PropertyKey KEY_GOOD_PURCHASE_CONTROL("goodPurchaseControl");
const PropertyKey KEY_GOOD_AIRSHIP_CONTROL("goodAirshipControl");
const PropertyKey KEY_BAD_PURCHASE_CONTROL("badPurchaseControl");
const PropertyKey KEY_BAD_AIRSHIP_CONTROL("badAirshipControl");

const int CAMPAIGN_PURCHASE_CONTROL = CONTROL_MOUSE | CONTROL_KEYPAD | CONTROL_NUMBER_ROW;
const int CAMPAIGN_AIRSHIP_CONTROL = CONTROL_MOUSE | CONTROL_ARROW_KEYS;

int ControlOrNone(orvel::Attributes& registry, PropertyKey key) {
    return registry.Contains(key) ? registry.GetInt(key) : 0;
}

}  // namespace

bool RegistryFlag(orvel::Attributes& registry, PropertyKey key) {
    return registry.Contains(key) && registry.GetBool(key);
}

PlayMode ReadPlayMode(orvel::Attributes& registry) {
    PlayMode mode;
    mode.currentLevel = registry.GetInt(KEY_CURRENT_LEVEL);
    mode.isSkirmishMode = RegistryFlag(registry, KEY_IS_SKIRMISH_MODE);
    mode.isTutorialLevel = RegistryFlag(registry, KEY_IS_TUTORIAL_LEVEL);
    mode.mouseSteeringBlocked = !mode.isSkirmishMode;
    if (mode.isSkirmishMode) {
        mode.goodPurchaseControl = ControlOrNone(registry, KEY_GOOD_PURCHASE_CONTROL);
        mode.goodAirshipControl = ControlOrNone(registry, KEY_GOOD_AIRSHIP_CONTROL);
        mode.badPurchaseControl = ControlOrNone(registry, KEY_BAD_PURCHASE_CONTROL);
        mode.badAirshipControl = ControlOrNone(registry, KEY_BAD_AIRSHIP_CONTROL);
    } else {
        mode.goodPurchaseControl = CAMPAIGN_PURCHASE_CONTROL;
        mode.goodAirshipControl = CAMPAIGN_AIRSHIP_CONTROL;
    }
    mode.cursorVisible = (mode.goodAirshipControl & CONTROL_MOUSE) != 0 ||
                         (mode.goodPurchaseControl & CONTROL_MOUSE) != 0;
    const std::string number = std::to_string(mode.currentLevel);
    if (mode.isTutorialLevel) {
        mode.levelFolder = "resources/TutorialLevel" + number;
    } else if (mode.isSkirmishMode) {
        mode.levelFolder = registry.GetString(KEY_LEVEL_PATH);
    } else {
        mode.levelFolder = "resources/Level" + number;
    }
    return mode;
}
