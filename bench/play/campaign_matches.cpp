// The computer against itself once on every campaign level (each loaded as
// a skirmish with both sides left to the computer), each match played to
// its end or to the limit of game time (30 minutes by default). Prints a
// Markdown table: level, game time to the end, winner, frames per second
// (simulated frames per wall-clock second, loading left out). Exits with 1
// when a level fails to load or a match stays undecided. Needs an X display
// and the built datafile; run from the repository root:
//
//   xvfb-run -a build/release/bench/play/campaign_matches [limit minutes] [level ...]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/play/ai_match.h"
#include "engine/core/exception.h"

namespace {

const int CAMPAIGN_LEVELS = 17;
const int DEFAULT_LIMIT_MINUTES = 30;

const char* Winner(int outcome) {
    return outcome > 0 ? "side 1" : outcome < 0 ? "side 2" : "none (limit)";
}

}  // namespace

int main(int argc, char** argv) {
    const int limit = argc > 1 ? std::atoi(argv[1]) : DEFAULT_LIMIT_MINUTES;
    std::vector<int> levels;
    for (int i = 2; i < argc; ++i) {
        levels.push_back(std::atoi(argv[i]));
    }
    if (levels.empty()) {
        for (int n = 0; n < CAMPAIGN_LEVELS; ++n) {
            levels.push_back(n);
        }
    }
    if (limit <= 0) {
        std::fprintf(stderr, "usage: campaign_matches [limit minutes] [level ...]\n");
        return 2;
    }
    if (!OpenMatchDisplay()) {
        std::fprintf(stderr, "campaign_matches: no OpenGL display (run under xvfb-run)\n");
        return 1;
    }
    bool allDecided = true;
    std::printf("| level | game time to the end | winner | frames per second |\n");
    std::printf("|---|---|---|---|\n");
    for (int level : levels) {
        const std::string folder = "resources/Level" + std::to_string(level);
        PrepareMatchRegistry(folder);
        try {
            const MatchResult result = PlayMatch(limit);
            std::printf("| %d | %s | %s | %.0f |\n", level, MatchClock(result.frames).c_str(),
                        Winner(result.outcome), double(result.frames) / result.seconds);
            allDecided = allDecided && result.outcome != 0;
        } catch (const orvel::Exception& error) {
            std::printf("| %d | - | failed: %s | - |\n", level, error.What().c_str());
            allDecided = false;
        }
        std::fflush(stdout);
    }
    return allDecided ? 0 : 1;
}
