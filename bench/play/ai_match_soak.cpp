// The reliability figure of the game: the computer against itself on the
// first level (skirmish, both airships flown and both sides bought for by
// the computer), frames of 1/60 s at full speed, match after match until
// the simulated minutes asked for (10 by default) have been played. Prints
// each match's winner and the game time to its end, and the frames per
// second of the whole run. Needs an X display (run under xvfb-run) and the
// built datafile; run from the repository root:
//
//   xvfb-run -a build/release/bench/play/ai_match_soak [minutes]

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <alleggl.h>
#include <allegro.h>

#include "app/settings.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/sound_manager.h"
#include "game/play/mechanica_state.h"

namespace {

const float FRAME = 1.0f / 60.0f;
// A match still undecided after this long is called a draw.
const int MATCH_LIMIT_MINUTES = 30;

class QuietInput : public orvel::InputSource {
public:
    void ReadKeys(std::vector<uint8_t>&) override {}
    void ReadMouse(int& x, int& y, int& buttons) override { x = y = buttons = 0; }
    void ReadMickeys(int& x, int& y) override { x = y = 0; }
    std::vector<orvel::JoystickReading> ReadJoysticks() override { return {}; }
};

bool OpenDisplay() {
    if (install_allegro(SYSTEM_AUTODETECT, &errno, nullptr) != 0 || install_allegro_gl() != 0) {
        return false;
    }
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, 32);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_WINDOWED, TRUE);
    allegro_gl_set(AGL_RENDERMETHOD, 1);
    allegro_gl_set(AGL_REQUIRE, AGL_COLOR_DEPTH | AGL_DOUBLEBUFFER);
    allegro_gl_set(AGL_SUGGEST, AGL_WINDOWED | AGL_RENDERMETHOD);
    set_color_depth(32);
    return set_gfx_mode(GFX_OPENGL_WINDOWED, 800, 600, 0, 0) == 0;
}

// The registry as the skirmish setup leaves it with both sides left to the
// computer: no control flags at all.
void PrepareRegistry() {
    setenv("XDG_CONFIG_HOME", "/tmp", 0);
#ifdef GEARHAVEN_BUILT_DATAFILE
    orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
#endif
    orvel::Attributes& registry = orvel::GlobalProperties();
    const orvel::PropertiesPtr settings = std::make_shared<orvel::Properties>();
    FillSettingsDefaults(*settings);
    registry[PropertyKey("TARNMOORE_Settings")] = settings;
    registry[PropertyKey("qSoundManager")] =
        std::make_shared<orvel::SoundManager>(64, std::make_shared<orvel::FakeVoiceBackend>());
    registry[PropertyKey("qObjectProperties")] =
        orvel::LoadPropertyFile("resources/objectfile1.txt");
    registry.SetInt(PropertyKey("TARNMOORE_CurrentLevel"), 0);
    registry.SetInt(PropertyKey("difficulty"), 1);
    registry.SetBool(PropertyKey("isSkirmishMode"), true);
    registry.SetString(PropertyKey("levelPath"), "resources/Level0");
}

std::string Clock(long frames) {
    const long seconds = long(float(frames) * FRAME);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    return text;
}

// Plays one match to its decision or the limit; returns the frames played
// and sets the outcome (+1 side 1 won, -1 side 2 won, 0 undecided).
long PlayMatch(int& outcome) {
    auto game = std::make_shared<MechanicaState>(PropertyKey("TARNMOORE_STATE_Mechanica"));
    orvel::Input input(std::make_shared<QuietInput>());
    const long limit = long(MATCH_LIMIT_MINUTES) * 60 * 60;
    long frames = 0;
    while (frames < limit && game->GetOutcome() == 0) {
        input.Poll();
        game->Update(input, FRAME);
        ++frames;
    }
    outcome = game->GetOutcome();
    return frames;
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 10;
    if (!OpenDisplay()) {
        std::fprintf(stderr, "ai_match_soak: no OpenGL display (run under xvfb-run)\n");
        return 1;
    }
    PrepareRegistry();
    const long wanted = long(minutes) * 60 * 60;
    long played = 0;
    int wins[2] = {0, 0};
    int draws = 0;
    const auto start = std::chrono::steady_clock::now();
    try {
        for (int match = 1; played < wanted; ++match) {
            int outcome = 0;
            const long frames = PlayMatch(outcome);
            played += frames;
            if (outcome != 0) {
                ++wins[outcome > 0 ? 0 : 1];
            } else {
                ++draws;
            }
            std::printf("match %d: %s after %s of game time\n", match,
                        outcome > 0   ? "side 1 wins"
                        : outcome < 0 ? "side 2 wins"
                                      : "undecided",
                        Clock(frames).c_str());
            std::fflush(stdout);
        }
    } catch (const orvel::Exception& error) {
        std::fprintf(stderr, "ai_match_soak: %s after %s of game time\n", error.What().c_str(),
                     Clock(played).c_str());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s of game time in %.1f s: %.0f frames per second (%.1f times real time)\n",
                Clock(played).c_str(), seconds, double(played) / seconds,
                double(played) / 60.0 / seconds);
    std::printf("side 1 won %d, side 2 won %d, undecided %d\n", wins[0], wins[1], draws);
    return 0;
}
