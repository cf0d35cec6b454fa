// Converts a picture into one of the two picture formats the engine reads,
// so that every picture of the game can be made from our own art with
// ordinary paint programs or rendered from SVG at build time.
//
//   bbq_convert [-rgb | -rgba] <picture> <output.bbq | output.jpg>
//
// Reads PPM (.ppm, .pnm: binary or ASCII, up to 16 bits per sample) and PNG
// itself and BMP, PCX, TGA and LBM through the game library. A picture with an
// alpha channel (a 32-bit TGA, an RGBA PNG) becomes a 32-bit RGBA .bbq, any
// other a 24-bit RGB one; -rgb and -rgba choose. An output named .jpg or
// .jpeg is written as a colour JPEG instead, which has no alpha channel.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <allegro.h>
#include <jpeglib.h>
#include <png.h>

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

// Any PNG, expanded to 8-bit RGBA by libpng's simplified reader.
bool ReadPng(const std::string& name, Picture& picture) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, name.c_str())) {
        return false;
    }
    picture.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    picture.width = image.width;
    picture.height = image.height;
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

// A colour JPEG of the picture's RGB, at a quality that keeps soft gradients
// free of banding.
bool WriteJpeg(const std::string& name, const Picture& picture) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    jpeg_compress_struct compress;
    jpeg_error_mgr errors;
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    jpeg_stdio_dest(&compress, file);
    compress.image_width = picture.width;
    compress.image_height = picture.height;
    compress.input_components = 3;
    compress.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, 92, TRUE);
    jpeg_start_compress(&compress, TRUE);
    std::vector<uint8_t> row(size_t(picture.width) * 3);
    while (compress.next_scanline < compress.image_height) {
        const uint8_t* in = &picture.rgba[size_t(compress.next_scanline) * picture.width * 4];
        for (uint32_t x = 0; x < picture.width; ++x) {
            row[x * 3] = in[x * 4];
            row[x * 3 + 1] = in[x * 4 + 1];
            row[x * 3 + 2] = in[x * 4 + 2];
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&compress, rows, 1);
    }
    jpeg_finish_compress(&compress);
    jpeg_destroy_compress(&compress);
    return std::fclose(file) == 0;
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
    std::fprintf(stderr, "usage: bbq_convert [-rgb | -rgba] <picture> <output.bbq | output.jpg>\n");
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
    } else if (extension == "png") {
        read = ReadPng(input, picture);
    } else if (install_allegro(SYSTEM_NONE, &errno, atexit) == 0) {
        read = ReadWithGameLibrary(input, picture);
    }
    if (!read) {
        std::fprintf(stderr,
                     "bbq_convert: cannot read %s as a picture\n"
                     "It reads PPM/PNM (binary P6 or ASCII P3, 8 or 16 bits per sample), PNG,\n"
                     "BMP, PCX, TGA and LBM pictures, chosen by the file's extension.\n",
                     input.c_str());
        return 1;
    }
    const std::string outputExtension = LowerExtension(output);
    if (outputExtension == "jpg" || outputExtension == "jpeg") {
        if (!WriteJpeg(output, picture)) {
            std::fprintf(stderr, "bbq_convert: cannot write %s\n", output.c_str());
            return 1;
        }
        std::printf("%s: %ux%u JPEG\n", output.c_str(), picture.width, picture.height);
        return 0;
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
