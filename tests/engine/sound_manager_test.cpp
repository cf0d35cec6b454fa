#include "engine/sound/sound_manager.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/sample_loader.h"
#include "engine/sound/sound.h"

namespace {

using orvel::AnyVector;
using orvel::AnyVectorPtr;
using orvel::FakeVoiceBackend;
using orvel::Properties;
using orvel::PropertiesPtr;
using orvel::Property;
using orvel::SoundManager;

const char* const LIST_FILE = "tests/data/sound/list.txt";
const char* const TONE = "tone.wav";  // 11025 Hz, in the folder of LIST_FILE

// One entry of a sound list, with only the keys a test gives.
struct Entry {
    std::string soundName;
    std::string fileName;
    PropertiesPtr extra = std::make_shared<Properties>();

    Entry(const std::string& soundName, const std::string& fileName)
        : soundName(soundName), fileName(fileName) {}
    Entry& Int(const char* key, int value) {
        extra->SetInt(PropertyKey(key), value);
        return *this;
    }
    Entry& Float(const char* key, float value) {
        extra->SetFloat(PropertyKey(key), value);
        return *this;
    }
    Entry& Bool(const char* key, bool value) {
        extra->SetBool(PropertyKey(key), value);
        return *this;
    }
};

Properties MakeList(const std::vector<Entry>& entries) {
    auto list = std::make_shared<AnyVector>();
    for (const Entry& entry : entries) {
        auto set = std::make_shared<Properties>(*entry.extra);
        if (!entry.soundName.empty()) {
            set->SetString(PropertyKey("soundName"), entry.soundName);
        }
        if (!entry.fileName.empty()) {
            set->SetString(PropertyKey("fileName"), entry.fileName);
        }
        list->Append(Property(set, orvel::PROPERTY_STRUCT));
    }
    Properties root;
    root.SetList(PropertyKey("SoundList"), list);
    return root;
}

std::string ErrorText(SoundManager& manager, const Properties& list) {
    try {
        manager.LoadSoundList(list, LIST_FILE);
    } catch (const orvel::Exception& e) {
        return e.What();
    }
    return "";
}

class SoundListTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeVoiceBackend> backend = std::make_shared<FakeVoiceBackend>();
    SoundManager manager{8, backend};
};

struct SettingsCase {
    const char* what;
    Entry entry;
    int volume;
    int pan;
    int frequency;  // as stored; 0 is the sample's own rate
    int baseFrequency;
    float variance;
    bool loop;
};

TEST_F(SoundListTest, SettingsAreClampedScaledAndDefaulted) {
    const SettingsCase cases[] = {
        {"defaults", Entry("a", TONE), 128, 128, 0, 11025, 0.06f, false},
        {"volume above range", Entry("a", TONE).Int("volume", 300), 255, 128, 0, 11025, 0.06f,
         false},
        {"volume below range", Entry("a", TONE).Int("volume", -5), 0, 128, 0, 11025, 0.06f, false},
        {"volume 256", Entry("a", TONE).Int("volume", 256), 255, 128, 0, 11025, 0.06f, false},
        {"pan above range", Entry("a", TONE).Int("pan", 256), 128, 255, 0, 11025, 0.06f, false},
        {"pan below range", Entry("a", TONE).Int("pan", -1), 128, 0, 0, 11025, 0.06f, false},
        {"frequency 1", Entry("a", TONE).Float("frequency", 1.0f), 128, 128, 44100, 44100, 0.06f,
         false},
        {"frequency 0.5", Entry("a", TONE).Float("frequency", 0.5f), 128, 128, 22050, 22050, 0.06f,
         false},
        {"variance and loop", Entry("a", TONE).Float("frequencyVariance", 0.25f).Bool("loop", true),
         128, 128, 0, 11025, 0.25f, true},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.what);
        manager.LoadSoundList(MakeList({c.entry}), LIST_FILE);
        const orvel::SamplePtr sample = manager.GetSample(PropertyKey("a"));
        ASSERT_TRUE(sample);
        const orvel::SampleSettings& settings = sample->GetSettings();
        EXPECT_EQ(settings.volume, c.volume);
        EXPECT_EQ(settings.pan, c.pan);
        EXPECT_EQ(settings.frequency, c.frequency);
        EXPECT_EQ(sample->GetBaseFrequency(), c.baseFrequency);
        EXPECT_FLOAT_EQ(settings.frequencyVariance, c.variance);
        EXPECT_EQ(settings.loop, c.loop);
    }
}

