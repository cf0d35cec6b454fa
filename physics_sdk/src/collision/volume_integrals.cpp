#include "collision/volume_integrals.h"

#include <cmath>

void phVolumeIntegrals::AddFace(const phVector* points, int count, const phVector& plane) {
    const double n[3] = {plane.x, plane.y, plane.z};
    const double w = plane.w;
    // Projection onto the plane of the two axes other than the one along
    // which the normal is largest (ties go to the later axis).
    const double ax = std::fabs(n[0]);
    const double ay = std::fabs(n[1]);
    const double az = std::fabs(n[2]);
    int c;
    if (ax > ay && ax > az) {
        c = 0;
    } else if (az >= ay) {
        c = 2;
    } else {
        c = 1;
    }
    // A zero-area face (or a zero normal) has nothing to add and would
    // divide by zero below.
    if (count < 3 || !(std::fabs(n[c]) > 1e-12)) {
        return;
    }
    const int a = (c + 1) % 3;
    const int b = (a + 1) % 3;

    double p1 = 0.0;
    double pa = 0.0;
    double pb = 0.0;
    double paa = 0.0;
    double pab = 0.0;
    double pbb = 0.0;
    for (int i = 0; i < count; ++i) {
        const phVector& v0 = points[i];
        const phVector& v1 = points[(i + 1) % count];
        const double a0 = v0[a];
        const double b0 = v0[b];
        const double a1 = v1[a];
        const double b1 = v1[b];
        const double da = a1 - a0;
        const double db = b1 - b0;
        const double a0Squared = a0 * a0;
        const double b0Squared = b0 * b0;
        const double a1Squared = a1 * a1;
        const double c1 = a1 + a0;
        const double ca = a1 * c1 + a0Squared;
        const double caa = a1 * ca + a0Squared * a0;
        const double cb = b1 * (b1 + b0) + b0Squared;
        const double cbb = b1 * cb + b0Squared * b0;
        const double cab = 3.0 * a1Squared + 2.0 * a1 * a0 + a0Squared;
        const double kab = a1Squared + 2.0 * a1 * a0 + 3.0 * a0Squared;
        p1 += db * c1;
        pa += db * ca;
        paa += db * caa;
        pb += da * cb;
        pbb += da * cbb;
        pab += db * (b1 * cab + b0 * kab);
    }
    p1 /= 2.0;
    pa /= 6.0;
    paa /= 12.0;
    pb /= -6.0;
    pbb /= -12.0;
    pab /= 24.0;

    const double k1 = 1.0 / n[c];
    const double k2 = k1 * k1;
    const double k3 = k2 * k1;
    const double fa = k1 * pa;
    const double fb = k1 * pb;
    const double fc = -k2 * (n[a] * pa + n[b] * pb + w * p1);
    const double faa = k1 * paa;
    const double fbb = k1 * pbb;
    const double fcc = k3 * (n[a] * n[a] * paa + 2.0 * n[a] * n[b] * pab + n[b] * n[b] * pbb +
                             w * (2.0 * (n[a] * pa + n[b] * pb) + w * p1));

    m_t0 += n[0] * (a == 0 ? fa : (b == 0 ? fb : fc));
    m_t1[a] += n[a] * faa;
    m_t1[b] += n[b] * fbb;
    m_t1[c] += n[c] * fcc;
}

phVector phVolumeIntegrals::Centre(float volume) const {
    if (volume == 0.0f) {
        return phVector(0.0f, 0.0f, 0.0f, 1.0f);
    }
    const double scale = 0.5 / volume;
    return phVector(static_cast<float>(m_t1[0] * scale), static_cast<float>(m_t1[1] * scale),
                    static_cast<float>(m_t1[2] * scale), 1.0f);
}

phVector phVolumeIntegrals::CentreAndVolume() const {
    const float volume = Volume();
    phVector centre = Centre(std::fabs(m_t0) < 1e-12 ? 0.0f : volume);
    centre.w = volume;
    return centre;
}
