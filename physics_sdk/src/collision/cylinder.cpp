#include "collision/cylinder.h"

#include "collision/box_edge_table.h"
#include "core/class_ids.h"
#include "core/hash.h"

#include <cmath>
#include <cstring>

namespace {

constexpr float kNoHit = 1.2f;
// The float 2π as the tessellations use it.
constexpr float kTwoPi = 6.28318f;
// Points of a section closer than 1/16 to the point kept before them are
// dropped.
constexpr float kMinPointDistanceSquared = 1.0f / 256.0f;
// A section point within this distance of a cap plane lies on the cap.
constexpr float kOnCapTolerance = 0.0001f;
// A plane whose normal is this close to the axis cuts across it.
constexpr float kAcrossAxis = 0.995f;
// Sides of the debug drawing.
constexpr int kDrawSides = 24;

// Prism vertices 0 to 7 ring the -x cap, 8 to 15 the +x cap. The faces,
// counter-clockwise from outside: eight side quads, then the -x and the +x cap.
constexpr int kPrismFaceSizes[10] = {4, 4, 4, 4, 4, 4, 4, 4, 8, 8};
constexpr int kPrismFaceCorners[48] = {7, 0, 8,  15, 0, 1, 9,  8,  1, 2, 10, 9,  2,  3,  11, 10,
                                       3, 4, 12, 11, 4, 5, 13, 12, 5, 6, 14, 13, 6,  7,  15, 14,
                                       7, 6, 5,  4,  3, 2, 1,  0,  8, 9, 10, 11, 12, 13, 14, 15};

phConvexEdge g_cylinderEdgeRecords[48];
phSharedEdgeTable g_cylinderEdges(g_cylinderEdgeRecords, 48);

uint32_t CylinderSignature(float radius, float halfHeight, const phMatrix& offset) {
    int32_t words[19];
    words[0] = kCollisionCylinder;
    words[1] = QuantizeFloat(radius);
    words[2] = QuantizeFloat(halfHeight);
    float matrix[16];
    offset.Store(matrix);
    std::memcpy(&words[3], matrix, sizeof(matrix));
    return phHash(0, words, sizeof(words));
}

// Appends p unless it lies within 1/16 of the last point kept.
void AppendSpaced(const phVector& p, phVector* points, int& count) {
    if (count == 0 || phLengthSquared(p - points[count - 1]) > kMinPointDistanceSquared) {
        points[count++] = p;
    }
}

}  // namespace

const phVector* phCylinderSectionDirections() {
    struct Table {
        phVector directions[8];
        Table() {
            for (int i = 0; i < 8; ++i) {
                const float angle = static_cast<float>(i) * kTwoPi / 8.0f;
                directions[i] = phVector(0.0f, std::cos(angle), std::sin(angle), 1.0f);
            }
        }
    };
    static const Table table;
    return table.directions;
}

phCollisionCylinder::phCollisionCylinder(uint32_t signature, float radius, float height,
                                         const phMatrix& offset)
    : phConvexCollision(signature, offset, kCollisionCylinder),
      m_halfHeight(std::fabs(height * 0.5f)),
      m_radius(std::fabs(radius)),
      m_angleStep(AngleStep(m_radius)) {
    m_invAngleStep = 1.0f / m_angleStep;
    m_cosStep = std::cos(m_angleStep);
    m_sinStep = std::sin(m_angleStep);
    for (int i = 0; i < 8; ++i) {
        const float angle = static_cast<float>(i) * kTwoPi / 8.0f;
        const float y = m_radius * std::cos(angle);
        const float z = m_radius * std::sin(angle);
        m_prism[i] = phVector(-m_halfHeight, y, z, 1.0f);
        m_prism[8 + i] = phVector(m_halfHeight, y, z, 1.0f);
    }
    phConvexEdge* edges = g_cylinderEdges.Acquire(kPrismFaceSizes, 10, kPrismFaceCorners);
    SetPolyhedron(m_prism, 16, edges, 48);
    CalculateVolumeAndCentre();
}

phCollisionCylinder::~phCollisionCylinder() {
    g_cylinderEdges.ReleaseUse();
    SetPolyhedron(nullptr, 0, nullptr, 0);
}

uint32_t phCollisionCylinder::GetClassId() const { return kClassIdCylinder; }

bool phCollisionCylinder::IsClass(uint32_t classId) const {
    return classId == kClassIdCylinder || phConvexCollision::IsClass(classId);
}

uint32_t phCollisionCylinder::GetSignature() const {
    return CylinderSignature(m_radius, m_halfHeight, m_offset);
}

int phCollisionCylinder::GetSideCount() const {
    return static_cast<int>(std::lround(kTwoPi * m_invAngleStep));
}

phVector phCollisionCylinder::SupportVertex(const phVector& dir) const {
    const float x = dir.x > 0.0f ? m_halfHeight : -m_halfHeight;
    // The polygon vertex at or below the direction's angle, and the next one.
    const float phi = std::atan2(dir.y, dir.z);
    const float theta = std::floor(phi * m_invAngleStep) * m_angleStep;
    const float ay = m_radius * std::sin(theta);
    const float az = m_radius * std::cos(theta);
    const float by = ay * m_cosStep + az * m_sinStep;
    const float bz = az * m_cosStep - ay * m_sinStep;
    if (by * dir.y + bz * dir.z > ay * dir.y + az * dir.z) {
        return phVector(x, by, bz, 1.0f);
    }
    return phVector(x, ay, az, 1.0f);
}

