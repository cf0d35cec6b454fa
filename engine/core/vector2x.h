#pragma once

#include <cstdint>

namespace orvel {

// Two components, x then y. Property values use exactly two instantiations,
// Vector2x<int32_t> for points and Vector2x<float> for pointf values; a
// stored value is read back with the exact same type.
template <typename T>
struct Vector2x {
    T x = T();
    T y = T();

    Vector2x() = default;
    Vector2x(T x, T y) : x(x), y(y) {}

    bool operator==(const Vector2x& other) const { return x == other.x && y == other.y; }
    bool operator!=(const Vector2x& other) const { return !(*this == other); }
};

typedef Vector2x<int32_t> PointI;
typedef Vector2x<float> PointF;

}  // namespace orvel
