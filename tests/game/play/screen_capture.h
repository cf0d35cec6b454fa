#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <boost/filesystem.hpp>

// Writes the 800x600 back buffer as a binary PPM picture in the temporary
// folder and returns its path, so that whoever runs the test can look at
// the frame it checked.
inline std::string WriteScreenPpm(const std::string& name) {
    const int width = 800;
    const int height = 600;
    std::vector<uint8_t> pixels(size_t(width) * height * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    const std::string path = (boost::filesystem::temp_directory_path() / name).string();
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    // GL rows run bottom-up, picture rows top-down.
    for (int row = height - 1; row >= 0; --row) {
        out.write(reinterpret_cast<const char*>(&pixels[size_t(row) * width * 3]), width * 3);
    }
    return path;
}
