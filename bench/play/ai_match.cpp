#include "bench/play/ai_match.h"

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
#include "engine/core/input.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/sound_manager.h"
#include "game/play/mechanica_state.h"
#include "game/play/tutorial_dialog.h"

namespace {

class QuietInput : public orvel::InputSource {
public:
    void ReadKeys(std::vector<uint8_t>&) override {}
    void ReadMouse(int& x, int& y, int& buttons) override { x = y = buttons = 0; }
    void ReadMickeys(int& x, int& y) override { x = y = 0; }
    std::vector<orvel::JoystickReading> ReadJoysticks() override { return {}; }
};

}  // namespace

std::shared_ptr<orvel::InputSource> MatchInput() { return std::make_shared<QuietInput>(); }

bool OpenMatchDisplay() {
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

void PrepareMatchRegistry(const std::string& folder) {
    setenv("XDG_CONFIG_HOME", "/tmp", 0);
#ifdef GEARHAVEN_BUILT_DATAFILE
    orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
#endif
    orvel::Attributes& registry = orvel::GlobalProperties();
    const orvel::PropertiesPtr settings = std::make_shared<orvel::Properties>();
    FillSettingsDefaults(*settings);
    registry[PropertyKey("TARNMOORE_Settings")] = settings;
    // Nobody is there to close a hint (the airship's death, the full purse),
    // and an open hint holds the game: the player's option turns them off.
    SetTutorialDialogsEnabled(0);
    // The game's samples on a silent backend: the units' sounds name them.
    const auto sounds =
        std::make_shared<orvel::SoundManager>(64, std::make_shared<orvel::FakeVoiceBackend>());
    sounds->LoadSoundList("resources/sounds/sounds.txt");
    registry[PropertyKey("qSoundManager")] = sounds;
    registry[PropertyKey("qObjectProperties")] =
        orvel::LoadPropertyFile("resources/objectfile1.txt");
    registry.SetInt(PropertyKey("TARNMOORE_CurrentLevel"), 0);
    registry.SetInt(PropertyKey("difficulty"), 1);
    registry.SetBool(PropertyKey("isSkirmishMode"), true);
    registry.SetString(PropertyKey("levelPath"), folder);
}

MatchResult PlayMatch(int limitMinutes, unsigned seed) {
    std::srand(seed);
    auto game = std::make_shared<MechanicaState>(PropertyKey("TARNMOORE_STATE_Mechanica"));
    const auto start = std::chrono::steady_clock::now();
    orvel::Input input(MatchInput());
    const long limit = long(limitMinutes) * 60 * 60;
    MatchResult result;
    while (result.frames < limit && game->GetOutcome() == 0) {
        input.Poll();
        game->Update(input, MATCH_FRAME);
        ++result.frames;
    }
    result.outcome = game->GetOutcome();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

std::string MatchClock(long frames) {
    const long seconds = long(float(frames) * MATCH_FRAME);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    return text;
}
