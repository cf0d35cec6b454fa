#include "engine/sound/allegro_voice_backend.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/sound/ogg_player.h"
#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"

namespace {

using orvel::AllegroVoiceBackend;
using orvel::Properties;
using orvel::PropertiesPtr;
using orvel::SoundManager;
using orvel::SoundPtr;

const int VOICES = 16;

// Counts the stream buffers the library really asked for.
class CountingBackend : public AllegroVoiceBackend {
public:
    void* GetStreamBuffer(AUDIOSTREAM* stream) override {
        void* buffer = AllegroVoiceBackend::GetStreamBuffer(stream);
        buffersGiven += buffer != nullptr ? 1 : 0;
        return buffer;
    }
    int buffersGiven = 0;
};

// Real mixing needs the library's ALSA driver, which it loads only with its
// X11 system driver (the headless system driver offers no sound at all),
// and ALSA's "null" device in place of a sound card.
void InstallSoundOnTheNullDevice() {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs an X display: the game library loads its ALSA sound driver only "
                        "with its X11 system driver (scripts/test.sh runs the tests under Xvfb)";
    }
    // Another test of this process may have started the headless system.
    if (system_driver != nullptr && system_driver->id == SYSTEM_NONE) {
        allegro_exit();
    }
    // No exit handler: the library would unload its ALSA module at exit,
    // and the leak checker could no longer name that module.
    ASSERT_EQ(install_allegro(SYSTEM_AUTODETECT, &errno, nullptr), 0) << allegro_error;
    set_config_string("sound", "alsa_device", "null");
    reserve_voices(VOICES, -1);
    ASSERT_EQ(install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr), 0) << allegro_error;
    ASSERT_NE(digi_driver, nullptr);
    ASSERT_GE(digi_driver->voices, VOICES);
}

void Wait(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Properties ToneList() {
    auto list = std::make_shared<orvel::AnyVector>();
    for (bool loop : {false, true}) {
        auto entry = std::make_shared<Properties>();
        entry->SetString(PropertyKey("soundName"), loop ? "hum" : "tick");
        entry->SetString(PropertyKey("fileName"), "tone.wav");
        entry->SetBool(PropertyKey("loop"), loop);
        list->Append(orvel::Property(entry, orvel::PROPERTY_STRUCT));
    }
    Properties root;
    root.SetList(PropertyKey("SoundList"), list);
    return root;
}

void PlaySoundsAndMusic();

TEST(SoundAllegroBackendTest, SoundsAndMusicPlayThroughTheLibraryMixer) {
    InstallSoundOnTheNullDevice();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }

    PlaySoundsAndMusic();
    // Later tests of this process must not meet a running mixer.
    remove_sound();
}

void PlaySoundsAndMusic() {
    SoundManager manager(VOICES, std::make_shared<AllegroVoiceBackend>());
    manager.LoadSoundList(ToneList(), "tests/data/sound/list.txt");
    const SoundPtr tick = manager.CreateSound(PropertyKey("tick"));
    const SoundPtr hum = manager.CreateSound(PropertyKey("hum"));
    tick->Play();
    hum->Play();
    EXPECT_TRUE(tick->IsPlaying());
    EXPECT_TRUE(hum->IsPlaying());
    hum->SetVolumeScale(0.5f);
    EXPECT_EQ(hum->GetVolume(), 64);

    // The tone lasts 0.1 s: the one-shot ends, the loop goes round.
    Wait(400);
    orvel::VoiceBackend& backend = manager.GetBackend();
    EXPECT_EQ(backend.GetPosition(tick->GetVoice()), -1);
    const int position = backend.GetPosition(hum->GetVoice());
    EXPECT_GE(position, 0);
    EXPECT_LT(static_cast<unsigned long>(position), hum->GetSample()->GetData()->len);
    hum->Silence();
    EXPECT_EQ(hum->GetVolume(), 0);

    auto counting = std::make_shared<CountingBackend>();
    orvel::OggPlayer player(counting);
    player.Open("resources/music/level1.ogg");
    ASSERT_TRUE(player.StartStream());
    for (int frame = 0; frame < 40; ++frame) {
        player.FillBuffer();
        Wait(15);
    }
    EXPECT_GT(counting->buffersGiven, 0);
    player.RampVolume(100, 0);
    player.Close();
    EXPECT_FALSE(player.IsStreaming());
}

}  // namespace
