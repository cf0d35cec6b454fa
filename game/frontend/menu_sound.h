#pragma once

#include "engine/core/property_key.h"

// Sound names the menus play.
extern const PropertyKey SOUND_CLICKED_BUTTON;   // "snd_clicked_button"
extern const PropertyKey SOUND_ROLLOVER_BUTTON;  // "snd_rollover_button"

// Plays a sample of the registry's sound manager ("qSoundManager") once; the
// caller keeps nothing. Without a sound manager, or a sample of that name,
// nothing plays.
void PlayMenuSound(PropertyKey name);
