#include "game/frontend/menu_sound.h"

#include "engine/core/attributes.h"
#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"

const PropertyKey SOUND_CLICKED_BUTTON("snd_clicked_button");
const PropertyKey SOUND_ROLLOVER_BUTTON("snd_rollover_button");

namespace {

const PropertyKey KEY_SOUND_MANAGER("qSoundManager");

}  // namespace

void PlayMenuSound(PropertyKey name) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (!registry.Contains(KEY_SOUND_MANAGER)) {
        return;
    }
    const std::shared_ptr<orvel::SoundManager> manager =
        registry.GetSoundManager(KEY_SOUND_MANAGER);
    const orvel::SoundPtr sound = manager ? manager->CreateSound(name) : orvel::SoundPtr();
    if (sound) {
        sound->Play();
    }
}
