// Draws the frame pictures of the game's own sprites as 32-bit .bbq files:
//
//   beacon/lamp_0..3.bbq  16x32, a signal mast whose lamp cycles red, orange,
//                         yellow, orange; a blue pennant flies to the right of
//                         the mast, so a mirrored beacon is easy to tell.
//   cog/cog_0..3.bbq      24x24, an eight-toothed cog turned by a quarter of
//                         a tooth per frame, so the four frames loop smoothly.
//
// The descriptions beside them (beacon.sprite, cog.txt) are written by hand.
// Usage: sprite_gen <resources/sprites folder>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/core/exception.h"
#include "engine/resources/bbq_image.h"

namespace {

struct Rgba {
    uint8_t r, g, b, a;
};

const Rgba CLEAR = {0, 0, 0, 0};
const Rgba MAST = {90, 90, 90, 255};
const Rgba PENNANT = {40, 80, 220, 255};
const Rgba LAMP_COLOURS[4] = {
    {255, 40, 40, 255}, {255, 140, 0, 255}, {255, 230, 40, 255}, {255, 140, 0, 255}};
const Rgba COG_BODY = {150, 120, 60, 255};
const Rgba COG_HUB = {60, 45, 20, 255};

orvel::BbqImage BlankImage(uint32_t width, uint32_t height) {
    orvel::BbqImage image;
    image.bpp = 32;
    image.width = width;
    image.height = height;
    image.pixels.assign(width * height * 4, 0);
    return image;
}

void Plot(orvel::BbqImage& image, int x, int y, const Rgba& colour) {
    uint8_t* pixel = &image.pixels[(y * image.width + x) * 4];
    pixel[0] = colour.r;
    pixel[1] = colour.g;
    pixel[2] = colour.b;
    pixel[3] = colour.a;
}

// Fills the rectangle x0..x1, y0..y1 (inclusive).
void Fill(orvel::BbqImage& image, int x0, int y0, int x1, int y1, const Rgba& colour) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Plot(image, x, y, colour);
        }
    }
}

orvel::BbqImage DrawBeacon(int frame) {
    orvel::BbqImage image = BlankImage(16, 32);
    Fill(image, 7, 8, 8, 31, MAST);
    Fill(image, 9, 9, 14, 13, PENNANT);
    // The lamp: an 8x8 block with its corners cut.
    Fill(image, 4, 1, 11, 6, LAMP_COLOURS[frame]);
    Fill(image, 5, 0, 10, 7, LAMP_COLOURS[frame]);
    return image;
}

orvel::BbqImage DrawCog(int frame) {
    const int size = 24;
    const double pi = 3.14159265358979323846;
    const int teeth = 8;
    const double turn = frame * (2.0 * pi / teeth) / 4.0;
    orvel::BbqImage image = BlankImage(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - size / 2.0;
            const double dy = y + 0.5 - size / 2.0;
            const double radius = std::sqrt(dx * dx + dy * dy);
            const double angle = std::atan2(dy, dx) - turn;
            // A tooth wherever the angle is in the first half of its period.
            const double phase = std::fmod(angle * teeth / (2.0 * pi) + 64.0, 1.0);
            const double outer = phase < 0.5 ? 11.5 : 9.0;
            if (radius < 3.0) {
                Plot(image, x, y, COG_HUB);
            } else if (radius < outer) {
                Plot(image, x, y, COG_BODY);
            } else {
                Plot(image, x, y, CLEAR);
            }
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sprite_gen <resources/sprites folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    try {
        for (int frame = 0; frame < 4; ++frame) {
            const std::string index = std::to_string(frame);
            orvel::SaveBbqImage(folder + "/beacon/lamp_" + index + ".bbq", DrawBeacon(frame));
            orvel::SaveBbqImage(folder + "/cog/cog_" + index + ".bbq", DrawCog(frame));
        }
    } catch (const orvel::Exception& e) {
        std::fprintf(stderr, "%s\n", e.What().c_str());
        return 1;
    }
    return 0;
}
