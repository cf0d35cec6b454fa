#include "engine/sound/sample_loader.h"

#include <algorithm>
#include <cstring>

#include <allegro.h>

#include "engine/core/exception.h"
#include "engine/resources/resource.h"
#include "engine/sound/wav_walk.h"

namespace orvel {

namespace {

// A read-only game-library file over bytes in memory, so the library's own
// WAV reader can parse a loose file that the resource layer has read.
struct MemoryReader {
    const std::vector<char>* bytes;
    size_t position;
};

MemoryReader& Reader(void* userdata) { return *static_cast<MemoryReader*>(userdata); }

int MemoryClose(void*) { return 0; }

int MemoryGetc(void* userdata) {
    MemoryReader& reader = Reader(userdata);
    if (reader.position >= reader.bytes->size()) {
        return EOF;
    }
    return static_cast<unsigned char>((*reader.bytes)[reader.position++]);
}

int MemoryUngetc(int c, void* userdata) {
    MemoryReader& reader = Reader(userdata);
    if (reader.position == 0) {
        return EOF;
    }
    --reader.position;
    return c;
}

long MemoryRead(void* destination, long count, void* userdata) {
    MemoryReader& reader = Reader(userdata);
    const size_t left = reader.bytes->size() - reader.position;
    const size_t n = std::min(left, static_cast<size_t>(std::max(count, 0L)));
    // An empty vector may have no storage at all to copy from.
    if (n == 0) {
        return 0;
    }
    std::memcpy(destination, reader.bytes->data() + reader.position, n);
    reader.position += n;
    return static_cast<long>(n);
}

int MemoryPutc(int, void*) { return EOF; }

long MemoryWrite(const void*, long, void*) { return 0; }

// The library seeks forward only, by `offset` bytes from the current place.
int MemorySeek(void* userdata, int offset) {
    MemoryReader& reader = Reader(userdata);
    if (offset < 0 || static_cast<size_t>(offset) > reader.bytes->size() - reader.position) {
        return -1;
    }
    reader.position += static_cast<size_t>(offset);
    return 0;
}

int MemoryEof(void* userdata) {
    const MemoryReader& reader = Reader(userdata);
    return reader.position >= reader.bytes->size() ? 1 : 0;
}

int MemoryError(void*) { return 0; }

PACKFILE_VTABLE MEMORY_VTABLE = {MemoryClose, MemoryGetc, MemoryUngetc, MemoryRead, MemoryPutc,
                                 MemoryWrite, MemorySeek, MemoryEof,    MemoryError};

void DestroySample(SAMPLE* sample) {
    if (sample != nullptr) {
        destroy_sample(sample);
    }
}

}  // namespace

SampleDataPtr LoadWavFromMemory(const std::vector<char>& bytes) {
    if (!IsSoundWav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) {
        return SampleDataPtr();
    }
    MemoryReader reader = {&bytes, 0};
    PACKFILE* file = pack_fopen_vtable(&MEMORY_VTABLE, &reader);
    if (file == nullptr) {
        return SampleDataPtr();
    }
    SAMPLE* sample = load_wav_pf(file);
    pack_fclose(file);
    if (sample == nullptr) {
        return SampleDataPtr();
    }
    return SampleDataPtr(sample, DestroySample);
}

SampleDataPtr LoadSampleResource(const std::string& name) {
    AccessInterfacePtr access;
    try {
        access = LoadDatafileObject(name);
    } catch (const ExceptionFileNotFound&) {
        return SampleDataPtr();
    }
    if (access->object) {
        if (access->object->type != DAT_SAMPLE || access->object->dat == nullptr) {
            return SampleDataPtr();
        }
        // The sample lives inside the datafile object: share its ownership.
        return SampleDataPtr(access->object, static_cast<SAMPLE*>(access->object->dat));
    }
    return LoadWavFromMemory(access->bytes);
}

}  // namespace orvel
