#pragma once

#include "engine/core/attributes.h"
#include "engine/core/properties.h"

// The medal badge shown after a won campaign level, by difficulty.
enum class WinBadge { None, Cadet, Veteran, Hero };

// Records a won level in the settings (in memory; the in-game state saves
// them when it ends). A tutorial level opens the next tutorial level; a
// campaign level opens the next level and keeps the best difficulty that
// beat it as its medal; skirmish records nothing. Returns the badge to show:
// none outside the campaign.
WinBadge RecordWin(orvel::Properties& settings, orvel::Attributes& registry);

// The badge's picture, in the folder of the heads-up display.
const char* BadgePicture(WinBadge badge);
