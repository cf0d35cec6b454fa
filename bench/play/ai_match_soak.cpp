// The reliability figure of the game: the computer against itself on the
// first level, match after match until the simulated minutes asked for (10
// by default) have been played. Prints each match's winner and the game
// time to its end, and the frames per second of the whole run. Match n is
// played with the seed n, so a run repeats. Needs an X display (run under
// xvfb-run) and the built datafile; run from the repository root:
//
//   xvfb-run -a build/release/bench/play/ai_match_soak [minutes]

#include <cstdio>
#include <cstdlib>

#include "bench/play/ai_match.h"
#include "engine/core/exception.h"

namespace {

// A match still undecided after this long is called a draw.
const int MATCH_LIMIT_MINUTES = 30;

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 10;
    if (!OpenMatchDisplay()) {
        std::fprintf(stderr, "ai_match_soak: no OpenGL display (run under xvfb-run)\n");
        return 1;
    }
    PrepareMatchRegistry("resources/Level0");
    const long wanted = long(minutes) * 60 * 60;
    long played = 0;
    double seconds = 0.0;
    int wins[2] = {0, 0};
    int draws = 0;
    try {
        for (int match = 1; played < wanted; ++match) {
            const MatchResult result = PlayMatch(MATCH_LIMIT_MINUTES, unsigned(match));
            played += result.frames;
            seconds += result.seconds;
            if (result.outcome != 0) {
                ++wins[result.outcome > 0 ? 0 : 1];
            } else {
                ++draws;
            }
            std::printf("match %d: %s after %s of game time\n", match,
                        result.outcome > 0   ? "side 1 wins"
                        : result.outcome < 0 ? "side 2 wins"
                                             : "undecided",
                        MatchClock(result.frames).c_str());
            std::fflush(stdout);
        }
    } catch (const orvel::Exception& error) {
        std::fprintf(stderr, "ai_match_soak: %s after %s of game time\n", error.What().c_str(),
                     MatchClock(played).c_str());
        return 1;
    }
    std::printf("%s of game time in %.1f s: %.0f frames per second (%.1f times real time)\n",
                MatchClock(played).c_str(), seconds, double(played) / seconds,
                double(played) / 60.0 / seconds);
    std::printf("side 1 won %d, side 2 won %d, undecided %d\n", wins[0], wins[1], draws);
    return 0;
}
