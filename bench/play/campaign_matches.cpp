// The computer against itself once on every campaign level (each loaded as
// a skirmish with both sides left to the computer), each match played to
// its end or to the limit of game time (30 minutes by default). Prints a
// Markdown table: level, game time to the end, winner, frames per second
// (simulated frames per wall-clock second, loading left out). Exits with 1
// when a level fails to load or a match stays undecided. Every match is
// played with the same seed (--seed, 1 by default), so a run repeats and a
// single level played alone is the same match as in the full run. Needs an
// X display and the built datafile; run from the repository root:
//
//   xvfb-run -a build/release/bench/play/campaign_matches [--seed N] [limit minutes] [level ...]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/play/ai_match.h"
#include "engine/core/exception.h"

namespace {

const int CAMPAIGN_LEVELS = 17;
const int DEFAULT_LIMIT_MINUTES = 30;
const unsigned DEFAULT_SEED = 1;

const char* Winner(int outcome) {
    return outcome > 0 ? "side 1" : outcome < 0 ? "side 2" : "none (limit)";
}

}  // namespace

int main(int argc, char** argv) {
    unsigned seed = DEFAULT_SEED;
    std::vector<const char*> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
        } else {
            numbers.push_back(argv[i]);
        }
    }
    const int limit = numbers.empty() ? DEFAULT_LIMIT_MINUTES : std::atoi(numbers[0]);
    std::vector<int> levels;
    for (size_t i = 1; i < numbers.size(); ++i) {
        levels.push_back(std::atoi(numbers[i]));
    }
    if (levels.empty()) {
        for (int n = 0; n < CAMPAIGN_LEVELS; ++n) {
            levels.push_back(n);
        }
    }
    if (limit <= 0) {
        std::fprintf(stderr, "usage: campaign_matches [--seed N] [limit minutes] [level ...]\n");
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
            const MatchResult result = PlayMatch(limit, seed);
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