float phCollisionCylinder::RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const {
    const float hh = m_halfHeight;
    const float rr = m_radius * m_radius;
    const phVector d = p1 - p0;
    // The ray enters the cap at x = capX when the point there lies strictly
    // within the radius.
    auto capHit = [&](float capX, float normalX) {
        const float t = (capX - p0.x) / d.x;
        const phVector q = p0 + d * t;
        if (q.y * q.y + q.z * q.z - rr < 0.0f) {
            hit.normal = phVector(normalX, 0.0f, 0.0f, 1.0f);
            hit.attribute = static_cast<int>(GetUserData());
            return t;
        }
        return kNoHit;
    };

    const float c0 = p0.y * p0.y + p0.z * p0.z - rr;
    if (c0 <= 0.0f) {
        // Within the radius: only a cap can be entered.
        if (p0.x < -hh && -hh < p1.x) {
            return capHit(-hh, -1.0f);
        }
        if (p0.x > hh && p1.x < hh) {
            return capHit(hh, 1.0f);
        }
        return kNoHit;
    }

    const float a = d.y * d.y + d.z * d.z;
    const float b = 2.0f * (d.y * p0.y + d.z * p0.z);
    const float discriminant = b * b - 4.0f * a * c0;
    if (discriminant <= 1e-8f) {
        return kNoHit;
    }
    const float root = std::sqrt(discriminant);
    const float t = std::fmin((-b - root) / (2.0f * a), (root - b) / (2.0f * a));
    if (!(t >= 0.0f && t < 1.0f)) {
        return kNoHit;
    }
    const phVector p = p0 + d * t;
    if (p.x >= -hh && p.x <= hh) {
        // The side's surface normal is radial.
        hit.normal = phNormalize(phVector(0.0f, p.y, p.z, 1.0f));
        hit.normal.w = 1.0f;
        hit.attribute = static_cast<int>(GetUserData());
        return t;
    }
    if (p.x > hh && p1.x < hh) {
        return capHit(hh, 1.0f);
    }
    if (p.x < -hh && -hh < p1.x) {
        return capHit(-hh, -1.0f);
    }
    return kNoHit;
}

phVector phCollisionCylinder::CapPoint(const phVector& p, const phVector& d) const {
    const float capX = d.x > 0.0f ? m_halfHeight : -m_halfHeight;
    phVector q = p + d * ((capX - p.x) / d.x);
    q.w = 1.0f;
    return q;
}

bool phCollisionCylinder::ExitPoint(const phVector& p, const phVector& d, phVector& exit) const {
    const float rr = m_radius * m_radius;
    const float c = p.y * p.y + p.z * p.z - rr;
    if (!(p.x > -m_halfHeight && p.x < m_halfHeight && c < 0.0f)) {
        return false;
    }
    const float a = d.y * d.y + d.z * d.z;
    if (a <= 1e-10f) {
        exit = CapPoint(p, d);
        return true;
    }
    const float b = 2.0f * (d.y * p.y + d.z * p.z);
    const float t = (std::sqrt(b * b - 4.0f * a * c) - b) / (2.0f * a);
    exit = p + d * t;
    exit.w = 1.0f;
    if (exit.x >= m_halfHeight || exit.x <= -m_halfHeight) {
        exit = CapPoint(p, d);
    }
    return true;
}

int phCollisionCylinder::PlaneSection(const phVector& normal, const phVector& point,
                                      phVector* points) const {
    // The plane misses the cylinder when the centre lies farther from it than
    // the cylinder reaches along the normal.
    const float reach = m_halfHeight * std::fabs(normal.x) +
                        m_radius * std::sqrt(normal.y * normal.y + normal.z * normal.z);
    if (std::fabs(phDot(normal, point)) > reach) {
        return 0;
    }
    if (std::fabs(normal.x) > kAcrossAxis) {
        return SectionAcrossAxis(normal, point, points);
    }
    return SectionAlongAxis(normal, point, points);
}

int phCollisionCylinder::SectionAcrossAxis(const phVector& normal, const phVector& point,
                                           phVector* points) const {
    // A frame (normal, u, v) with u x v = normal: the directions turn
    // counter-clockwise about the normal, and so do the points.
    const phVector helper(0.0f, 1.0f, 0.0f, 0.0f);
    const phVector u = phNormalize(helper - normal * phDot(normal, helper));
    const phVector v = phCross(normal, u);
    const phVector* directions = phCylinderSectionDirections();
    int count = 0;
    for (int i = 0; i < 8; ++i) {
        const phVector d = u * directions[i].y + v * directions[i].z;
        phVector exit;
        if (ExitPoint(point, d, exit)) {
            AppendSpaced(exit, points, count);
        }
    }
    if (count > 0) {
        return count;
    }
    // The point is not strictly inside (a plane on a cap): the cap's octagon
    // at the point's x, counter-clockwise about the normal.
    for (int k = 0; k < 8; ++k) {
        const int step = normal.x >= 0.0f ? k : (8 - k) % 8;
        const float angle = static_cast<float>(step) * kTwoPi / 8.0f;
        AppendSpaced(
            phVector(point.x, m_radius * std::cos(angle), m_radius * std::sin(angle), 1.0f), points,
            count);
    }
    return count;
}

