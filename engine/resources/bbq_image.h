#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/resources/frame_sheet.h"

namespace orvel {

// The engine's own uncompressed picture format, little-endian:
//   0  20 bytes  "BBQ Graphics Format" and a zero byte
//   20 u32       version (0 or 1)
//   24 u16       tag, carried along and never interpreted
//   26 u16       bits per pixel: 24 (RGB) or 32 (RGBA)
//   28 u32       width
//   32 u32       height
//   36           rows top first, width * bpp / 8 bytes each, no row padding
struct BbqImage {
    uint32_t version = 1;
    uint16_t tag = 0;
    uint16_t bpp = 24;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

const size_t BBQ_HEADER_SIZE = 36;

// Parses a whole .bbq file. A bad magic, a version of 2 or more, a depth other
// than 24 or 32, a zero size or a file shorter than its header says raise the
// engine's file exceptions for `name`.
BbqImage ParseBbqImage(const std::vector<uint8_t>& bytes, const std::string& name);

// Writes `image` in the .bbq format; its pixels must hold width * height * bpp / 8
// bytes and its depth must be 24 or 32 (ExceptionGeneral otherwise).
void WriteBbqImage(std::ostream& stream, const BbqImage& image);
// Writes `image` to the file `path`; ExceptionFile when the file cannot be written.
void SaveBbqImage(const std::string& path, const BbqImage& image);

// Appends the picture of .bbq resource `name` to the sheet as one frame.
void ReadBbqFrame(FrameSheet& sheet, const std::string& name, PixelBuffer& buffer);

}  // namespace orvel
