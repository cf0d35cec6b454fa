#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/property_key.h"
#include "engine/sound/sample_loader.h"

namespace orvel {

class VoiceBackend;

// How a sample plays, as the sound list gives it.
struct SampleSettings {
    int volume = 128;  // 0..255
    int pan = 128;     // 0..255, 128 is the middle
    // Absolute Hz; 0 plays the sample at its own rate.
    int frequency = 0;
    // Each play shifts the frequency by up to this fraction either way.
    float frequencyVariance = 0.06f;
    bool loop = false;
};

// One sound effect: its settings, its game-library data and the voices that
// are playing it now, which the crowd rule counts.
class Sample {
public:
    Sample(PropertyKey name, const std::string& fileName, const SampleSettings& settings);
    virtual ~Sample() = default;

    // Drops any earlier data, then reads the sample again (see
    // LoadSampleResource). A sample that cannot be read has no data.
    void Load();
    void Unload();

    PropertyKey GetName() const { return name; }
    const std::string& GetFileName() const { return fileName; }
    const SampleSettings& GetSettings() const { return settings; }
    const SAMPLE* GetData() const { return data.get(); }
    // The rate a voice plays it at before variance: the listed frequency,
    // or the sample's own rate when none is listed.
    int GetBaseFrequency() const;

    // True while the voice holds this sample's data.
    bool IsHeldBy(const VoiceBackend& backend, int voice) const;
    // True when the voice's position lies inside the sample.
    bool IsInside(const VoiceBackend& backend, int voice) const;

    // Forgets voices that have moved on to another sample or run off its end.
    void PrunePlayingVoices(const VoiceBackend& backend);
    // Forgets one voice, e.g. one just taken over for a new play.
    void ForgetVoice(int voice);
    void AddPlayingVoice(int voice) { playingVoices.push_back(voice); }
    const std::vector<int>& GetPlayingVoices() const { return playingVoices; }

    // The volume a new play may start at, given the plays still running:
    // silent when more than ten run or one started this frame (it is still at
    // position 0), else 5 lower for each.
    int CrowdVolume(const VoiceBackend& backend) const;

private:
    PropertyKey name;
    std::string fileName;
    SampleSettings settings;
    SampleDataPtr data;
    std::vector<int> playingVoices;
};

typedef std::shared_ptr<Sample> SamplePtr;

}  // namespace orvel
