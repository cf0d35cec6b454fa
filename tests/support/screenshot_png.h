#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <png.h>

// Writes the 800x600 back buffer as an RGB PNG picture at `path` (its
// folder made first), so that whoever runs a drawing test can look at the
// frame it checked. Returns false when the file cannot be written.
inline bool WriteScreenPng(const std::string& path) {
    const int width = 800;
    const int height = 600;
    std::vector<uint8_t> pixels(size_t(width) * height * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // GL rows run bottom-up, picture rows top-down.
    for (int row = height - 1; row >= 0; --row) {
        png_write_row(png, pixels.data() + size_t(row) * width * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}
