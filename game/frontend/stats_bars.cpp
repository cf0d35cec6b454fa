#include "game/frontend/stats_bars.h"

float StatsPixelsPerUnit(int32_t largest) {
    return largest > 0 ? STATS_BAR_FULL_LENGTH / float(largest) : 0.0f;
}

StatsBar MakeStatsBar(int32_t lost, int32_t got, float pixelsPerUnit, float fraction) {
    StatsBar bar;
    bar.lostLength = pixelsPerUnit * float(lost);
    bar.aliveLength = pixelsPerUnit * float(got - lost);
    bar.lostShown = int32_t(float(lost) * fraction);
    bar.gotShown = int32_t(float(got) * fraction);
    return bar;
}
