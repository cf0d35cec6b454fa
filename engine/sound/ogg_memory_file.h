#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace orvel {

// A whole Ogg Vorbis file held in memory, read by the decoder through the
// callbacks of MemoryFileCallbacks, so that playing never touches the disk.
class OggMemoryFile {
public:
    // Takes the bytes and rewinds.
    void Assign(std::vector<char> bytes);
    void Clear();

    // Copies up to size x count bytes from the read position and moves it on;
    // answers the number of bytes copied.
    size_t Read(void* destination, size_t size, size_t count);
    // whence 0 (from the start): 0 <= offset <= size; 1 (from here): the new
    // position must lie in 0..size; 2 (from the end): offset 0 only.
    // Answers 0, or -1 leaving the position as it was.
    int Seek(int64_t offset, int whence);
    long Tell() const { return static_cast<long>(position); }

    uint32_t GetSize() const { return size; }
    uint32_t GetPosition() const { return position; }

    // Read, seek, tell, and a close that does nothing (the bytes belong to
    // the file's owner); the decoder's data source is the OggMemoryFile.
    static ov_callbacks Callbacks();

private:
    std::vector<char> bytes;
    uint32_t position = 0;
    uint32_t size = 0;
};

}  // namespace orvel
