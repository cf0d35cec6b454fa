#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/sound/voice_backend.h"

namespace orvel {

// A voice back end that plays nothing and remembers everything, so tests can
// see what the sound manager and the music player asked of the library.
// Voices play only when Advance moves them on. As in the library, a voice
// keeps its position when stopped, starts at position 0 when (re)allocated,
// and reports -1 once it has played to the end. A stream hands out its
// buffer on every request while it is marked due.
class FakeVoiceBackend : public VoiceBackend {
public:
    struct Voice {
        bool allocated = false;
        const SAMPLE* sample = nullptr;
        bool playing = false;
        int position = 0;  // -1 once played to the end
        int volume = 255;
        int pan = 128;
        int frequency = 0;
        int playMode = 0;
        int rampMilliseconds = -1;  // -1: no ramp running
        int rampVolume = 0;
    };

    explicit FakeVoiceBackend(int voiceCount = 64);
    ~FakeVoiceBackend() override;

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

    // Moves every playing voice on by `frames`: a looping voice wraps, any
    // other stops at the end of its sample.
    void Advance(int frames);

    const Voice& GetVoice(int voice) const { return voices.at(voice); }
    int GetVoiceCount() const { return static_cast<int>(voices.size()); }
    int CountAllocatedVoices() const;

    // What a stream was made with, and every buffer handed back to it.
    struct Stream {
        AUDIOSTREAM* handle = nullptr;
        int length = 0;
        int bits = 0;
        bool stereo = false;
        int frequency = 0;
        bool bufferDue = true;
        std::vector<uint8_t> buffer;
        std::vector<uint8_t> played;
        int buffersPlayed = 0;
    };

    // The running streams, oldest first.
    const std::vector<std::unique_ptr<Stream>>& GetStreams() const { return streams; }
    int GetStreamsMade() const { return streamsMade; }
    // Whether the next GetStreamBuffer of every stream hands out a buffer.
    void SetStreamBuffersDue(bool due);

private:
    Voice* Find(int voice);
    const Voice* Find(int voice) const;
    Stream* FindStream(const AUDIOSTREAM* handle);

    std::vector<Voice> voices;
    std::vector<std::unique_ptr<Stream>> streams;
    int streamsMade = 0;
};

}  // namespace orvel
