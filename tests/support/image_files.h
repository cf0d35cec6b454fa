#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "engine/resources/bbq_image.h"

// A .bbq picture whose pixel bytes count up from `seed`, so that every byte
// tells where it came from.
inline orvel::BbqImage CountingBbq(uint32_t width, uint32_t height, uint16_t bpp, int seed = 1) {
    orvel::BbqImage image;
    image.bpp = bpp;
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * height * bpp / 8);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = uint8_t(seed + i);
    }
    return image;
}

inline std::string BbqBytes(const orvel::BbqImage& image) {
    std::ostringstream stream;
    orvel::WriteBbqImage(stream, image);
    return stream.str();
}
