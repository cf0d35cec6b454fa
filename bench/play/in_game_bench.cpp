// What a level costs the player: loading Level0 (its file, pictures, world,
// terrain and units) and one frame of play (the frame's update and the
// drawing of the play field). Needs an X display (run under xvfb-run) and
// the built datafile; run from the repository root. CPU times are what the
// budget counts: loading under 100 ms, a frame under 3 ms.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <alleggl.h>
#include <allegro.h>
#include <benchmark/benchmark.h>

#include "app/settings.h"
#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/sound_manager.h"
#include "game/play/mechanica_state.h"

namespace {

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

// The registry as the screens before a campaign level leave it.
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
}

const PropertyKey STATE_NAME("TARNMOORE_STATE_Mechanica");

void BM_LoadLevelZero(benchmark::State& state) {
    for (auto _ : state) {
        auto game = std::make_shared<MechanicaState>(STATE_NAME);
        benchmark::DoNotOptimize(game.get());
        state.PauseTiming();
        game.reset();
        state.ResumeTiming();
    }
}

// `finish` waits for the software renderer too, which rasterises on this
// thread: the frame's whole cost on a machine without a graphics card.
void RunFrames(benchmark::State& state, bool finish) {
    auto game = std::make_shared<MechanicaState>(STATE_NAME);
    orvel::Input input(std::make_shared<QuietInput>());
    for (auto _ : state) {
        input.Poll();
        benchmark::DoNotOptimize(game->Update(input, 1.0f / 60.0f));
        glClear(GL_COLOR_BUFFER_BIT);
        game->Draw();
        if (finish) {
            glFinish();
        }
    }
}

void BM_InGameFrame(benchmark::State& state) { RunFrames(state, false); }
void BM_InGameFrameRasterised(benchmark::State& state) { RunFrames(state, true); }

BENCHMARK(BM_LoadLevelZero)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_InGameFrame)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(BM_InGameFrameRasterised)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace

int main(int argc, char** argv) {
    if (!OpenDisplay()) {
        std::fprintf(stderr, "in_game_bench: no OpenGL display (run under xvfb-run)\n");
        return 1;
    }
    PrepareRegistry();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("Budgets: loading Level0 under 100 ms, one in-game frame under 3 ms of CPU.\n");
    return 0;
}
