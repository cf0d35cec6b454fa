#include "dynamics/body_math.h"

#include <cmath>
#include <cstring>

float phFastInvSqrt(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const uint32_t guessBits = (0xbe6eb508u - bits) >> 1;
    const uint32_t halfBits = bits - 0x800000u;
    float guess;
    float half;
    std::memcpy(&guess, &guessBits, sizeof guess);
    std::memcpy(&half, &halfBits, sizeof half);

    const double y = guess;
    const double h = y * y * double(half);
    const double a = 1.5 - h;
    const double h2 = h * a * a;
    const double c = 1.5 - h2;
    return float(y * a * c * (1.5 - h2 * c * c));
}

phQuaternion phRotationFromMatrix(const phMatrix& m) {
    float q[4];
    const float trace = m[0][0] + m[1][1] + m[2][2];
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f);
        const float r = 0.5f / s;
        q[3] = 0.5f * s;
        q[0] = (m[2][1] - m[1][2]) * r;
        q[1] = (m[0][2] - m[2][0]) * r;
        q[2] = (m[1][0] - m[0][1]) * r;
    } else {
        static const int kNext[3] = {1, 2, 0};
        int i = 0;
        if (m[1][1] > m[0][0]) {
            i = 1;
        }
        if (m[2][2] > m[i][i]) {
            i = 2;
        }
        const int j = kNext[i];
        const int k = kNext[j];
        const float s = std::sqrt(m[i][i] - m[j][j] - m[k][k] + 1.0f);
        const float r = 0.5f / s;
        q[i] = 0.5f * s;
        q[3] = (m[k][j] - m[j][k]) * r;
        q[j] = (m[j][i] + m[i][j]) * r;
        q[k] = (m[k][i] + m[i][k]) * r;
    }
    // The formulas above are those of a matrix whose columns are the axes.
    return phQuaternion(-q[0], -q[1], -q[2], q[3]);
}

uint32_t phRandomNext() {
    static uint32_t state = 0;
    state = state * 31415821u + 1u;
    return state;
}
