#include "engine/sound/sound.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>

#include "engine/core/exception.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/sound_manager.h"

namespace {

using orvel::AnyVector;
using orvel::FakeVoiceBackend;
using orvel::Properties;
using orvel::PropertiesPtr;
using orvel::Property;
using orvel::SoundManager;
using orvel::SoundPtr;

const char* const LIST_FILE = "tests/data/sound/list.txt";

// Every sample plays the 11025 Hz tone beside LIST_FILE.
PropertiesPtr Entry(const char* name) {
    auto entry = std::make_shared<Properties>();
    entry->SetString(PropertyKey("soundName"), name);
    entry->SetString(PropertyKey("fileName"), "tone.wav");
    entry->SetFloat(PropertyKey("frequencyVariance"), 0.0f);
    return entry;
}

Properties TestList() {
    auto list = std::make_shared<AnyVector>();
    for (const char* name : {"a", "b", "c", "d"}) {
        list->Append(Property(Entry(name), orvel::PROPERTY_STRUCT));
    }
    PropertiesPtr hum = Entry("hum");
    hum->SetBool(PropertyKey("loop"), true);
    PropertiesPtr loud = Entry("loud");
    loud->SetInt(PropertyKey("volume"), 300);
    PropertiesPtr wobble = Entry("wobble");
    wobble->SetFloat(PropertyKey("frequency"), 1.0f);
    wobble->SetFloat(PropertyKey("frequencyVariance"), 0.2f);
    for (const PropertiesPtr& entry : {hum, loud, wobble}) {
        list->Append(Property(entry, orvel::PROPERTY_STRUCT));
    }
    Properties root;
    root.SetList(PropertyKey("SoundList"), list);
    return root;
}

// A row-major 4x4 transform that only moves along x.
struct Transform {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    explicit Transform(float x) { m[12] = x; }
};

class SoundTest : public ::testing::Test {
protected:
    explicit SoundTest(int voices = 8) : manager(voices, backend) {
        manager.LoadSoundList(TestList(), LIST_FILE);
        manager.FixFrequencyVarianceFactor(0.0f);
        length = static_cast<int>(manager.GetSample(PropertyKey("a"))->GetData()->len);
    }

    SoundPtr Create(const char* name) { return manager.CreateSound(PropertyKey(name)); }
    const FakeVoiceBackend::Voice& VoiceOf(const SoundPtr& sound) const {
        return backend->GetVoice(sound->GetVoice());
    }