TEST_F(SoundListTest, FileNamesAreJoinedToTheListFolderAndSamplesLoad) {
    manager.LoadSoundList(MakeList({Entry("a", TONE)}), LIST_FILE);
    const orvel::SamplePtr sample = manager.GetSample(PropertyKey("a"));
    EXPECT_EQ(sample->GetFileName(), "tests/data/sound/tone.wav");
    ASSERT_NE(sample->GetData(), nullptr);
    EXPECT_EQ(sample->GetData()->bits, 16);
    EXPECT_EQ(sample->GetData()->freq, 11025);
}

TEST_F(SoundListTest, ALaterEntryOfTheSameNameReplacesTheEarlier) {
    manager.LoadSoundList(MakeList({Entry("a", TONE).Int("volume", 10), Entry("b", TONE),
                                    Entry("a", "missing.wav").Int("volume", 20)}),
                          LIST_FILE);
    EXPECT_EQ(manager.GetSampleCount(), 2u);
    const orvel::SamplePtr sample = manager.GetSample(PropertyKey("a"));
    EXPECT_EQ(sample->GetSettings().volume, 20);
    EXPECT_EQ(sample->GetFileName(), "tests/data/sound/missing.wav");
}

TEST_F(SoundListTest, MissingStringsNameTheStringAndTheFile) {
    EXPECT_EQ(ErrorText(manager, Properties()),
              "A string could not be found.\nString:SoundList\nIn tests/data/sound/list.txt");
    EXPECT_EQ(ErrorText(manager, MakeList({Entry("a", TONE), Entry("", TONE)})),
              "A string could not be found.\nString:Sound #\nIn tests/data/sound/list.txt");
    EXPECT_EQ(ErrorText(manager, MakeList({Entry("a", "")})),
              "A string could not be found.\nString:Sound #\nIn tests/data/sound/list.txt");
}

TEST_F(SoundListTest, AnUnknownNameGivesASoundThatNeverPlays) {
    const orvel::SoundPtr sound = manager.CreateSound(PropertyKey("nothing"));
    ASSERT_TRUE(sound);
    sound->Play();
    EXPECT_EQ(sound->GetVoice(), -1);
    EXPECT_EQ(backend->CountAllocatedVoices(), 0);
}

TEST_F(SoundListTest, TheGameSoundListLoadsEverySample) {
    manager.LoadSoundList("resources/sounds/sounds.txt");
    EXPECT_EQ(manager.GetSampleCount(), 14u);
    for (const char* name :
         {"snd_magnet_on", "snd_money_spent", "snd_clicked_button", "snd_rollover_button",
          "snd_access_denied", "snd_stats_crank", "snd_low_steam", "snd_magnet_stick", "snd_rifle",
          "snd_cannon", "snd_flak", "snd_explosion", "snd_hit", "snd_flag_raise"}) {
        SCOPED_TRACE(name);
        const orvel::SamplePtr sample = manager.GetSample(PropertyKey(name));
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->GetFileName(), std::string("resources/sounds/") + name + ".wav");
        ASSERT_NE(sample->GetData(), nullptr);
        EXPECT_EQ(sample->GetData()->bits, 16);
        // No entry names a frequency: each plays at its own rate.
        EXPECT_EQ(sample->GetBaseFrequency(), sample->GetData()->freq);
    }
    EXPECT_TRUE(manager.GetSample(PropertyKey("snd_magnet_on"))->GetSettings().loop);
    EXPECT_FALSE(manager.GetSample(PropertyKey("snd_clicked_button"))->GetSettings().loop);
}

TEST_F(SoundListTest, ListFilesReadThroughThePropertyFileReader) {
    const orvel::PropertiesPtr list = orvel::ParsePropertyString(
        "list struct SoundList\n"
        "{\n"
        "\t{\n"
        "\t\tstring soundName: \"tick\"\n"
        "\t\tstring fileName: \"tone.wav\"\n"
        "\t\tint volume: 300\n"
        "\t\tfloat frequency: 0.25\n"
        "\t\tbool loop: yes\n"
        "\t}\n"
        "}\n",
        LIST_FILE);
    manager.LoadSoundList(*list, LIST_FILE);
    const orvel::SamplePtr sample = manager.GetSample(PropertyKey("tick"));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->GetSettings().volume, 255);
    EXPECT_EQ(sample->GetSettings().frequency, 11025);
    EXPECT_TRUE(sample->GetSettings().loop);

    EXPECT_THROW(manager.LoadSoundList("tests/data/sound/missing_list.txt"),
                 orvel::ExceptionFileNotFound);
    const orvel::PropertiesPtr noList = orvel::ParsePropertyString("int volume: 3\n", LIST_FILE);
    EXPECT_EQ(ErrorText(manager, *noList),
              "A string could not be found.\nString:SoundList\nIn tests/data/sound/list.txt");
}

