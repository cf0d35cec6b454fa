#include "game/frontend/settings_toggles.h"

#include "engine/core/attributes.h"
#include "engine/core/properties.h"
#include "engine/sound/sound_manager.h"
#include "engine/ui/sprite_morph.h"
#include "game/frontend/menu_sound.h"
#include "game/play/tutorial_dialog.h"

namespace {

const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_SOUND_MANAGER("qSoundManager");
const PropertyKey SETTING_MUSIC("TARNMOORE_Music");
const PropertyKey SETTING_SOUND_EFFECTS("TARNMOORE_SoundEffects");
const PropertyKey SETTING_MAGNET_TOGGLE("TARNMOORE_MagnetToggle");

const PropertyKey MUSIC("Music");
const PropertyKey SOUND_EFFECTS("SoundEffects");
const PropertyKey MAGNET_TOGGLE("MagnetToggle");
const PropertyKey MAGNET_HOLD_DOWN("MagnetHoldDown");
const PropertyKey TUTORIAL("Tutorial");
const PropertyKey RESET_TUTORIAL("ResetTutorial");

orvel::Properties& Settings() { return *orvel::GlobalProperties().GetProperties(KEY_SETTINGS); }

int OnOff(int value) { return value != 0 ? 1 : 0; }

void ShowFrame(orvel::Morph* morph, int frame) {
    if (auto* sprite = dynamic_cast<orvel::SpriteMorph*>(morph)) {
        sprite->GetSprite().SetFrame(frame);
    }
}

void ShowIn(orvel::Morph& screen, PropertyKey name, int frame) {
    ShowFrame(screen.FindChild(name), frame);
}

void ShowMagnetMode(orvel::Morph& screen, int toggleMode) {
    ShowIn(screen, MAGNET_TOGGLE, OnOff(toggleMode));
    ShowIn(screen, MAGNET_HOLD_DOWN, toggleMode == 0 ? 1 : 0);
}

void SetSoundEffects(int on) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (registry.Contains(KEY_SOUND_MANAGER)) {
        if (const std::shared_ptr<orvel::SoundManager> manager =
                registry.GetSoundManager(KEY_SOUND_MANAGER)) {
            if (on != 0) {
                manager->Enable();
            } else {
                manager->Disable();
            }
        }
    }
    Settings().SetInt(SETTING_SOUND_EFFECTS, on);
}

}  // namespace

void ShowSettingToggles(orvel::Morph& screen) {
    orvel::Properties& settings = Settings();
    ShowIn(screen, MUSIC, OnOff(settings.GetInt(SETTING_MUSIC)));
    ShowIn(screen, SOUND_EFFECTS, OnOff(settings.GetInt(SETTING_SOUND_EFFECTS)));
    ShowMagnetMode(screen, settings.GetInt(SETTING_MAGNET_TOGGLE));
    if (screen.FindChild(TUTORIAL) != nullptr) {
        ShowIn(screen, TUTORIAL, TutorialDialogsEnabled() ? 1 : 0);
    }
}

bool ToggleSetting(orvel::Morph* morph) {
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    orvel::Properties& settings = Settings();
    orvel::Morph& screen = *morph->GetRoot();
    const PropertyKey name = morph->GetMorphName();
    if (name == SOUND_EFFECTS) {
        const int on = 1 - OnOff(settings.GetInt(SETTING_SOUND_EFFECTS));
        SetSoundEffects(on);
        ShowFrame(morph, on);
    } else if (name == MUSIC) {
        const int on = 1 - OnOff(settings.GetInt(SETTING_MUSIC));
        settings.SetInt(SETTING_MUSIC, on);
        ShowFrame(morph, on);
    } else if (name == MAGNET_TOGGLE || name == MAGNET_HOLD_DOWN) {
        const int toggleMode = name == MAGNET_TOGGLE ? 1 : 0;
        settings.SetInt(SETTING_MAGNET_TOGGLE, toggleMode);
        ShowMagnetMode(screen, toggleMode);
    } else if (name == TUTORIAL) {
        SetTutorialDialogsEnabled(TutorialDialogsEnabled() ? 0 : 1);
        ShowFrame(morph, TutorialDialogsEnabled() ? 1 : 0);
    } else if (name == RESET_TUTORIAL) {
        ResetTutorialTriggers();
    }
    return true;
}
