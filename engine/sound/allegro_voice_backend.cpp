#include "engine/sound/allegro_voice_backend.h"

#include <allegro.h>

namespace orvel {

int AllegroVoiceBackend::AllocateVoice(const SAMPLE* sample) { return allocate_voice(sample); }

void AllegroVoiceBackend::ReallocateVoice(int voice, const SAMPLE* sample) {
    if (voice >= 0) {
        reallocate_voice(voice, sample);
    }
}

void AllegroVoiceBackend::DeallocateVoice(int voice) {
    if (voice >= 0) {
        deallocate_voice(voice);
    }
}

const SAMPLE* AllegroVoiceBackend::GetVoiceSample(int voice) const {
    return voice >= 0 ? voice_check(voice) : nullptr;
}

void AllegroVoiceBackend::StartVoice(int voice) {
    if (voice >= 0) {
        voice_start(voice);
    }
}

void AllegroVoiceBackend::StopVoice(int voice) {
    if (voice >= 0) {
        voice_stop(voice);
    }
}

void AllegroVoiceBackend::SetPlayMode(int voice, int mode) {
    if (voice >= 0) {
        voice_set_playmode(voice, mode);
    }
}

int AllegroVoiceBackend::GetPosition(int voice) const {
    return voice >= 0 ? voice_get_position(voice) : -1;
}

void AllegroVoiceBackend::SetPosition(int voice, int position) {
    if (voice >= 0) {
        voice_set_position(voice, position);
    }
}

int AllegroVoiceBackend::GetVolume(int voice) const {
    return voice >= 0 ? voice_get_volume(voice) : -1;
}

void AllegroVoiceBackend::SetVolume(int voice, int volume) {
    if (voice >= 0) {
        voice_set_volume(voice, volume);
    }
}

void AllegroVoiceBackend::RampVolume(int voice, int milliseconds, int volume) {
    if (voice >= 0) {
        voice_ramp_volume(voice, milliseconds, volume);
    }
}

void AllegroVoiceBackend::StopVolumeRamp(int voice) {
    if (voice >= 0) {
        voice_stop_volumeramp(voice);
    }
}

void AllegroVoiceBackend::SetFrequency(int voice, int frequency) {
    if (voice >= 0) {
        voice_set_frequency(voice, frequency);
    }
}

void AllegroVoiceBackend::SetPan(int voice, int pan) {
    if (voice >= 0) {
        voice_set_pan(voice, pan);
    }
}

AUDIOSTREAM* AllegroVoiceBackend::PlayStream(int length, int bits, bool stereo, int frequency,
                                             int volume, int pan) {
    return play_audio_stream(length, bits, stereo ? 1 : 0, frequency, volume, pan);
}

void* AllegroVoiceBackend::GetStreamBuffer(AUDIOSTREAM* stream) {
    return get_audio_stream_buffer(stream);
}

void AllegroVoiceBackend::FreeStreamBuffer(AUDIOSTREAM* stream) {
    free_audio_stream_buffer(stream);
}

void AllegroVoiceBackend::StopStream(AUDIOSTREAM* stream) { stop_audio_stream(stream); }

}  // namespace orvel
