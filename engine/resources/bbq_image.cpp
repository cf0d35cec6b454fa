#include "engine/resources/bbq_image.h"

#include <cstring>
#include <fstream>

#include "engine/core/exception.h"
#include "engine/resources/resource.h"

namespace orvel {

namespace {

const char BBQ_MAGIC[20] = "BBQ Graphics Format";
const uint32_t BBQ_NEWEST_VERSION = 1;

uint32_t ReadU32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

uint16_t ReadU16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

void WriteU32(std::ostream& stream, uint32_t value) {
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    stream.write(bytes, 4);
}

void WriteU16(std::ostream& stream, uint16_t value) {
    const char bytes[2] = {char(value), char(value >> 8)};
    stream.write(bytes, 2);
}

// Bytes of pixel data that a picture of this size and depth holds.
uint64_t PixelBytes(uint32_t width, uint32_t height, uint16_t bpp) {
    return uint64_t(width) * height * (bpp / 8);
}

}  // namespace

BbqImage ParseBbqImage(const std::vector<uint8_t>& bytes, const std::string& name) {
    if (bytes.size() < sizeof(BBQ_MAGIC) ||
        std::memcmp(bytes.data(), BBQ_MAGIC, sizeof(BBQ_MAGIC)) != 0) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    if (bytes.size() < BBQ_HEADER_SIZE) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    BbqImage image;
    image.version = ReadU32(&bytes[20]);
    if (image.version > BBQ_NEWEST_VERSION) {
        throw ExceptionFileFormatUnknownVersion(name, int(image.version));
    }
    image.tag = ReadU16(&bytes[24]);
    image.bpp = ReadU16(&bytes[26]);
    image.width = ReadU32(&bytes[28]);
    image.height = ReadU32(&bytes[32]);
    if ((image.bpp != 24 && image.bpp != 32) || image.width == 0 || image.height == 0) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    const uint64_t size = PixelBytes(image.width, image.height, image.bpp);
    if (size > bytes.size() - BBQ_HEADER_SIZE) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    image.pixels.assign(bytes.begin() + BBQ_HEADER_SIZE, bytes.begin() + BBQ_HEADER_SIZE + size);
    return image;
}

void WriteBbqImage(std::ostream& stream, const BbqImage& image) {
    if ((image.bpp != 24 && image.bpp != 32) || image.width == 0 || image.height == 0 ||
        image.pixels.size() != PixelBytes(image.width, image.height, image.bpp)) {
        throw ExceptionGeneral(
            "A .bbq picture needs a size, 24 or 32 bits per pixel and "
            "width * height * bpp / 8 bytes of pixels.");
    }
    stream.write(BBQ_MAGIC, sizeof(BBQ_MAGIC));
    WriteU32(stream, image.version);
    WriteU16(stream, image.tag);
    WriteU16(stream, image.bpp);
    WriteU32(stream, image.width);
    WriteU32(stream, image.height);
    stream.write(reinterpret_cast<const char*>(image.pixels.data()),
                 std::streamsize(image.pixels.size()));
}

void SaveBbqImage(const std::string& path, const BbqImage& image) {
    std::ofstream stream(path, std::ios::out | std::ios::binary | std::ios::trunc);
    WriteBbqImage(stream, image);
    stream.close();
    if (!stream) {
        throw ExceptionFile(path, "The file could not be written.");
    }
}

void ReadBbqFrame(FrameSheet& sheet, const std::string& name, PixelBuffer& buffer) {
    const IStreamPtr stream = OpenResource(name);
    const std::vector<char> read = ReadAllBytes(*stream);
    const std::vector<uint8_t> bytes(read.begin(), read.end());
    const BbqImage image = ParseBbqImage(bytes, name);

    const size_t offset = AddFrame(sheet, name, image.width, image.height, image.bpp, buffer);
    if (sheet.tag == 0) {
        sheet.tag = image.tag;
    }
    const size_t rowBytes = size_t(image.width) * image.bpp / 8;
    const size_t stride = RowStride(sheet);
    for (uint32_t row = 0; row < image.height; ++row) {
        std::memcpy(&buffer[offset + row * stride], &image.pixels[row * rowBytes], rowBytes);
    }
}

}  // namespace orvel
