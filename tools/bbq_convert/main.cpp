// Converts a picture into the engine's .bbq format, so that every picture of
// the game can be made from our own art with ordinary paint programs.
//
//   bbq_convert [-rgb | -rgba] <picture> <output.bbq>
//
// Reads PPM (.ppm, .pnm: binary or ASCII, up to 16 bits per sample) itself
// and BMP, PCX, TGA and LBM through the game library. A picture with an alpha
// channel (a 32-bit TGA) becomes a 32-bit RGBA .bbq, any other a 24-bit RGB
// one; -rgb and -rgba choose.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <allegro.h>

#include "engine/core/exception.h"
#include "engine/resources/bbq_image.h"
#include "tools/bbq_convert/ppm_file.h"

namespace {

std::string LowerExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char& c : extension) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

// BMP, PCX, TGA or LBM through the game library, in the file's own depth.
bool ReadWithGameLibrary(const std::string& name, Picture& picture) {
    set_color_conversion(COLORCONV_NONE);
    PALETTE palette;
    BITMAP* bitmap = load_bitmap(name.c_str(), palette);
    if (bitmap == nullptr) {
        return false;
    }
    const int depth = bitmap_color_depth(bitmap);
    picture.width = uint32_t(bitmap->w);
    picture.height = uint32_t(bitmap->h);
    picture.hasAlpha = depth == 32;
    picture.rgba.resize(size_t(picture.width) * picture.height * 4);
    uint8_t* out = picture.rgba.data();
    for (int y = 0; y < bitmap->h; ++y) {
        for (int x = 0; x < bitmap->w; ++x, out += 4) {
            const int c = getpixel(bitmap, x, y);
            if (depth == 8) {
                // Palette entries hold 6-bit components.
                out[0] = uint8_t(palette[c].r * 255 / 63);
                out[1] = uint8_t(palette[c].g * 255 / 63);
                out[2] = uint8_t(palette[c].b * 255 / 63);
                out[3] = 255;
            } else {
                out[0] = uint8_t(getr_depth(depth, c));
                out[1] = uint8_t(getg_depth(depth, c));
                out[2] = uint8_t(getb_depth(depth, c));
                out[3] = depth == 32 ? uint8_t(geta32(c)) : 255;
            }
        }
    }
    destroy_bitmap(bitmap);
    return true;
}

orvel::BbqImage ToBbq(const Picture& picture, uint16_t bpp) {
    orvel::BbqImage image;
    image.bpp = bpp;
    image.width = picture.width;
    image.height = picture.height;
    const size_t pixels = size_t(picture.width) * picture.height;
    image.pixels.reserve(pixels * bpp / 8);
    for (size_t i = 0; i < pixels; ++i) {
        image.pixels.insert(image.pixels.end(), &picture.rgba[i * 4],
                            &picture.rgba[i * 4] + bpp / 8);
    }
    return image;
}

int Usage() {
    std::fprintf(stderr, "usage: bbq_convert [-rgb | -rgba] <picture> <output.bbq>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int bppChoice = 0;
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "-rgb") {
        bppChoice = 24;
        first = 2;
    } else if (argc > 1 && std::string(argv[1]) == "-rgba") {
        bppChoice = 32;
        first = 2;
    }
    if (argc - first != 2) {
        return Usage();
    }
    const std::string input = argv[first];
    const std::string output = argv[first + 1];

    Picture picture;
    bool read = false;
    const std::string extension = LowerExtension(input);
    if (extension == "ppm" || extension == "pnm") {
        read = ReadPpm(input, picture);
    } else if (install_allegro(SYSTEM_NONE, &errno, atexit) == 0) {
        read = ReadWithGameLibrary(input, picture);
    }
    if (!read) {
        std::fprintf(stderr,
                     "bbq_convert: cannot read %s as a picture\n"
                     "It reads PPM/PNM (binary P6 or ASCII P3, 8 or 16 bits per sample) and\n"
                     "BMP, PCX, TGA and LBM pictures, chosen by the file's extension.\n",
                     input.c_str());
        return 1;
    }
    const uint16_t bpp = uint16_t(bppChoice != 0 ? bppChoice : picture.hasAlpha ? 32 : 24);
    try {
        orvel::SaveBbqImage(output, ToBbq(picture, bpp));
    } catch (const orvel::Exception& e) {
        std::fprintf(stderr, "bbq_convert: %s\n", e.What().c_str());
        return 1;
    }
    std::printf("%s: %ux%u, %d bits per pixel\n", output.c_str(), picture.width, picture.height,
                int(bpp));
    return 0;
}