struct PlacementCase {
    float x;
    int volumeIn;
    int panIn;
    int volume;
    int pan;
};

TEST(SoundManagerPlacementTest, PanAndVolumeFollowTheDistanceFromTheViewCentre) {
    SoundManager manager(8, std::make_shared<FakeVoiceBackend>());
    // The view is 800 wide around x = 0: a half-width is 400.
    const PlacementCase cases[] = {
        {0.0f, 128, 128, 128, 128},    // centre
        {200.0f, 128, 128, 128, 192},  // half way right: 128 + 63.5
        {-200.0f, 128, 128, 128, 65},  // half way left: 128 - 63.5
        {400.0f, 128, 128, 128, 255},  // one half-width: full right, full volume
        {-400.0f, 128, 128, 128, 1},   // full left
        {600.0f, 128, 128, 64, 255},   // 1.5 half-widths: half volume
        {-600.0f, 128, 128, 64, 1},    //
        {800.0f, 128, 128, 0, 255},    // 2 half-widths: silent
        {1000.0f, 128, 128, 0, 255},   // 2.5: silent
        {-1000.0f, 128, 128, 0, 1},    //
        {400.0f, 255, 200, 255, 255},  // the pan clamps at 255
        {-400.0f, 255, 60, 255, 0},    // and at 0
        {0.0f, 300, 128, 255, 128},    // so does the volume
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.x);
        int volume = c.volumeIn;
        int pan = c.panIn;
        manager.ComputePanAndVolume(volume, pan, c.x);
        EXPECT_EQ(volume, c.volume);
        EXPECT_EQ(pan, c.pan);
    }
}

class SampleLoadingTest : public ::testing::Test {
protected:
    // Datafiles need the library's file system; the headless system will do.
    void SetUp() override {
        if (system_driver == nullptr) {
            install_allegro(SYSTEM_NONE, &errno, atexit);
        }
    }
    void TearDown() override { orvel::ClearDatafilePath(); }
};

TEST_F(SampleLoadingTest, LooseFilesAndDatafileObjects) {
    EXPECT_TRUE(orvel::LoadSampleResource("tests/data/sound/tone.wav"));
    EXPECT_FALSE(orvel::LoadSampleResource("tests/data/sound/packed.wav"));
    EXPECT_FALSE(orvel::LoadSampleResource("tests/data/sound/missing.wav"));
    // Not a WAV file at all.
    EXPECT_FALSE(orvel::LoadSampleResource("tests/data/sound/mono_1s.ogg"));

    orvel::SetDatafilePath("tests/data/sound/sound_test.dat");
    const orvel::SampleDataPtr packed = orvel::LoadSampleResource("tests/data/sound/packed.wav");
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->freq, 22050);
    // Missing from the datafile: read from the loose file.
    EXPECT_TRUE(orvel::LoadSampleResource("tests/data/sound/tone.wav"));
    // Missing from both: no data, exactly as without a datafile.
    EXPECT_FALSE(orvel::LoadSampleResource("tests/data/sound/missing.wav"));
    // A plain data object is never taken for a sample.
    EXPECT_FALSE(orvel::LoadSampleResource("tests/data/sound/text_object.wav"));
}

TEST_F(SampleLoadingTest, UnloadFreesVoicesAndDataAndReloadReadsAgain) {
    auto backend = std::make_shared<FakeVoiceBackend>();
    SoundManager manager(4, backend);
    manager.LoadSoundList(MakeList({Entry("a", TONE)}), LIST_FILE);
    const orvel::SoundPtr sound = manager.CreateSound(PropertyKey("a"));
    sound->Play();
    EXPECT_TRUE(sound->IsPlaying());
    EXPECT_EQ(backend->CountAllocatedVoices(), 1);

    manager.UnloadSamples();
    EXPECT_EQ(backend->CountAllocatedVoices(), 0);
    EXPECT_EQ(manager.GetSample(PropertyKey("a"))->GetData(), nullptr);
    EXPECT_FALSE(sound->IsPlaying());
    sound->Play();
    EXPECT_EQ(backend->CountAllocatedVoices(), 0);

    manager.ReloadSamples();
    sound->Play();
    EXPECT_TRUE(sound->IsPlaying());
}

}  // namespace
