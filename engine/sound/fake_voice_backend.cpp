#include "engine/sound/fake_voice_backend.h"

#include <algorithm>

#include <allegro.h>

namespace orvel {

FakeVoiceBackend::FakeVoiceBackend(int voiceCount) : voices(std::max(voiceCount, 0)) {}

FakeVoiceBackend::~FakeVoiceBackend() {
    for (const std::unique_ptr<Stream>& stream : streams) {
        delete stream->handle;
    }
}

FakeVoiceBackend::Voice* FakeVoiceBackend::Find(int voice) {
    if (voice < 0 || voice >= static_cast<int>(voices.size()) || !voices[voice].allocated) {
        return nullptr;
    }
    return &voices[voice];
}

const FakeVoiceBackend::Voice* FakeVoiceBackend::Find(int voice) const {
    return const_cast<FakeVoiceBackend*>(this)->Find(voice);
}

int FakeVoiceBackend::AllocateVoice(const SAMPLE* sample) {
    for (size_t i = 0; i < voices.size(); ++i) {
        if (!voices[i].allocated) {
            voices[i] = Voice();
            voices[i].allocated = true;
            voices[i].sample = sample;
            voices[i].frequency = sample != nullptr ? sample->freq : 0;
            return static_cast<int>(i);
        }
    }
    return -1;
}

void FakeVoiceBackend::ReallocateVoice(int voice, const SAMPLE* sample) {
    if (Voice* v = Find(voice)) {
        *v = Voice();
        v->allocated = true;
        v->sample = sample;
        v->frequency = sample != nullptr ? sample->freq : 0;
    }
}

void FakeVoiceBackend::DeallocateVoice(int voice) {
    if (Voice* v = Find(voice)) {
        *v = Voice();
    }
}

const SAMPLE* FakeVoiceBackend::GetVoiceSample(int voice) const {
    const Voice* v = Find(voice);
    return v != nullptr ? v->sample : nullptr;
}

void FakeVoiceBackend::StartVoice(int voice) {
    if (Voice* v = Find(voice)) {
        v->playing = true;
    }
}

void FakeVoiceBackend::StopVoice(int voice) {
    if (Voice* v = Find(voice)) {
        v->playing = false;
    }
}

void FakeVoiceBackend::SetPlayMode(int voice, int mode) {
    if (Voice* v = Find(voice)) {
        v->playMode = mode;
    }
}

int FakeVoiceBackend::GetPosition(int voice) const {
    const Voice* v = Find(voice);
    return v != nullptr ? v->position : -1;
}

void FakeVoiceBackend::SetPosition(int voice, int position) {
    if (Voice* v = Find(voice)) {
        v->position = position;
    }
}

int FakeVoiceBackend::GetVolume(int voice) const {
    const Voice* v = Find(voice);
    return v != nullptr ? v->volume : -1;
}

void FakeVoiceBackend::SetVolume(int voice, int volume) {
    if (Voice* v = Find(voice)) {
        v->volume = volume;
    }
}

void FakeVoiceBackend::RampVolume(int voice, int milliseconds, int volume) {
    if (Voice* v = Find(voice)) {
        v->rampMilliseconds = milliseconds;
        v->rampVolume = volume;
    }
}

void FakeVoiceBackend::StopVolumeRamp(int voice) {
    if (Voice* v = Find(voice)) {
        v->rampMilliseconds = -1;
    }
}

void FakeVoiceBackend::SetFrequency(int voice, int frequency) {
    if (Voice* v = Find(voice)) {
        v->frequency = frequency;
    }
}

void FakeVoiceBackend::SetPan(int voice, int pan) {
    if (Voice* v = Find(voice)) {
        v->pan = pan;
    }
}

void FakeVoiceBackend::Advance(int frames) {
    for (Voice& v : voices) {
        if (!v.allocated || !v.playing || v.sample == nullptr) {
            continue;
        }
        const int length = static_cast<int>(v.sample->len);
        v.position += frames;
        if (v.position < length) {
            continue;
        }
        if ((v.playMode & PLAYMODE_LOOP) != 0 && length > 0) {
            v.position %= length;
        } else {
            v.playing = false;
            v.position = -1;
        }
    }
}

int FakeVoiceBackend::CountAllocatedVoices() const {
    return static_cast<int>(
        std::count_if(voices.begin(), voices.end(), [](const Voice& v) { return v.allocated; }));
}

FakeVoiceBackend::Stream* FakeVoiceBackend::FindStream(const AUDIOSTREAM* handle) {
    for (const std::unique_ptr<Stream>& stream : streams) {
        if (stream->handle == handle) {
            return stream.get();
        }
    }
    return nullptr;
}

AUDIOSTREAM* FakeVoiceBackend::PlayStream(int length, int bits, bool stereo, int frequency,
                                          int volume, int pan) {
    const int voice = AllocateVoice(nullptr);
    if (voice < 0) {
        return nullptr;
    }
    SetVolume(voice, volume);
    SetPan(voice, pan);
    SetFrequency(voice, frequency);
    StartVoice(voice);

    auto stream = std::make_unique<Stream>();
    stream->handle = new AUDIOSTREAM();
    stream->handle->voice = voice;
    stream->handle->len = length;
    stream->length = length;
    stream->bits = bits;
    stream->stereo = stereo;
    stream->frequency = frequency;
    stream->buffer.resize(static_cast<size_t>(length) * (stereo ? 2 : 1) * (bits / 8));
    streams.push_back(std::move(stream));
    ++streamsMade;
    return streams.back()->handle;
}

void* FakeVoiceBackend::GetStreamBuffer(AUDIOSTREAM* handle) {
    Stream* stream = FindStream(handle);
    if (stream == nullptr || !stream->bufferDue) {
        return nullptr;
    }
    return stream->buffer.data();
}

void FakeVoiceBackend::FreeStreamBuffer(AUDIOSTREAM* handle) {
    if (Stream* stream = FindStream(handle)) {
        stream->played.insert(stream->played.end(), stream->buffer.begin(), stream->buffer.end());
        ++stream->buffersPlayed;
    }
}

void FakeVoiceBackend::StopStream(AUDIOSTREAM* handle) {
    for (auto it = streams.begin(); it != streams.end(); ++it) {
        if ((*it)->handle == handle) {
            DeallocateVoice(handle->voice);
            delete handle;
            streams.erase(it);
            return;
        }
    }
}

void FakeVoiceBackend::SetStreamBuffersDue(bool due) {
    for (const std::unique_ptr<Stream>& stream : streams) {
        stream->bufferDue = due;
    }
}

}  // namespace orvel
