#include "engine/sound/wav_walk.h"

#include <cstring>

namespace orvel {

namespace {

const size_t RIFF_HEADER_SIZE = 12;
const size_t CHUNK_HEADER_SIZE = 8;
const size_t ID_SIZE = 4;
// Format tag, channels, rate, byte rate, block size and bits per sample.
const uint32_t FORMAT_SIZE = 16;
const uint16_t FORMAT_PCM = 1;
// The library reads chunk sizes as signed numbers.
const uint32_t LARGEST_CHUNK = 0x7FFFFFFF;

uint16_t ReadU16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

uint32_t ReadU32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

bool IsId(const uint8_t* bytes, const char* id) { return std::memcmp(bytes, id, ID_SIZE) == 0; }

// Bytes of one frame (a sample for each channel), or 0 for a format the
// library does not read.
uint32_t FrameBytes(const uint8_t* format, uint32_t size) {
    if (size < FORMAT_SIZE || ReadU16(format) != FORMAT_PCM) {
        return 0;
    }
    const uint16_t channels = ReadU16(format + 2);
    const uint16_t bits = ReadU16(format + 14);
    if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16)) {
        return 0;
    }
    return channels * bits / 8;
}

}  // namespace

bool IsSoundWav(const uint8_t* data, size_t size) {
    if (size < RIFF_HEADER_SIZE || !IsId(data, "RIFF") || !IsId(data + 8, "WAVE")) {
        return false;
    }
    uint32_t frameBytes = 0;
    int dataChunks = 0;
    size_t position = RIFF_HEADER_SIZE;
    // The library reads chunks for as long as a chunk name is left; fewer
    // bytes than that at the end are ignored.
    while (size - position >= ID_SIZE) {
        if (size - position < CHUNK_HEADER_SIZE) {
            return false;
        }
        const uint8_t* chunk = data + position;
        const uint32_t chunkSize = ReadU32(chunk + ID_SIZE);
        position += CHUNK_HEADER_SIZE;
        if (chunkSize > LARGEST_CHUNK || chunkSize > size - position) {
            return false;
        }
        if (IsId(chunk, "fmt ")) {
            if (dataChunks > 0 || frameBytes != 0) {
                return false;
            }
            frameBytes = FrameBytes(data + position, chunkSize);
            if (frameBytes == 0) {
                return false;
            }
        } else if (IsId(chunk, "data")) {
            if (frameBytes == 0 || chunkSize == 0 || chunkSize % frameBytes != 0) {
                return false;
            }
            ++dataChunks;
        }
        position += chunkSize;
    }
    return dataChunks == 1;
}

}  // namespace orvel
