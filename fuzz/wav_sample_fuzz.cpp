// WAV files through the check and the game library's reader.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <allegro.h>

#include "engine/sound/sample_loader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<char> bytes(data, data + size);
    orvel::LoadWavFromMemory(bytes);
    return 0;
}