    std::shared_ptr<FakeVoiceBackend> backend = std::make_shared<FakeVoiceBackend>();
    SoundManager manager;
    int length = 0;
};

class SoundWithThreeSlotsTest : public SoundTest {
protected:
    SoundWithThreeSlotsTest() : SoundTest(4) {}
};

class SoundWithOneSlotTest : public SoundTest {
protected:
    SoundWithOneSlotTest() : SoundTest(2) {}
};

TEST(SoundVoiceTableTest, HoldsOneVoiceFewerThanReservedAndNeverFewerThanNone) {
    const int voices[] = {0, 1, 2, 5};
    const size_t slots[] = {0, 0, 1, 4};
    for (int i = 0; i < 4; ++i) {
        auto backend = std::make_shared<FakeVoiceBackend>();
        SoundManager manager(voices[i], backend);
        manager.LoadSoundList(TestList(), LIST_FILE);
        EXPECT_EQ(manager.GetVoiceTable().size(), slots[i]);
        const SoundPtr sound = manager.CreateSound(PropertyKey("a"));
        sound->Play();
        EXPECT_EQ(sound->IsPlaying(), slots[i] > 0) << voices[i] << " voices";
    }
}

TEST_F(SoundWithThreeSlotsTest, RoundRobinTakesFreeSlotsThenTheStartSlotThenFinishedOnes) {
    const SoundPtr a = Create("a");
    const SoundPtr b = Create("b");
    const SoundPtr c = Create("c");
    const SoundPtr d = Create("d");
    a->Play();
    b->Play();
    c->Play();
    EXPECT_EQ(std::set<int>({a->GetVoice(), b->GetVoice(), c->GetVoice()}).size(), 3u);
    EXPECT_EQ(backend->CountAllocatedVoices(), 3);

    // Every slot busy: the search starts at slot 0, whose voice `a` gives up.
    backend->Advance(10);
    d->Play();
    EXPECT_EQ(d->GetVoice(), a->GetVoice());
    EXPECT_TRUE(d->IsPlaying());
    EXPECT_FALSE(a->IsPlaying());
    EXPECT_EQ(backend->CountAllocatedVoices(), 3);

    // Once all have finished, the search goes on from slot 1 (b's voice).
    backend->Advance(length);
    a->Play();
    EXPECT_EQ(a->GetVoice(), b->GetVoice());
    EXPECT_TRUE(a->IsPlaying());
    EXPECT_EQ(backend->CountAllocatedVoices(), 3);
}

TEST_F(SoundWithThreeSlotsTest, ASoundLeavesAVoiceAloneOnceAnotherSoundHasIt) {
    SoundPtr a = Create("hum");
    const SoundPtr b = Create("b");
    const SoundPtr c = Create("c");
    const SoundPtr d = Create("d");
    for (const SoundPtr& sound : {a, b, c}) {
        sound->Play();
    }
    backend->Advance(10);
    d->Play();
    ASSERT_EQ(d->GetVoice(), a->GetVoice());
    const FakeVoiceBackend::Voice before = VoiceOf(d);

    a->SetVolumeScale(0.0f);
    a->FadeOut(100);
    a->Silence();
    a->SetPosition(Transform(1000.0f).m);
    a->Stop();
    a->RestoreVolume();
    EXPECT_EQ(a->GetVolume(), 0);
    a.reset();  // ends a looping play, but this voice is no longer a's

    const FakeVoiceBackend::Voice& after = VoiceOf(d);
    EXPECT_EQ(after.volume, before.volume);
    EXPECT_EQ(after.playing, before.playing);
    EXPECT_EQ(after.position, before.position);
    EXPECT_EQ(after.playMode, before.playMode);
    EXPECT_EQ(after.rampMilliseconds, -1);
}

TEST_F(SoundTest, TheSecondPlayOfASampleInOneFrameIsSilent) {
    const SoundPtr first = Create("a");
    const SoundPtr second = Create("a");
    first->Play();
    EXPECT_TRUE(VoiceOf(first).playing);
    EXPECT_EQ(VoiceOf(first).volume, 128);
    second->Play();
    EXPECT_FALSE(VoiceOf(second).playing);

    // A looping sample starts anyway, sharing the volume with the first play.
    const SoundPtr hum1 = Create("hum");
    const SoundPtr hum2 = Create("hum");
    hum1->Play();
    hum2->Play();
    EXPECT_TRUE(VoiceOf(hum2).playing);
    EXPECT_EQ(VoiceOf(hum2).volume, 64);
    EXPECT_EQ(VoiceOf(hum2).playMode, PLAYMODE_LOOP);

    // One frame later the play is no longer new: the second play starts.
    backend->Advance(1);
    second->Play();
    EXPECT_TRUE(VoiceOf(second).playing);
    EXPECT_EQ(VoiceOf(second).volume, 64);
}

class SoundWithManyVoicesTest : public SoundTest {
protected:
    SoundWithManyVoicesTest() : SoundTest(16) {}
};

TEST_F(SoundWithManyVoicesTest, MoreThanTenPlaysOfOneSampleSilenceTheNext) {
    std::vector<SoundPtr> sounds;
    for (int i = 0; i < 12; ++i) {
        sounds.push_back(Create("a"));
        sounds.back()->Play();
        backend->Advance(1);
    }
    // The eleventh play had ten before it: 128 - 50 > 0, so it started.
    EXPECT_TRUE(VoiceOf(sounds[10]).playing);
    EXPECT_FALSE(VoiceOf(sounds[11]).playing);
}

TEST_F(SoundWithOneSlotTest, ATakenOverVoiceIsNoEarlierPlayOfItsSample) {
    const SoundPtr first = Create("a");
    const SoundPtr second = Create("a");
    first->Play();
    backend->Advance(10);
    // The only voice is taken over while it plays the same sample; it is
    // back at position 0 but is this play, not an earlier one.
    second->Play();
    EXPECT_EQ(second->GetVoice(), first->GetVoice());
    EXPECT_TRUE(VoiceOf(second).playing);
    EXPECT_EQ(VoiceOf(second).volume, 128);

    backend->Advance(length);
    first->Play();
    EXPECT_TRUE(VoiceOf(first).playing);
    EXPECT_EQ(VoiceOf(first).volume, 128);
}

TEST_F(SoundTest, ADisabledManagerPlaysNothingAndSilencesItsVoices) {
    const SoundPtr hum = Create("hum");
    hum->Play();
    manager.Disable();
    EXPECT_EQ(VoiceOf(hum).volume, 0);
    const SoundPtr a = Create("a");
    a->Play();
    EXPECT_EQ(a->GetVoice(), -1);
    EXPECT_EQ(backend->CountAllocatedVoices(), 1);
    manager.Enable();
    a->Play();
    EXPECT_TRUE(a->IsPlaying());
}

TEST_F(SoundTest, FrequencyIsTheSampleRateOrTheListedOneShiftedByTheVariance) {
    const SoundPtr a = Create("a");
    const SoundPtr wobble = Create("wobble");
    manager.FixFrequencyVarianceFactor(1.0f);
    a->Play();
    EXPECT_EQ(VoiceOf(a).frequency, 11025);  // no "frequency": the sample's own rate
    wobble->Play();
    EXPECT_EQ(VoiceOf(wobble).frequency, 52920);  // 44100 + 20 %
    backend->Advance(1);
    manager.FixFrequencyVarianceFactor(-1.0f);
    wobble->Play();
    EXPECT_EQ(VoiceOf(wobble).frequency, 35280);  // 44100 - 20 %
}

TEST(SoundVarianceTest, EachPlayDrawsItsOwnFactor) {
    auto backend = std::make_shared<FakeVoiceBackend>();
    SoundManager manager(64, backend);
    manager.LoadSoundList(TestList(), LIST_FILE);
    std::set<int> frequencies;
    const SoundPtr wobble = manager.CreateSound(PropertyKey("wobble"));
    for (int i = 0; i < 40; ++i) {
        wobble->Play();
        const int frequency = backend->GetVoice(wobble->GetVoice()).frequency;
        EXPECT_GE(frequency, 35280);
        EXPECT_LE(frequency, 52920);
        frequencies.insert(frequency);
        backend->Advance(100000);  // done: no crowd builds up
    }
    EXPECT_GT(frequencies.size(), 10u);
}

TEST_F(SoundTest, VolumesStayWithinTheLibraryRange) {
    const SoundPtr loud = Create("loud");
    loud->Play();
    EXPECT_EQ(VoiceOf(loud).volume, 255);
    EXPECT_TRUE(loud->IsAtSampleVolume());
    loud->SetVolumeScale(2.0f);
    EXPECT_EQ(loud->GetVolume(), 255);
    loud->SetVolumeScale(0.5f);
    EXPECT_EQ(loud->GetVolume(), 128);
    EXPECT_FALSE(loud->IsAtSampleVolume());
    loud->SetVolumeScale(-1.0f);
    EXPECT_EQ(loud->GetVolume(), 0);
    loud->RestoreVolume();
    EXPECT_EQ(loud->GetVolume(), 255);
}

TEST_F(SoundTest, PlayAtPlacesTheSoundAndSkipsSilentOneShots) {
    const SoundPtr a = Create("a");
    a->PlayAt(Transform(600.0f).m);
    EXPECT_TRUE(VoiceOf(a).playing);
    EXPECT_EQ(VoiceOf(a).volume, 64);
    EXPECT_EQ(VoiceOf(a).pan, 255);
    a->SetPosition(Transform(-200.0f).m);
    EXPECT_EQ(VoiceOf(a).volume, 128);
    EXPECT_EQ(VoiceOf(a).pan, 65);

    const SoundPtr far = Create("b");
    far->PlayAt(Transform(1000.0f).m);
    EXPECT_FALSE(VoiceOf(far).playing);
    const SoundPtr hum = Create("hum");
    hum->PlayAt(Transform(-1000.0f).m);
    EXPECT_TRUE(VoiceOf(hum).playing);
    EXPECT_EQ(VoiceOf(hum).volume, 0);
    EXPECT_EQ(VoiceOf(hum).pan, 1);
}

TEST_F(SoundTest, StopRewindsAndFadeOutRampsToSilence) {
    const SoundPtr a = Create("a");
    a->Play();
    backend->Advance(10);
    a->FadeOut(250);
    EXPECT_EQ(VoiceOf(a).rampMilliseconds, 250);
    EXPECT_EQ(VoiceOf(a).rampVolume, 0);
    a->Stop();
    EXPECT_FALSE(VoiceOf(a).playing);
    EXPECT_EQ(VoiceOf(a).position, 0);
}

TEST_F(SoundTest, LoopingPlaysEndWhenTheSoundGoesOrChangesSample) {
    SoundPtr hum = Create("hum");
    hum->Play();
    const int voice = hum->GetVoice();
    EXPECT_EQ(backend->GetVoice(voice).playMode, PLAYMODE_LOOP);
    hum.reset();
    EXPECT_EQ(backend->GetVoice(voice).playMode, PLAYMODE_PLAY);
    EXPECT_EQ(backend->GetVoice(voice).volume, 0);

    const SoundPtr other = Create("hum");
    backend->Advance(1);
    other->Play();
    const int otherVoice = other->GetVoice();
    other->SetSample(PropertyKey("a"));
    EXPECT_EQ(backend->GetVoice(otherVoice).playMode, PLAYMODE_PLAY);
    EXPECT_EQ(backend->GetVoice(otherVoice).volume, 0);
    EXPECT_EQ(other->GetSample(), manager.GetSample(PropertyKey("a")));
    EXPECT_FALSE(other->IsPlaying());

    // A plain play is left to finish by itself.
    SoundPtr a = Create("b");
    a->Play();
    const int aVoice = a->GetVoice();
    a.reset();
    EXPECT_TRUE(backend->GetVoice(aVoice).playing);
    EXPECT_EQ(backend->GetVoice(aVoice).volume, 128);
}

// The game sets the listener each frame: 30 pixels a world unit, the view
// 1000 pixels wide around the listener at x = 1500 pixels.
TEST_F(SoundTest, PanFollowsTheListenerTheGameSets) {
    manager.SetPositionScale(30.0f);
    manager.SetViewWidth(1000.0f);
    manager.SetViewHalfWidth(500.0f);
    manager.SetViewCentre(1500.0f);
    manager.SetPanSwing(100.0f);
    EXPECT_EQ(manager.GetViewWidth(), 1000.0f);
    // One sample each: a second play of a sample in one frame is silent.
    const struct {
        const char* sample;
        float worldX;
        int pan;
    } cases[] = {
        {"a", 1000.0f / 30.0f, 28},   // left edge of the view
        {"b", 1250.0f / 30.0f, 78},   // a quarter of the view left of centre
        {"c", 50.0f, 128},            // centre
        {"d", 2000.0f / 30.0f, 228},  // right edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sample);
        const SoundPtr sound = Create(c.sample);
        sound->PlayAt(Transform(c.worldX).m);
        EXPECT_TRUE(VoiceOf(sound).playing);
        EXPECT_EQ(VoiceOf(sound).pan, c.pan);
        EXPECT_EQ(VoiceOf(sound).volume, 128);
    }
}

TEST_F(SoundTest, ListenerValuesThatWouldBreakThePanAreRefused) {
    const std::function<void()> refused[] = {
        [&] { manager.SetViewHalfWidth(0.0f); },
        [&] { manager.SetViewHalfWidth(-400.0f); },
        [&] { manager.SetViewWidth(0.0f); },
        [&] { manager.SetPositionScale(std::numeric_limits<float>::infinity()); },
        [&] { manager.SetViewCentre(std::numeric_limits<float>::quiet_NaN()); },
        [&] { manager.SetPanSwing(std::numeric_limits<float>::quiet_NaN()); },
    };
    for (const auto& set : refused) {
        EXPECT_THROW(set(), orvel::ExceptionGeneral);
    }
    EXPECT_EQ(manager.GetViewHalfWidth(), 400.0f);
    EXPECT_EQ(manager.GetPositionScale(), 1.0f);
}

// A copy is a sound of its own: it takes a voice of its own and leaves the
// original's play alone.
TEST_F(SoundTest, ACopyIsANewSoundOfTheSameSample) {
    const SoundPtr hum = Create("hum");
    hum->Play();
    const int humVoice = hum->GetVoice();
    orvel::Sound copy(*hum);
    EXPECT_EQ(copy.GetSample(), hum->GetSample());
    EXPECT_EQ(copy.GetVoice(), -1);
    EXPECT_FALSE(copy.IsPlaying());
    backend->Advance(1);
    copy.Play();
    EXPECT_NE(copy.GetVoice(), humVoice);
    EXPECT_TRUE(hum->IsPlaying());

    // Assigning ends the assigned-to sound's loop and leaves it not playing.
    orvel::Sound other(*Create("a"));
    other = copy;
    EXPECT_EQ(other.GetSample(), hum->GetSample());
    EXPECT_EQ(other.GetVoice(), -1);
    const int copyVoice = copy.GetVoice();
    copy = other;
    EXPECT_EQ(backend->GetVoice(copyVoice).playMode, PLAYMODE_PLAY);
    EXPECT_EQ(backend->GetVoice(copyVoice).volume, 0);
    EXPECT_TRUE(hum->IsPlaying());
}

}  // namespace
