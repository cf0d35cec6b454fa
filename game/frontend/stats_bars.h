#pragma once

#include <cstdint>

// The length in pixels that the longest bar of the statistics screen reaches.
const float STATS_BAR_FULL_LENGTH = 638.0f;

// Pixels per unit so that a count of `largest` fills the full length. With
// no units at all (largest 0 or less) every bar is empty: 0 pixels per unit
// rather than a division by zero.
float StatsPixelsPerUnit(int32_t largest);

// One side's bar of one row at a moment of the fill: the light part for the
// units lost, then the dark part for the units still alive, and the numbers
// shown under it.
struct StatsBar {
    float lostLength = 0.0f;
    float aliveLength = 0.0f;
    int32_t lostShown = 0;
    int32_t gotShown = 0;
};

// The bar of `lost` out of `got` units drawn at `pixelsPerUnit`, with the
// numbers counted up to `fraction` (0 to 1) of their final values.
StatsBar MakeStatsBar(int32_t lost, int32_t got, float pixelsPerUnit, float fraction);
