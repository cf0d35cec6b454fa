#pragma once

#include <cstddef>
#include <cstdint>

namespace orvel {

// Whether `size` bytes form a WAV file that the game library's WAV reader
// takes without trusting a size it cannot keep: an 8- or 16-bit PCM format
// chunk with mono or stereo before exactly one data chunk of whole frames,
// and every chunk within the file. The library's reader allocates a data
// chunk's claimed size before reading it, and a second data chunk would make
// it lose the first sample.
bool IsSoundWav(const uint8_t* data, size_t size);

}  // namespace orvel
