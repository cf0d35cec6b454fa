#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "engine/core/exception.h"
#include "engine/resources/frame_sheet.h"
#include "tests/support/temp_folder.h"

// Loads 1000 damaged copies of the picture file `intact`, each written in turn
// to `name` in the working folder: even ones cut short, odd ones with one byte
// changed. A copy may be refused with an engine exception; `check` sees the
// sheet and padded pixels of every copy that loads.
template <typename Check>
void LoadDamagedCopies(const std::string& intact, const std::string& name, uint32_t seed,
                       Check check) {
    std::mt19937 random(seed);
    for (int trial = 0; trial < 1000; ++trial) {
        std::string bytes = intact;
        if (trial % 2 == 0) {
            bytes.resize(random() % bytes.size());
        } else {
            bytes[random() % bytes.size()] ^= char(1 + random() % 255);
        }
        WriteFile(name, bytes);
        orvel::FrameSheet sheet;
        orvel::PixelBuffer pixels;
        try {
            orvel::LoadImageByExtension(sheet, name, pixels);
            orvel::PadFrameSheetHeight(sheet, pixels);
            check(sheet, pixels);
        } catch (const orvel::Exception&) {
        }
    }
}
