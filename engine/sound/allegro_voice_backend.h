#pragma once

#include "engine/sound/voice_backend.h"

namespace orvel {

// The voice back end of the game: every call goes straight to the game
// library's digital sound. A voice number below 0 is ignored, because the
// library would index its voice table with it.
class AllegroVoiceBackend : public VoiceBackend {
public:
    int AllocateVoice(const SAMPLE* sample) override;
    void ReallocateVoice(int voice, const SAMPLE* sample) override;
    void DeallocateVoice(int voice) override;
    const SAMPLE* GetVoiceSample(int voice) const override;

    void StartVoice(int voice) override;
    void StopVoice(int voice) override;
    void SetPlayMode(int voice, int mode) override;
    int GetPosition(int voice) const override;
    void SetPosition(int voice, int position) override;
    int GetVolume(int voice) const override;
    void SetVolume(int voice, int volume) override;
    void RampVolume(int voice, int milliseconds, int volume) override;
    void StopVolumeRamp(int voice) override;
    void SetFrequency(int voice, int frequency) override;
    void SetPan(int voice, int pan) override;

    AUDIOSTREAM* PlayStream(int length, int bits, bool stereo, int frequency, int volume,
                            int pan) override;
    void* GetStreamBuffer(AUDIOSTREAM* stream) override;
    void FreeStreamBuffer(AUDIOSTREAM* stream) override;
    void StopStream(AUDIOSTREAM* stream) override;
};

}  // namespace orvel
