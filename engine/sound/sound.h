#pragma once

#include <memory>

#include "engine/core/property_key.h"
#include "engine/sound/sample.h"
#include "engine/sound/voice_backend.h"

namespace orvel {

class SoundManager;

// One user of a sample: a unit's engine, a button's click. Each play takes
// a voice afresh from the manager; every later call checks that the voice
// still plays this sample, because the manager may have handed it to
// another sound in the meantime.
//
// The manager must outlive every play; a sound may outlive its manager only
// to be destroyed.
class Sound {
public:
    Sound(SoundManager& manager, const SamplePtr& sample);
    // Ends a looping play so the voice does not loop on unowned.
    virtual ~Sound();

    // A copy is a new sound of the same manager and sample that is not
    // playing; the original keeps its voice. Assigning first ends a looping
    // play of the assigned-to sound, as SetSample does.
    Sound(const Sound& other);
    Sound& operator=(const Sound& other);

    void Play();
    // As Play, placed by the x translation of a row-major 4x4 transform
    // (element 12).
    void PlayAt(const float matrix[16]);
    // Places a playing sound anew by the transform.
    void SetPosition(const float matrix[16]);

    void Stop();
    // Ends looping and mutes the voice.
    void Silence();
    void FadeOut(int milliseconds);
    void SetVolumeScale(float scale);
    void RestoreVolume();
    // The voice's volume, or 0 when the voice has moved on.
    int GetVolume() const;
    bool IsAtSampleVolume() const;
    bool IsPlaying() const;
    // Ends a looping play, then plays the named sample from now on (no
    // sample when the manager has none of that name).
    void SetSample(PropertyKey name);

    const SamplePtr& GetSample() const { return sample; }
    int GetVoice() const { return voice; }

private:
    enum class Placement { Centre, ByPosition };

    void StartPlay(Placement placement, float x);
    // Position, volume, pan, play mode and frequency of a new play.
    void ApplySampleSettings(int voice);
    void EndLoop();
    void SetClampedVolume(int volume);

    SoundManager* manager;
    VoiceBackendPtr backend;
    SamplePtr sample;
    int voice = -1;
};

}  // namespace orvel
