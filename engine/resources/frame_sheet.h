#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvel {

// Frames of equal size stacked vertically in one pixel buffer whose width and
// height are padded to powers of two, ready to become one GL texture. Frame f
// occupies rows f * frameHeight to (f + 1) * frameHeight - 1; each row holds
// `width` pixels followed by zero padding up to `paddedWidth`. The pixel
// buffer is kept apart so that the sheet's fields can outlive it.
struct FrameSheet {
    uint32_t width = 0;
    uint32_t frameHeight = 0;
    uint32_t paddedWidth = 0;
    uint32_t paddedHeight = 0;
    // Carried from the first .bbq frame; nothing interprets it.
    uint16_t tag = 0;
    uint16_t bpp = 0;
    uint32_t frameCount = 0;
};

typedef std::vector<uint8_t> PixelBuffer;

// The least power of two that is at least 2 and not below `size`.
uint64_t PadToPowerOfTwo(uint64_t size);

// Appends the frame(s) of image file `name` to the sheet, choosing the reader
// by the file name's extension (".jpg", ".jpeg" or ".bbq", compared exactly).
void LoadImageByExtension(FrameSheet& sheet, const std::string& name, PixelBuffer& buffer);

// Sets the padded height and sizes the buffer; called once after the last frame.
void PadFrameSheetHeight(FrameSheet& sheet, PixelBuffer& buffer);

// Throws when a sheet grown by a frame of this size could not become a texture
// (see CheckTextureSize); readers call it as soon as they know the size.
void CheckFrameFitsTexture(const FrameSheet& sheet, const std::string& name, uint32_t width,
                           uint32_t height);

// Checks a new frame of the given size and depth against the frames already in
// the sheet, adopts its size and depth when it is the first, and grows the
// buffer by one frame. Returns the byte offset of the new frame's first row.
// The sheet is left unchanged when the frame does not fit.
size_t AddFrame(FrameSheet& sheet, const std::string& name, uint32_t width, uint32_t height,
                uint16_t bpp, PixelBuffer& buffer);

// Bytes from one row of the sheet to the next.
size_t RowStride(const FrameSheet& sheet);

}  // namespace orvel
