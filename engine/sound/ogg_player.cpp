#include "engine/sound/ogg_player.h"

#include <algorithm>
#include <iterator>

#include <allegro.h>

#include "engine/core/exception.h"
#include "engine/core/int_to_string.h"
#include "engine/resources/resource.h"
#include "engine/sound/allegro_voice_backend.h"

namespace orvel {

namespace {

// ov_read's word arguments: little-endian, 2-byte, unsigned samples, which is
// what the library's streams take.
const int DECODE_BIG_ENDIAN = 0;
const int DECODE_WORD_BYTES = 2;
const int DECODE_SIGNED = 0;

const int STREAM_VOLUME = 100;
const int STREAM_PAN = 128;

// Silence in unsigned 16-bit little-endian samples is 0x8000; zero bytes
// would be the lowest level and click.
void FillSilence(char* buffer, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        buffer[i] = static_cast<char>(i % 2 == 0 ? 0x00 : 0x80);
    }
}

std::vector<char> ReadWhole(const std::string& name) {
    const IStreamPtr input = OpenResource(name);
    input->seekg(0, std::ios::end);
    const std::streamoff size = input->tellg();
    input->seekg(0, std::ios::beg);
    std::vector<char> bytes(size > 0 ? static_cast<size_t>(size) : 0);
    input->read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(std::max<std::streamsize>(input->gcount(), 0)));
    return bytes;
}

}  // namespace

OggPlayer::OggPlayer() : OggPlayer(std::make_shared<AllegroVoiceBackend>()) {}

OggPlayer::OggPlayer(const VoiceBackendPtr& backend) : backend(backend) {}

OggPlayer::~OggPlayer() { Close(); }

void OggPlayer::Open(const std::string& name) {
    Close();
    file.Assign(ReadWhole(name));

    auto opened = std::make_unique<OggVorbis_File>();
    if (ov_open_callbacks(&file, opened.get(), nullptr, 0, OggMemoryFile::Callbacks()) < 0) {
        // A refused open leaves the decoder cleared already.
        file.Clear();
        throw ExceptionGeneral("Bitstream from " + name + " doesn't appear to be ogg.");
    }
    vorbis_info* format = ov_info(opened.get(), -1);
    const int channels = format != nullptr ? format->channels : 0;
    if (channels != 1 && channels != 2) {
        ov_clear(opened.get());
        file.Clear();
        throw ExceptionGeneral("Bitstream from " + name + " has " + IntToString(channels) +
                               " channels; only mono and stereo music can be played.");
    }
    decoder = std::move(opened);
    info = format;
}

bool OggPlayer::StartStream() {
    StopStream();
    if (IsOpen()) {
        stream = backend->PlayStream(BUFFER_SAMPLES, BITS_PER_SAMPLE, info->channels == 2,
                                     static_cast<int>(info->rate), STREAM_VOLUME, STREAM_PAN);
    }
    return stream != nullptr;
}

void OggPlayer::StopStream() {
    if (stream == nullptr) {
        return;
    }
    backend->SetVolume(stream->voice, 0);
    backend->StopVoice(stream->voice);
    backend->StopStream(stream);
    stream = nullptr;
}

void OggPlayer::FillBuffer() {
    if (stream == nullptr) {
        return;
    }
    void* buffer = backend->GetStreamBuffer(stream);
    if (buffer == nullptr) {
        return;
    }
    Decode(static_cast<char*>(buffer), GetBufferBytes());
    backend->FreeStreamBuffer(stream);
}

void OggPlayer::Decode(char* buffer, size_t bytes) {
    size_t filled = 0;
    // Set by a rewind and cleared by any audio after it: a second end of
    // file in a row means the file has nothing to loop.
    bool rewound = false;
    while (filled < bytes) {
        const long n = ov_read(decoder.get(), buffer + filled, static_cast<int>(bytes - filled),
                               DECODE_BIG_ENDIAN, DECODE_WORD_BYTES, DECODE_SIGNED, &section);
        if (n > 0) {
            filled += static_cast<size_t>(n);
            rewound = false;
            continue;
        }
        if (n == 0 && !rewound && ov_time_seek(decoder.get(), 0.0) == 0) {
            rewound = true;
            continue;
        }
        FillSilence(buffer, filled, bytes);
        return;
    }
}

void OggPlayer::RampVolume(int milliseconds, int volume) {
    if (stream == nullptr) {
        return;
    }
    backend->StopVolumeRamp(stream->voice);
    backend->RampVolume(stream->voice, milliseconds, std::clamp(volume, 0, 255));
}

void OggPlayer::Close() {
    StopStream();
    if (decoder) {
        ov_clear(decoder.get());
        decoder.reset();
    }
    info = nullptr;
    section = 0;
    file.Clear();
}

int OggPlayer::GetChannels() const { return info != nullptr ? info->channels : 0; }

int OggPlayer::GetRate() const { return info != nullptr ? static_cast<int>(info->rate) : 0; }

size_t OggPlayer::GetBufferBytes() const {
    return static_cast<size_t>(BUFFER_SAMPLES) * GetChannels() * (BITS_PER_SAMPLE / 8);
}

}  // namespace orvel