int phCollisionCylinder::WriteCapChord(const phVector& q, const phVector& u, bool lowRootFirst,
                                       phVector* points) const {
    const float a = phLengthSquared(u);
    const float b = 2.0f * (u.y * q.y + u.z * q.z);
    const float c = q.y * q.y + q.z * q.z - m_radius * m_radius;
    const float discriminant = b * b - 4.0f * a * c;
    if (discriminant <= 0.0f || a <= 0.0f) {
        points[0] = q;
        return 1;
    }
    const float root = std::sqrt(discriminant);
    const float high = (root - b) / (2.0f * a);
    const float low = (-root - b) / (2.0f * a);
    phVector first = q + u * (lowRootFirst ? low : high);
    phVector second = q + u * (lowRootFirst ? high : low);
    first.w = 1.0f;
    second.w = 1.0f;
    points[0] = first;
    if (phLengthSquared(second - first) >= kMinPointDistanceSquared) {
        points[1] = second;
        return 2;
    }
    return 1;
}

int phCollisionCylinder::SectionAlongAxis(const phVector& normal, const phVector& point,
                                          phVector* points) const {
    // The rectangle through the axis that holds the radial part of the normal:
    // the plane crosses it along the section's longest chord.
    const float hh = m_halfHeight;
    const float s = m_radius / std::sqrt(normal.y * normal.y + normal.z * normal.z + 1e-14f);
    const phVector corners[4] = {
        phVector(hh, -s * normal.y, -s * normal.z, 1.0f),
        phVector(-hh, -s * normal.y, -s * normal.z, 1.0f),
        phVector(-hh, s * normal.y, s * normal.z, 1.0f),
        phVector(hh, s * normal.y, s * normal.z, 1.0f),
    };
    phVector crossings[4];
    int crossingCount = 0;
    for (int i = 0; i < 4; ++i) {
        const phVector& a = corners[i];
        const phVector& b = corners[(i + 1) % 4];
        const float da = phDot(normal, a - point);
        const float db = phDot(normal, b - point);
        if (da * db < 0.0f) {
            crossings[crossingCount] = a + (b - a) * (da / (da - db));
            crossings[crossingCount].w = 1.0f;
            ++crossingCount;
        }
    }
    if (crossingCount != 2) {
        return 0;
    }
    // An end of the chord on a cap widens into the cap's chord along u, which
    // lies in both the plane and the cap.
    const phVector& q0 = crossings[0];
    const phVector& q1 = crossings[1];
    const phVector u = phCross(normal, q1 - q0);
    int count = 0;
    if (std::fabs(std::fabs(q0.x) - hh) < kOnCapTolerance) {
        count += WriteCapChord(q0, u, false, points + count);
    } else {
        points[count++] = q0;
    }
    if (std::fabs(std::fabs(q1.x) - hh) < kOnCapTolerance) {
        count += WriteCapChord(q1, u, true, points + count);
    } else {
        points[count++] = q1;
    }
    return count;
}

void phCollisionCylinder::ForEachPolygon(const phMatrix& globalMatrix, void* body,
                                         phPolygonIterator iterator) {
    phVector low[kDrawSides];
    phVector high[kDrawSides];
    for (int k = 0; k < kDrawSides; ++k) {
        const float angle = static_cast<float>(k) * kTwoPi / kDrawSides;
        const float y = m_radius * std::cos(angle);
        const float z = m_radius * std::sin(angle);
        low[k] = globalMatrix.TransformVector(phVector(-m_halfHeight, y, z, 1.0f));
        high[k] = globalMatrix.TransformVector(phVector(m_halfHeight, y, z, 1.0f));
    }
    for (int k = 0; k < kDrawSides; ++k) {
        const int previous = (k + kDrawSides - 1) % kDrawSides;
        float quad[12];
        low[previous].Store(&quad[0]);
        low[k].Store(&quad[3]);
        high[k].Store(&quad[6]);
        high[previous].Store(&quad[9]);
        iterator(body, 4, quad);
    }
    float cap[kDrawSides * 3];
    for (int k = 0; k < kDrawSides; ++k) {
        low[kDrawSides - 1 - k].Store(&cap[k * 3]);
    }
    iterator(body, kDrawSides, cap);
    for (int k = 0; k < kDrawSides; ++k) {
        high[k].Store(&cap[k * 3]);
    }
    iterator(body, kDrawSides, cap);
}

uint32_t phCylinderSignature(float radius, float height, const phMatrix& offset) {
    return CylinderSignature(std::fabs(radius), std::fabs(height * 0.5f), offset);
}

int phCylinderEdgeTableUseCount() { return g_cylinderEdges.GetUseCount(); }
