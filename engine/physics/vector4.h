#pragma once

namespace orvel {

// A position or direction of the physics layer: x, y, z and w (1 for stored
// points). The play field is the x-y plane; z points out of the screen.
struct Vector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    Vector4() = default;
    Vector4(float x, float y, float z, float w = 1.0f) : x(x), y(y), z(z), w(w) {}

    // The first three components as the physics SDK takes them.
    void Store3(float out[3]) const {
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }
    static Vector4 From3(const float v[3], float w = 1.0f) { return Vector4(v[0], v[1], v[2], w); }
};

}  // namespace orvel
