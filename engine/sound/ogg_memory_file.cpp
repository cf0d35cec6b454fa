#include "engine/sound/ogg_memory_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/core/exception.h"

namespace orvel {

namespace {

size_t ReadCallback(void* destination, size_t size, size_t count, void* source) {
    return static_cast<OggMemoryFile*>(source)->Read(destination, size, count);
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
    return static_cast<OggMemoryFile*>(source)->Seek(offset, whence);
}

long TellCallback(void* source) { return static_cast<OggMemoryFile*>(source)->Tell(); }

int CloseCallback(void*) { return 0; }

}  // namespace

void OggMemoryFile::Assign(std::vector<char> newBytes) {
    if (newBytes.size() > std::numeric_limits<uint32_t>::max()) {
        throw ExceptionGeneral("Music file is too large to play.");
    }
    bytes = std::move(newBytes);
    size = static_cast<uint32_t>(bytes.size());
    position = 0;
}

void OggMemoryFile::Clear() {
    bytes.clear();
    bytes.shrink_to_fit();
    size = 0;
    position = 0;
}

size_t OggMemoryFile::Read(void* destination, size_t elementSize, size_t count) {
    const size_t left = size - position;
    size_t n = left;
    if (elementSize == 0 || count <= left / elementSize) {
        n = std::min(left, elementSize * count);
    }
    if (n > 0) {
        std::memcpy(destination, bytes.data() + position, n);
        position += static_cast<uint32_t>(n);
    }
    return n;
}

int OggMemoryFile::Seek(int64_t offset, int whence) {
    int64_t target = 0;
    switch (whence) {
        case SEEK_SET:
            target = offset;
            break;
        case SEEK_CUR:
            // Compared before adding, so no offset can overflow the sum.
            if (offset < -static_cast<int64_t>(position) ||
                offset > static_cast<int64_t>(size - position)) {
                return -1;
            }
            target = static_cast<int64_t>(position) + offset;
            break;
        case SEEK_END:
            if (offset != 0) {
                return -1;
            }
            target = size;
            break;
        default:
            return -1;
    }
    if (target < 0 || target > static_cast<int64_t>(size)) {
        return -1;
    }
    position = static_cast<uint32_t>(target);
    return 0;
}

ov_callbacks OggMemoryFile::Callbacks() {
    ov_callbacks callbacks;
    callbacks.read_func = ReadCallback;
    callbacks.seek_func = SeekCallback;
    callbacks.tell_func = TellCallback;
    callbacks.close_func = CloseCallback;
    return callbacks;
}

}  // namespace orvel
