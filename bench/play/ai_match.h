#pragma once

#include <memory>
#include <string>

#include "engine/core/input.h"

// The computer against itself on one level: both airships flown and both
// sides bought for by the computer (a skirmish with no control flags),
// frames of 1/60 s at full speed with no input. Shared by the soak tool and
// the campaign's match table.

const float MATCH_FRAME = 1.0f / 60.0f;

// Opens the 800x600 OpenGL window the in-game state draws into; false
// without a display.
bool OpenMatchDisplay();

// Sets the registry as the skirmish setup leaves it with both sides left to
// the computer, for the level in `folder` (e.g. "resources/Level0"), with the
// settings, the game's sounds on a silent backend and the object definitions. Run from the
// repository root.
void PrepareMatchRegistry(const std::string& folder);

// An input source that never presses anything.
std::shared_ptr<orvel::InputSource> MatchInput();

// How a match ended: +1 side 1 won, -1 side 2 won, 0 undecided at the limit.
struct MatchResult {
    int outcome = 0;
    long frames = 0;
    // Wall-clock seconds of the frames, the level's loading left out.
    double seconds = 0.0;
};

// Plays one match on the prepared level until a factory falls or
// `limitMinutes` of game time have passed. The game draws its chances from
// rand(), seeded with `seed` before the level loads, so that a match played
// again with the same seed is the same match. Throws the engine's
// exceptions.
MatchResult PlayMatch(int limitMinutes, unsigned seed);

// Game time of `frames` as minutes:seconds.
std::string MatchClock(long frames);
