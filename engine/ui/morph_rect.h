#pragma once

#include <algorithm>
#include <cstdint>

namespace orvel {

// The size of the one display the game runs in. Morph rectangles are kept in
// its pixels with y growing downwards; drawing flips y to the GL convention
// (y up) as UI_SCREEN_HEIGHT - y.
const int32_t UI_SCREEN_WIDTH = 800;
const int32_t UI_SCREEN_HEIGHT = 600;

// Every edge of a morph stays within this many pixels of the screen's
// origin: far more than any screen or scrolled list needs, and little enough
// that moving, sizing and uniting rectangles never overflows.
const int32_t UI_COORDINATE_LIMIT = 100000;

inline bool IsWithinUiLimit(int64_t value) {
    return value >= -UI_COORDINATE_LIMIT && value <= UI_COORDINATE_LIMIT;
}

// A rectangle in screen pixels. Right and bottom are exclusive, so a rectangle
// of width w holds the columns left to left + w - 1.
struct MorphRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    MorphRect() = default;
    MorphRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Contains(int32_t x, int32_t y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }

    bool operator==(const MorphRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
    bool operator!=(const MorphRect& other) const { return !(*this == other); }
};

// The smallest rectangle that holds both.
inline MorphRect UniteRects(const MorphRect& a, const MorphRect& b) {
    return MorphRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom));
}

}  // namespace orvel
