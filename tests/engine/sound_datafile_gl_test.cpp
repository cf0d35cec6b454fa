#include <gtest/gtest.h>

#include <allegro.h>

#include "engine/resources/resource.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/ogg_player.h"
#include "engine/sound/sample_loader.h"
#include "engine/sound/sound_manager.h"
#include "tests/support/headless_allegro.h"

namespace {

class SoundDatafileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (system_driver == nullptr) {
            EnsureHeadlessAllegro();
        }
        orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
    }
    void TearDown() override { orvel::ClearDatafilePath(); }
};

// The build packs every effect of the sound list as a sample object, and the
// samples come from there rather than from the loose files.
TEST_F(SoundDatafileTest, TheGameSamplesComeFromTheDatafile) {
    for (const char* name : {"snd_magnet_on", "snd_money_spent", "snd_clicked_button",
                             "snd_rollover_button", "snd_access_denied", "snd_stats_crank"}) {
        SCOPED_TRACE(name);
        const std::string file = std::string("resources/sounds/") + name + ".wav";
        const orvel::AccessInterfacePtr access = orvel::LoadDatafileObject(file);
        ASSERT_TRUE(access->object);
        EXPECT_EQ(access->object->type, DAT_SAMPLE);
        const orvel::SampleDataPtr sample = orvel::LoadSampleResource(file);
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->bits, 16);
        EXPECT_EQ(sample->freq, 22050);
        EXPECT_GT(sample->len, 0u);
    }
}

TEST_F(SoundDatafileTest, TheSoundListReadsFromTheDatafile) {
    ASSERT_TRUE(orvel::LoadDatafileObject("resources/sounds/sounds.txt")->object);
    orvel::SoundManager manager(8, std::make_shared<orvel::FakeVoiceBackend>());
    manager.LoadSoundList("resources/sounds/sounds.txt");
    EXPECT_EQ(manager.GetSampleCount(), 14u);
    const orvel::SamplePtr magnet = manager.GetSample(PropertyKey("snd_magnet_on"));
    ASSERT_TRUE(magnet);
    EXPECT_NE(magnet->GetData(), nullptr);
}

TEST_F(SoundDatafileTest, TheLevelMusicStreamsFromTheDatafile) {
    ASSERT_TRUE(orvel::LoadDatafileObject("resources/music/level1.ogg")->object);
    auto backend = std::make_shared<orvel::FakeVoiceBackend>();
    orvel::OggPlayer player(backend);
    player.Open("resources/music/level1.ogg");
    EXPECT_EQ(player.GetChannels(), 2);
    EXPECT_EQ(player.GetRate(), 44100);
    ASSERT_TRUE(player.StartStream());
    player.FillBuffer();
    EXPECT_EQ(backend->GetStreams().front()->buffersPlayed, 1);
}

}  // namespace
