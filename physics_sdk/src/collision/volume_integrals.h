// Volume and first moments of a closed polyhedron, accumulated face by face
// with the divergence theorem (projection, face and volume integrals after
// Mirtich, "Fast and Accurate Computation of Polyhedral Mass Properties"),
// carried only to the volume T0 and the first moments T1. Sums are kept in
// double precision.
#ifndef PHYSICS_SDK_COLLISION_VOLUME_INTEGRALS_H
#define PHYSICS_SDK_COLLISION_VOLUME_INTEGRALS_H

#include "core/vector.h"

class phVolumeIntegrals {
public:
    // Adds one face: its points in order, counter-clockwise about the plane's
    // normal (outward), and its plane (n, w) with n·p + w = 0. The normal's
    // length does not matter; a face whose normal is zero adds nothing.
    void AddFace(const phVector* points, int count, const phVector& plane);

    float Volume() const { return static_cast<float>(m_t0); }
    // T1 · (0.5 / volume), w = 1; the origin when volume is 0.
    phVector Centre(float volume) const;
    // Centre in x, y, z (the origin for a volume of 0) and the volume in w.
    phVector CentreAndVolume() const;

private:
    double m_t0 = 0.0;
    double m_t1[3] = {0.0, 0.0, 0.0};
};

#endif
