#pragma once

#include <memory>

struct SAMPLE;
struct AUDIOSTREAM;

namespace orvel {

// The game library's digital voices and audio streams, as the sound manager
// and the music player use them. The logic above this line (voice
// allocation, crowd damping, stereo placement, stream refills) is the same
// for every back end; the game plays through AllegroVoiceBackend and tests
// watch FakeVoiceBackend, because without a sound card the library's voice
// queries answer -1 and nothing could be observed.
//
// Voices are numbers handed out by AllocateVoice. Volumes and pans run from
// 0 to 255, frequencies are absolute Hz, positions count sample frames and
// are -1 once a voice has stopped.
class VoiceBackend {
public:
    virtual ~VoiceBackend() = default;

    // A voice bound to the sample, or -1 when every voice is taken.
    virtual int AllocateVoice(const SAMPLE* sample) = 0;
    // Binds an allocated voice to another sample and rewinds it.
    virtual void ReallocateVoice(int voice, const SAMPLE* sample) = 0;
    virtual void DeallocateVoice(int voice) = 0;
    // The sample the voice holds, or null when it holds none.
    virtual const SAMPLE* GetVoiceSample(int voice) const = 0;

    virtual void StartVoice(int voice) = 0;
    virtual void StopVoice(int voice) = 0;
    // PLAYMODE_PLAY or PLAYMODE_LOOP.
    virtual void SetPlayMode(int voice, int mode) = 0;
    virtual int GetPosition(int voice) const = 0;
    virtual void SetPosition(int voice, int position) = 0;
    virtual int GetVolume(int voice) const = 0;
    virtual void SetVolume(int voice, int volume) = 0;
    virtual void RampVolume(int voice, int milliseconds, int volume) = 0;
    virtual void StopVolumeRamp(int voice) = 0;
    virtual void SetFrequency(int voice, int frequency) = 0;
    virtual void SetPan(int voice, int pan) = 0;

    // A running stream of `length`-sample buffers, or null when none can be
    // made. Its voice is the stream's `voice` field.
    virtual AUDIOSTREAM* PlayStream(int length, int bits, bool stereo, int frequency, int volume,
                                    int pan) = 0;
    // The buffer to refill now, or null when the stream needs none yet.
    // A buffer holds length x channels samples of bits / 8 bytes each.
    virtual void* GetStreamBuffer(AUDIOSTREAM* stream) = 0;
    // Hands a refilled buffer back to the stream.
    virtual void FreeStreamBuffer(AUDIOSTREAM* stream) = 0;
    virtual void StopStream(AUDIOSTREAM* stream) = 0;
};

typedef std::shared_ptr<VoiceBackend> VoiceBackendPtr;

}  // namespace orvel
