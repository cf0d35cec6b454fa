#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/sprites/sprite.h"

namespace orvel {

// Bits of NumberPlotter::flags. Without the alignment bits the first digit
// starts at (x + xOffset, y + yOffset).
const uint32_t NUMBER_PLOTTER_ALIGN_RIGHT = 1;   // starts at x - number width - xOffset
const uint32_t NUMBER_PLOTTER_ALIGN_BOTTOM = 2;  // starts at y - frame height - yOffset
const uint32_t NUMBER_PLOTTER_PAD_ZEROS = 4;     // leading zeros up to digitCount

// Draws whole numbers with a sprite whose frame i shows the digit i, one
// frame width per digit. A minus sign is not drawn and takes no room, though
// it counts in the width of a right-aligned number.
class NumberPlotter {
public:
    // Called once per digit drawn, with the digit and its position.
    typedef std::function<void(int digit, float x, float y)> DigitPainter;

    NumberPlotter() = default;
    NumberPlotter(const SpritePtr& digits, uint32_t flags, int digitCount, int xOffset, int yOffset)
        : digits(digits),
          flags(flags),
          digitCount(digitCount),
          xOffset(xOffset),
          yOffset(yOffset) {}

    // Draws `value` at (x, y), GL coordinates.
    void Draw(int value, float x, float y) const;
    // Lays `value` out at (x, y) and hands each digit to `paint`; Draw paints
    // with the sprite. Digits that the sprite has no frame for are skipped.
    void Plot(int value, float x, float y, const DigitPainter& paint) const;

    // The decimal text of `value`, padded with zeros when the flags ask.
    std::string FormatValue(int value) const;

    SpritePtr digits;
    uint32_t flags = 0;
    int digitCount = 0;
    int xOffset = 0;
    int yOffset = 0;
};

}  // namespace orvel
