#include "engine/resources/frame_sheet.h"

#include "engine/core/exception.h"
#include "engine/resources/bbq_image.h"
#include "engine/resources/jpeg_frames.h"
#include "engine/resources/texture.h"

namespace orvel {

namespace {

// The tallest sheet the padding accepts, in rows.
const uint64_t MAX_PADDED_HEIGHT = uint64_t(1) << 31;
// The widest frame accepted; its padded width must still fit the sheet's fields.
const uint64_t MAX_WIDTH = uint64_t(1) << 31;

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Bytes of `rows` rows of the sheet, or throws when that cannot be addressed.
size_t SheetBytes(const FrameSheet& sheet, uint64_t rows, const std::string& name) {
    uint64_t bytes = 0;
    if (__builtin_mul_overflow(uint64_t(RowStride(sheet)), rows, &bytes) ||
        bytes > uint64_t(PixelBuffer().max_size())) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    return size_t(bytes);
}

}  // namespace

uint64_t PadToPowerOfTwo(uint64_t size) {
    uint64_t padded = 2;
    while (padded < size) {
        padded *= 2;
    }
    return padded;
}

size_t RowStride(const FrameSheet& sheet) { return size_t(sheet.paddedWidth) * sheet.bpp / 8; }

void LoadImageByExtension(FrameSheet& sheet, const std::string& name, PixelBuffer& buffer) {
    if (EndsWith(name, ".jpg") || EndsWith(name, ".jpeg")) {
        ReadJpegFrame(sheet, name, buffer);
    } else if (EndsWith(name, ".bbq")) {
        ReadBbqFrame(sheet, name, buffer);
    } else {
        throw ExceptionFile(name, "Filename must end in either .jpg .jpeg or .bbq");
    }
}

void CheckFrameFitsTexture(const FrameSheet& sheet, const std::string& name, uint32_t width,
                           uint32_t height) {
    const uint64_t frameWidth = sheet.frameCount == 0 ? width : sheet.width;
    const uint64_t rows = uint64_t(height) * (sheet.frameCount + 1);
    CheckTextureSize(PadToPowerOfTwo(frameWidth), PadToPowerOfTwo(rows), name);
}

size_t AddFrame(FrameSheet& sheet, const std::string& name, uint32_t width, uint32_t height,
                uint16_t bpp, PixelBuffer& buffer) {
    if ((bpp != 24 && bpp != 32) || width == 0 || height == 0 || width > MAX_WIDTH) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    if (sheet.bpp != 0 && sheet.bpp != bpp) {
        throw ExceptionSpriteColourDepthInconsistent("unknown_sprite", name, sheet.bpp, bpp);
    }
    if (sheet.frameCount > 0 && (sheet.width != width || sheet.frameHeight != height)) {
        throw ExceptionSpriteDimensionsInconsistent(name);
    }

    FrameSheet grown = sheet;
    if (grown.frameCount == 0) {
        grown.bpp = bpp;
        grown.width = width;
        grown.paddedWidth = uint32_t(PadToPowerOfTwo(width));
        grown.frameHeight = height;
    }
    const uint64_t rows = uint64_t(grown.frameHeight) * (grown.frameCount + 1);
    if (rows > MAX_PADDED_HEIGHT) {
        throw ExceptionGeneral("BBQ_MAX_PADDED_HEIGHT exceeded.");
    }
    CheckFrameFitsTexture(sheet, name, width, height);
    const size_t offset = SheetBytes(grown, uint64_t(grown.frameHeight) * grown.frameCount, name);
    buffer.resize(SheetBytes(grown, rows, name), 0);
    grown.frameCount++;
    sheet = grown;
    return offset;
}

void PadFrameSheetHeight(FrameSheet& sheet, PixelBuffer& buffer) {
    const uint64_t rows = uint64_t(sheet.frameHeight) * sheet.frameCount;
    const uint64_t padded = PadToPowerOfTwo(rows);
    if (padded > MAX_PADDED_HEIGHT) {
        throw ExceptionGeneral("BBQ_MAX_PADDED_HEIGHT exceeded.");
    }
    sheet.paddedHeight = uint32_t(padded);
    buffer.resize(RowStride(sheet) * sheet.paddedHeight, 0);
}

}  // namespace orvel
