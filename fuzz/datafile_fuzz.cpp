// Datafiles: whatever the structure walk accepts, the game library must read
// whole, and look objects up by path in, without a fault.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <allegro.h>

#include "engine/resources/datafile_walk.h"
#include "fuzz/fuzz_file.h"

namespace {

// Paths of the seed datafiles' objects, so that lookups reach them.
const char* const OBJECT_PATHS[] = {"resources.dat/font.pcx",
                                    "tests.dat/data.dat/sound.dat/packed.wav"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzFile file("input.dat");
    if (!orvel::IsSoundDatafile(data, size)) {
        return 0;
    }
    const std::string& name = file.Write(data, size);
    DATAFILE* whole = load_datafile(name.c_str());
    if (whole != nullptr) {
        unload_datafile(whole);
    }
    for (const char* path : OBJECT_PATHS) {
        DATAFILE* object = load_datafile_object(name.c_str(), path);
        if (object != nullptr) {
            unload_datafile_object(object);
        }
    }
    return 0;
}
