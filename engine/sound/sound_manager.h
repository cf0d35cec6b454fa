#pragma once

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/sound/sample.h"
#include "engine/sound/voice_backend.h"

namespace orvel {

class Sound;
typedef std::shared_ptr<Sound> SoundPtr;

// The game's sound effects by name. It owns the samples of the sound list,
// hands out Sounds that play them, shares the game library's voices among
// all plays through a round-robin table, and places a sound in the stereo
// field by its distance from the middle of the view.
class SoundManager {
public:
    // `voices` is the number of digital voices the library reserved; the
    // table uses one fewer (the music stream needs one), and none at all when
    // there is at most one.
    explicit SoundManager(int voices);
    SoundManager(int voices, const VoiceBackendPtr& backend);
    virtual ~SoundManager();

    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Reads the sound list file (see the overload) and loads every sample.
    void LoadSoundList(const std::string& file);
    // Takes every entry of the list "SoundList" of `soundList`, a tree read
    // from `file`. File names are relative to the folder of `file`. Throws
    // ExceptionStringNotFound ("SoundList", or "Sound #" for an entry without
    // "soundName" or "fileName").
    void LoadSoundList(const Properties& soundList, const std::string& file);

    // A sound bound to the named sample (null when no sample has that name)
    // that is not playing yet.
    SoundPtr CreateSound(PropertyKey name);
    SamplePtr GetSample(PropertyKey name) const;
    size_t GetSampleCount() const { return samples.size(); }

    void Enable() { enabled = true; }
    // Stops new plays and silences every voice of the table.
    void Disable();
    bool IsEnabled() const { return enabled; }
    void SilenceAllVoices();

    // Frees every voice and releases every sample's data (the display was
    // switched away); ReloadSamples reads the samples again.
    void UnloadSamples();
    void ReloadSamples();

    // A voice for a new play of the sample, or -1 (no data, no table).
    int AllocateVoice(const Sample& sample);

    // Moves `volume` and `pan` by the sound's x position: within one
    // half-width of the view's centre the pan swings linearly, between one
    // and two half-widths the volume fades linearly at the full side, and
    // beyond that the sound is silent. Both end in 0..255.
    void ComputePanAndVolume(int& volume, int& pan, float x) const;

    // Where the listener is, set by the game each frame. A sound's x is
    // multiplied by the position scale (world units to pixels) and measured
    // from the view centre (the listener's x, in pixels) in view half-widths;
    // the pan swing is how far a sound one half-width off centre moves its
    // pan. The view width is the whole view, kept beside its half. Half-widths
    // and widths that are not above 0, and values that are not finite, throw
    // ExceptionGeneral.
    void SetPositionScale(float scale);
    void SetViewCentre(float x);
    void SetViewWidth(float width);
    void SetViewHalfWidth(float halfWidth);
    void SetPanSwing(float swing);
    float GetPositionScale() const { return positionScale; }
    float GetViewCentre() const { return viewCentre; }
    float GetViewWidth() const { return viewWidth; }
    float GetViewHalfWidth() const { return viewHalfWidth; }
    float GetPanSwing() const { return panSwing; }

    // The factor r in [-1, 1] by which the next play scales its sample's
    // frequency variance. Drawn afresh for each play unless fixed.
    float DrawFrequencyVarianceFactor();
    void FixFrequencyVarianceFactor(float r);

    VoiceBackend& GetBackend() const { return *backend; }
    const VoiceBackendPtr& GetBackendPtr() const { return backend; }
    const std::vector<int>& GetVoiceTable() const { return voiceTable; }

private:
    VoiceBackendPtr backend;
    std::map<PropertyKey, SamplePtr> samples;
    std::string soundListFile;

    float panSwing = 127.0f;
    float viewHalfWidth = 400.0f;
    float viewWidth = 800.0f;
    float viewCentre = 0.0f;
    float positionScale = 1.0f;

    std::mt19937 random;
    bool varianceFactorFixed = false;
    float fixedVarianceFactor = 0.0f;

    bool enabled = true;
    std::vector<int> voiceTable;
    size_t nextIndex = 0;
};

typedef std::shared_ptr<SoundManager> SoundManagerPtr;

}  // namespace orvel
