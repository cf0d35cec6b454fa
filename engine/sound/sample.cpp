#include "engine/sound/sample.h"

#include <algorithm>

#include <allegro.h>

#include "engine/sound/voice_backend.h"

namespace orvel {

namespace {
const int CROWD_LIMIT = 10;
const int CROWD_STEP = 5;
}  // namespace

Sample::Sample(PropertyKey name, const std::string& fileName, const SampleSettings& settings)
    : name(name), fileName(fileName), settings(settings) {}

void Sample::Load() {
    Unload();
    data = LoadSampleResource(fileName);
}

void Sample::Unload() {
    data.reset();
    playingVoices.clear();
}

int Sample::GetBaseFrequency() const {
    if (settings.frequency > 0 || !data) {
        return settings.frequency;
    }
    return data->freq;
}

bool Sample::IsHeldBy(const VoiceBackend& backend, int voice) const {
    return voice >= 0 && data && backend.GetVoiceSample(voice) == data.get();
}

bool Sample::IsInside(const VoiceBackend& backend, int voice) const {
    const int position = backend.GetPosition(voice);
    return data && position >= 0 && static_cast<unsigned long>(position) < data->len;
}

void Sample::PrunePlayingVoices(const VoiceBackend& backend) {
    playingVoices.erase(
        std::remove_if(
            playingVoices.begin(), playingVoices.end(),
            [&](int voice) { return !IsHeldBy(backend, voice) || !IsInside(backend, voice); }),
        playingVoices.end());
}

void Sample::ForgetVoice(int voice) {
    playingVoices.erase(std::remove(playingVoices.begin(), playingVoices.end(), voice),
                        playingVoices.end());
}

int Sample::CrowdVolume(const VoiceBackend& backend) const {
    const int playing = static_cast<int>(playingVoices.size());
    if (playing > CROWD_LIMIT) {
        return 0;
    }
    for (int voice : playingVoices) {
        if (backend.GetPosition(voice) == 0) {
            return 0;
        }
    }
    return settings.volume - CROWD_STEP * playing;
}

}  // namespace orvel
