#include "tools/bbq_convert/ppm_file.h"

#include <cctype>
#include <cstdint>
#include <fstream>

namespace {

const uint32_t MAX_SAMPLE = 65535;
const uint64_t MAX_PIXELS = uint64_t(1) << 28;

// Skips blanks and comments before the next number.
void SkipBlanks(std::istream& stream) {
    int c = stream.peek();
    while (c == '#' || std::isspace(c)) {
        stream.get();
        if (c == '#') {
            while (c != '\n' && c != EOF) {
                c = stream.get();
            }
        }
        c = stream.peek();
    }
}

// Reads the next decimal number of the file.
bool ReadNumber(std::istream& stream, uint32_t& value) {
    SkipBlanks(stream);
    int c = stream.get();
    if (!std::isdigit(c)) {
        return false;
    }
    uint64_t number = 0;
    while (std::isdigit(c) && number <= 0xFFFFFFFFu) {
        number = number * 10 + uint64_t(c - '0');
        c = stream.get();
    }
    value = uint32_t(number);
    if (c != EOF) {
        stream.unget();
    }
    return number <= 0xFFFFFFFFu;
}

// One sample of a binary file: one byte, or two (most significant first)
// when the largest value is above 255.
bool ReadBinarySample(std::istream& stream, uint32_t maxValue, uint32_t& value) {
    const int high = stream.get();
    if (high == EOF) {
        return false;
    }
    if (maxValue <= 255) {
        value = uint32_t(high);
        return true;
    }
    const int low = stream.get();
    if (low == EOF) {
        return false;
    }
    value = uint32_t(high) << 8 | uint32_t(low);
    return true;
}

}  // namespace

bool ReadPpm(const std::string& name, Picture& picture) {
    std::ifstream stream(name, std::ios::in | std::ios::binary);
    char magic[2] = {};
    uint32_t maxValue = 0;
    if (!stream.read(magic, 2) || magic[0] != 'P' || (magic[1] != '6' && magic[1] != '3') ||
        !ReadNumber(stream, picture.width) || !ReadNumber(stream, picture.height) ||
        !ReadNumber(stream, maxValue) || maxValue == 0 || maxValue > MAX_SAMPLE ||
        picture.width == 0 || picture.height == 0 ||
        uint64_t(picture.width) * picture.height > MAX_PIXELS) {
        return false;
    }
    const bool binary = magic[1] == '6';
    // Exactly one blank ends the header of a binary file; the samples follow.
    if (binary && !std::isspace(stream.get())) {
        return false;
    }
    const size_t pixels = size_t(picture.width) * picture.height;
    picture.hasAlpha = false;
    picture.rgba.assign(pixels * 4, 255);
    for (size_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c) {
            uint32_t value = 0;
            const bool read =
                binary ? ReadBinarySample(stream, maxValue, value) : ReadNumber(stream, value);
            if (!read || value > maxValue) {
                return false;
            }
            picture.rgba[i * 4 + c] = uint8_t(value * 255u / maxValue);
        }
    }
    return true;
}
