#pragma once

#include <memory>
#include <string>

#include "engine/sound/ogg_memory_file.h"
#include "engine/sound/voice_backend.h"

namespace orvel {

// Plays one Ogg Vorbis file as an endless loop through a game-library audio
// stream. The whole file is read into memory on Open; FillBuffer, called once
// per frame, decodes into whichever stream buffer the library wants next.
//
// Closed -> Open -> StartStream (streaming) -> StopStream (open) -> Close.
class OggPlayer {
public:
    // Stream buffers hold this many samples per channel, 16 bits each.
    static const int BUFFER_SAMPLES = 4096;
    static const int BITS_PER_SAMPLE = 16;

    OggPlayer();
    explicit OggPlayer(const VoiceBackendPtr& backend);
    ~OggPlayer();

    OggPlayer(const OggPlayer&) = delete;
    OggPlayer& operator=(const OggPlayer&) = delete;

    // Reads the resource whole and opens the decoder over it. Throws
    // ExceptionGeneral for a file that is not Ogg Vorbis, or that has other
    // than one or two channels; the player then stays closed.
    void Open(const std::string& file);
    // Stops any running stream and, when a file is open, starts a new one at
    // the file's rate; true when a stream runs afterwards.
    bool StartStream();
    void StopStream();
    // Refills the stream's next buffer, if it wants one now. The end of the
    // file continues from its start inside the same buffer; a file that gives
    // no audio, or cannot be rewound, or a decoder error, fills the rest of
    // the buffer with silence.
    void FillBuffer();
    // Moves the stream's volume to `volume` (0..255) over `milliseconds`.
    void RampVolume(int milliseconds, int volume);
    // Safe in any state, also on a player that never opened a file.
    void Close();

    bool IsOpen() const { return decoder != nullptr; }
    bool IsStreaming() const { return stream != nullptr; }
    // Of the open file; 0 when closed.
    int GetChannels() const;
    int GetRate() const;
    // Bytes of one stream buffer for the open file.
    size_t GetBufferBytes() const;

private:
    void Decode(char* buffer, size_t bytes);

    VoiceBackendPtr backend;
    OggMemoryFile file;
    std::unique_ptr<OggVorbis_File> decoder;  // null while closed
    vorbis_info* info = nullptr;
    AUDIOSTREAM* stream = nullptr;
    int section = 0;
};

typedef std::shared_ptr<OggPlayer> OggPlayerPtr;

}  // namespace orvel
