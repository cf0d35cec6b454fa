#include "engine/sound/sound_manager.h"

#include <algorithm>
#include <cmath>

#include <allegro.h>
#include <boost/filesystem/path.hpp>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/sound/allegro_voice_backend.h"
#include "engine/sound/sound.h"

namespace orvel {

namespace {

const PropertyKey KEY_SOUND_LIST("SoundList");
const PropertyKey KEY_SOUND_NAME("soundName");
const PropertyKey KEY_FILE_NAME("fileName");
const PropertyKey KEY_VOLUME("volume");
const PropertyKey KEY_PAN("pan");
const PropertyKey KEY_FREQUENCY("frequency");
const PropertyKey KEY_FREQUENCY_VARIANCE("frequencyVariance");
const PropertyKey KEY_LOOP("loop");

// The list gives frequencies as multiples of this rate.
const float LIST_FREQUENCY_UNIT = 44100.0f;

int ClampLevel(long value) { return static_cast<int>(std::clamp(value, 0L, 255L)); }

SampleSettings ReadSettings(const Properties& entry) {
    SampleSettings settings;
    if (entry.HasProperty(KEY_VOLUME)) {
        settings.volume = ClampLevel(entry.GetInt(KEY_VOLUME));
    }
    if (entry.HasProperty(KEY_PAN)) {
        settings.pan = ClampLevel(entry.GetInt(KEY_PAN));
    }
    if (entry.HasProperty(KEY_FREQUENCY)) {
        settings.frequency =
            static_cast<int>(std::lround(entry.GetFloat(KEY_FREQUENCY) * LIST_FREQUENCY_UNIT));
    }
    if (entry.HasProperty(KEY_FREQUENCY_VARIANCE)) {
        settings.frequencyVariance = entry.GetFloat(KEY_FREQUENCY_VARIANCE);
    }
    if (entry.HasProperty(KEY_LOOP)) {
        settings.loop = entry.GetBool(KEY_LOOP);
    }
    return settings;
}

}  // namespace

SoundManager::SoundManager(int voices)
    : SoundManager(voices, std::make_shared<AllegroVoiceBackend>()) {}

SoundManager::SoundManager(int voices, const VoiceBackendPtr& backend)
    : backend(backend),
      random(std::random_device()()),
      voiceTable(static_cast<size_t>(std::max(voices - 1, 0)), -1) {}

SoundManager::~SoundManager() {
    // The samples may outlive the manager inside sounds, but no voice of
    // ours may go on reading a sample that is about to be freed.
    for (int voice : voiceTable) {
        backend->DeallocateVoice(voice);
    }
}

void SoundManager::LoadSoundList(const std::string& file) {
    LoadSoundList(*LoadPropertyFile(file), file);
}

void SoundManager::LoadSoundList(const Properties& soundList, const std::string& file) {
    if (!soundList.HasProperty(KEY_SOUND_LIST)) {
        throw ExceptionStringNotFound("SoundList", file);
    }
    soundListFile = file;
    const boost::filesystem::path folder = boost::filesystem::path(file).parent_path();
    const AnyVectorPtr entries = soundList.GetList(KEY_SOUND_LIST);
    for (size_t i = 0; i < entries->Size(); ++i) {
        const PropertiesPtr entry = entries->GetStruct(i);
        if (!entry || !entry->HasProperty(KEY_SOUND_NAME) || !entry->HasProperty(KEY_FILE_NAME)) {
            throw ExceptionStringNotFound("Sound #", file);
        }
        const PropertyKey name(entry->GetString(KEY_SOUND_NAME));
        const std::string fileName = (folder / entry->GetString(KEY_FILE_NAME)).generic_string();
        auto sample = std::make_shared<Sample>(name, fileName, ReadSettings(*entry));
        sample->Load();
        samples[name] = sample;
    }
}

SoundPtr SoundManager::CreateSound(PropertyKey name) {
    return std::make_shared<Sound>(*this, GetSample(name));
}

SamplePtr SoundManager::GetSample(PropertyKey name) const {
    const auto it = samples.find(name);
    return it != samples.end() ? it->second : SamplePtr();
}

void SoundManager::Disable() {
    enabled = false;
    SilenceAllVoices();
}

void SoundManager::SilenceAllVoices() {
    for (int voice : voiceTable) {
        backend->SetVolume(voice, 0);
    }
}

void SoundManager::UnloadSamples() {
    for (int& voice : voiceTable) {
        backend->DeallocateVoice(voice);
        voice = -1;
    }
    for (const auto& entry : samples) {
        entry.second->Unload();
    }
}

void SoundManager::ReloadSamples() {
    for (const auto& entry : samples) {
        entry.second->Load();
    }
}

int SoundManager::AllocateVoice(const Sample& sample) {
    const SAMPLE* data = sample.GetData();
    if (data == nullptr || voiceTable.empty()) {
        return -1;
    }
    const size_t size = voiceTable.size();
    const size_t start = nextIndex < size ? nextIndex : 0;
    for (size_t i = 0; i < size; ++i) {
        const size_t slot = (start + i) % size;
        int& voice = voiceTable[slot];
        if (voice < 0 || backend->GetVoiceSample(voice) == nullptr) {
            backend->DeallocateVoice(voice);
            voice = backend->AllocateVoice(data);
            if (voice < 0) {
                continue;
            }
        } else {
            const int position = backend->GetPosition(voice);
            const bool finished = position < 1 || static_cast<unsigned long>(position) >= data->len;
            if (!finished) {
                continue;
            }
            backend->ReallocateVoice(voice, data);
        }
        nextIndex = slot + 1;
        return voice;
    }
    // Every slot is busy: the oldest play in round-robin order gives way.
    const int voice = voiceTable[start];
    if (voice < 0) {
        return -1;
    }
    backend->ReallocateVoice(voice, data);
    nextIndex = start + 1;
    return voice;
}

namespace {

float Finite(float value, const char* what) {
    if (!std::isfinite(value)) {
        throw ExceptionGeneral(std::string("The sound manager's ") + what + " must be finite.");
    }
    return value;
}

float Positive(float value, const char* what) {
    if (!(Finite(value, what) > 0.0f)) {
        throw ExceptionGeneral(std::string("The sound manager's ") + what + " must be above 0.");
    }
    return value;
}

}  // namespace

void SoundManager::SetPositionScale(float scale) {
    positionScale = Finite(scale, "position scale");
}

void SoundManager::SetViewCentre(float x) { viewCentre = Finite(x, "view centre"); }

void SoundManager::SetViewWidth(float width) { viewWidth = Positive(width, "view width"); }

void SoundManager::SetViewHalfWidth(float halfWidth) {
    viewHalfWidth = Positive(halfWidth, "view half-width");
}

void SoundManager::SetPanSwing(float swing) { panSwing = Finite(swing, "pan swing"); }

void SoundManager::ComputePanAndVolume(int& volume, int& pan, float x) const {
    const float r = (x * positionScale - viewCentre) / viewHalfWidth;
    float level = static_cast<float>(volume);
    float p = r;
    if (r > 1.0f) {
        level = r <= 2.0f ? level * (2.0f - r) : 0.0f;
        p = 1.0f;
    } else if (r < -1.0f) {
        level = r >= -2.0f ? level * (r + 2.0f) : 0.0f;
        p = -1.0f;
    }
    pan = ClampLevel(std::lround(p * panSwing + static_cast<float>(pan)));
    volume = ClampLevel(std::lround(level));
}

float SoundManager::DrawFrequencyVarianceFactor() {
    if (varianceFactorFixed) {
        return fixedVarianceFactor;
    }
    return std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
}

void SoundManager::FixFrequencyVarianceFactor(float r) {
    varianceFactorFixed = true;
    fixedVarianceFactor = r;
}

}  // namespace orvel
