// Four-float vector of the SDK. Positions and directions keep x, y, z; w is 1
// for stored points and vectors, and carries a plane's offset or a volume where
// the code says so. Arithmetic works on x, y, z and takes w from the left
// operand, so a stored point stays a point.
#ifndef PHYSICS_SDK_CORE_VECTOR_H
#define PHYSICS_SDK_CORE_VECTOR_H

#include <cmath>

struct phVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    phVector() = default;
    phVector(float xIn, float yIn, float zIn, float wIn = 1.0f) : x(xIn), y(yIn), z(zIn), w(wIn) {}
    // Reads three floats; w = 1.
    explicit phVector(const float* p) : x(p[0]), y(p[1]), z(p[2]), w(1.0f) {}

    float& operator[](int i) { return (&x)[i]; }
    float operator[](int i) const { return (&x)[i]; }

    phVector& operator+=(const phVector& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    phVector& operator-=(const phVector& b) {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    phVector& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    // Copies x, y, z out as three floats.
    void Store(float* out) const {
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }
};

inline phVector operator+(const phVector& a, const phVector& b) {
    return phVector(a.x + b.x, a.y + b.y, a.z + b.z, a.w);
}

inline phVector operator-(const phVector& a, const phVector& b) {
    return phVector(a.x - b.x, a.y - b.y, a.z - b.z, a.w);
}

inline phVector operator-(const phVector& a) { return phVector(-a.x, -a.y, -a.z, a.w); }

inline phVector operator*(const phVector& a, float s) {
    return phVector(a.x * s, a.y * s, a.z * s, a.w);
}

inline phVector operator*(float s, const phVector& a) { return a * s; }

// Dot product of x, y, z.
inline float phDot(const phVector& a, const phVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Dot product of all four components (a point against a plane when w = 1).
inline float phDot4(const phVector& a, const phVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

// Cross product of x, y, z; w taken from a.
inline phVector phCross(const phVector& a, const phVector& b) {
    return phVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, a.w);
}

// Component-wise product of x, y, z; w taken from a.
inline phVector phCompProduct(const phVector& a, const phVector& b) {
    return phVector(a.x * b.x, a.y * b.y, a.z * b.z, a.w);
}

inline float phLengthSquared(const phVector& a) { return phDot(a, a); }

inline float phLength(const phVector& a) { return std::sqrt(phDot(a, a)); }

// a scaled to unit length; a zero vector stays zero.
inline phVector phNormalize(const phVector& a) {
    const float lengthSquared = phDot(a, a);
    if (lengthSquared <= 0.0f) {
        return a;
    }
    return a * (1.0f / std::sqrt(lengthSquared));
}

inline phVector phMin(const phVector& a, const phVector& b) {
    return phVector(std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z), a.w);
}

inline phVector phMax(const phVector& a, const phVector& b) {
    return phVector(std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z), a.w);
}

#endif
