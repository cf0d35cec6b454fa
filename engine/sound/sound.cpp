#include "engine/sound/sound.h"

#include <algorithm>
#include <cmath>

#include <allegro.h>

#include "engine/sound/sound_manager.h"

namespace orvel {

namespace {
// The x translation of a row-major 4x4 transform whose rows are the axes.
const int MATRIX_X_TRANSLATION = 12;
}  // namespace

Sound::Sound(SoundManager& manager, const SamplePtr& sample)
    : manager(&manager), backend(manager.GetBackendPtr()), sample(sample) {}

Sound::Sound(const Sound& other)
    : manager(other.manager), backend(other.backend), sample(other.sample) {}

Sound& Sound::operator=(const Sound& other) {
    if (this != &other) {
        EndLoop();
        manager = other.manager;
        backend = other.backend;
        sample = other.sample;
        voice = -1;
    }
    return *this;
}

Sound::~Sound() { EndLoop(); }

void Sound::Play() { StartPlay(Placement::Centre, 0.0f); }

void Sound::PlayAt(const float matrix[16]) {
    StartPlay(Placement::ByPosition, matrix[MATRIX_X_TRANSLATION]);
}

void Sound::StartPlay(Placement placement, float x) {
    if (!sample || !manager->IsEnabled()) {
        return;
    }
    const int newVoice = manager->AllocateVoice(*sample);
    if (newVoice < 0) {
        return;
    }
    voice = newVoice;
    // The voice may have played this sample before it was taken over; that
    // earlier play is over and must not damp this one.
    sample->ForgetVoice(voice);
    sample->PrunePlayingVoices(*backend);

    int volume = sample->CrowdVolume(*backend);
    int pan = sample->GetSettings().pan;
    if (placement == Placement::ByPosition) {
        manager->ComputePanAndVolume(volume, pan, x);
    }
    if (!sample->GetSettings().loop && volume < 1) {
        Stop();
        return;
    }
    ApplySampleSettings(voice);
    if (placement == Placement::ByPosition) {
        SetClampedVolume(volume);
        backend->SetPan(voice, pan);
    }
    backend->StartVoice(voice);
    sample->AddPlayingVoice(voice);
}

void Sound::ApplySampleSettings(int target) {
    const SampleSettings& settings = sample->GetSettings();
    const int playing = static_cast<int>(sample->GetPlayingVoices().size());
    backend->SetPosition(target, 0);
    backend->SetVolume(target, std::clamp(settings.volume / (playing + 1), 0, 255));
    backend->SetPan(target, settings.pan);
    backend->SetPlayMode(target, settings.loop ? PLAYMODE_LOOP : PLAYMODE_PLAY);

    const int base = sample->GetBaseFrequency();
    int frequency = base;
    if (settings.frequencyVariance != 0.0f) {
        const float r = manager->DrawFrequencyVarianceFactor();
        const float hz = static_cast<float>(base);
        frequency = static_cast<int>(std::lround(hz + hz * settings.frequencyVariance * r));
    }
    backend->SetFrequency(target, frequency);
}

void Sound::SetPosition(const float matrix[16]) {
    if (!IsPlaying()) {
        return;
    }
    int volume = sample->GetSettings().volume;
    int pan = sample->GetSettings().pan;
    manager->ComputePanAndVolume(volume, pan, matrix[MATRIX_X_TRANSLATION]);
    SetClampedVolume(volume);
    backend->SetPan(voice, pan);
}

void Sound::Stop() {
    if (IsPlaying()) {
        backend->StopVoice(voice);
        backend->SetPosition(voice, 0);
    }
}

void Sound::Silence() {
    if (IsPlaying()) {
        backend->SetPlayMode(voice, PLAYMODE_PLAY);
        backend->SetVolume(voice, 0);
    }
}

void Sound::FadeOut(int milliseconds) {
    if (IsPlaying()) {
        backend->RampVolume(voice, milliseconds, 0);
    }
}

void Sound::SetVolumeScale(float scale) {
    if (IsPlaying()) {
        SetClampedVolume(static_cast<int>(
            std::lround(static_cast<float>(sample->GetSettings().volume) * scale)));
    }
}

void Sound::RestoreVolume() {
    if (IsPlaying()) {
        SetClampedVolume(sample->GetSettings().volume);
    }
}

int Sound::GetVolume() const { return IsPlaying() ? backend->GetVolume(voice) : 0; }

bool Sound::IsAtSampleVolume() const {
    return sample && GetVolume() == sample->GetSettings().volume;
}

bool Sound::IsPlaying() const { return sample && sample->IsHeldBy(*backend, voice); }

void Sound::SetSample(PropertyKey name) {
    EndLoop();
    sample = manager->GetSample(name);
    voice = -1;
}

void Sound::EndLoop() {
    if (IsPlaying() && sample->GetSettings().loop) {
        backend->SetPlayMode(voice, PLAYMODE_PLAY);
        backend->SetVolume(voice, 0);
    }
}

void Sound::SetClampedVolume(int volume) { backend->SetVolume(voice, std::clamp(volume, 0, 255)); }

}  // namespace orvel
