#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <jpeglib.h>

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

// Encodes a picture with libjpeg. `pixels` holds width * height * components
// bytes in `space` (RGB, greyscale or CMYK).
inline std::string EncodeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                              const std::vector<uint8_t>& pixels) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* output = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &output, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&pixels[info.next_scanline * width * components]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<char*>(output), size);
    std::free(output);
    return bytes;
}
