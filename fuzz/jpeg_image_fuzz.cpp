// JPEG pictures through the frame-sheet reader, up to the padded sheet.
#include <cstddef>
#include <cstdint>

#include "engine/core/exception.h"
#include "engine/resources/frame_sheet.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzFile file("input.jpg");
    const std::string& name = file.Write(data, size);
    orvel::FrameSheet sheet;
    orvel::PixelBuffer buffer;
    try {
        orvel::LoadImageByExtension(sheet, name, buffer);
        orvel::PadFrameSheetHeight(sheet, buffer);
    } catch (const orvel::Exception&) {
    }
    return 0;
}
