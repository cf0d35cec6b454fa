// Contact points between two touching shapes. Pairs of boxes and a box on a
// static mesh take closed-form separating-axis paths; every other convex pair,
// and a convex shape on each mesh face, goes through a penetration search on
// the Minkowski difference followed by a section of both shapes by the contact
// plane. Nothing is kept between calls, and the scratch tables make this code
// non-reentrant.
//
// Every writer takes the room left in the caller's buffer and never writes
// beyond it.
#ifndef PHYSICS_SDK_COLLISION_CONTACT_CALCULATION_H
#define PHYSICS_SDK_COLLISION_CONTACT_CALCULATION_H

#include "core/matrix.h"
#include "core/vector.h"

#include <cstdint>

class phCollision;
class phConvexCollision;
class phRigidBody;

// A pair makes contacts only when it overlaps by more than this.
inline constexpr float kContactAcceptMargin = 1.0f / 256.0f;
// The penetration handed on is the overlap less this skin, never below 0.
inline constexpr float kContactSkin = 1.0f / 128.0f;
// The mesh paths stop examining faces once this many points were made.
inline constexpr int kMeshContactLimit = 112;

struct phContactPoint {
    phVector position;
    // Unit normal from the second shape toward the first (out of a mesh face
    // toward the convex shape); w is the offset d of the contact plane, so
    // that n·p + d = 0 on it.
    phVector normal;
    float penetration = 0.0f;
    int32_t faceAttribute = 0;
    phRigidBody* body0 = nullptr;
    phRigidBody* body1 = nullptr;
    phCollision* shape0 = nullptr;
    phCollision* shape1 = nullptr;
    uint32_t reserved[2] = {};
};

// One side of a pair: the body (may be null in tests), the shape and its
// global matrix. A compound's part uses the part's own shape and matrix.
struct phContactSide {
    phRigidBody* body = nullptr;
    phCollision* shape = nullptr;
    phMatrix matrix;

    static phContactSide FromBody(phRigidBody* body);
};

// Both shapes convex: box with box by separating axes, everything else by
// the penetration search. Returns the number of points written (at most
// capacity) and fills bodies and shapes of each.
int CalculateConvexToConvexContacts(const phContactSide& side0, const phContactSide& side1,
                                    phContactPoint* out, int capacity);

// The first shape convex, the second a static polygon mesh.
int CalculateConvexToMeshContacts(const phContactSide& convex, const phContactSide& mesh,
                                  phContactPoint* out, int capacity);

// The separating-axis path for two boxes (kind 0).
int CalculateBoxToBoxContacts(const phContactSide& side0, const phContactSide& side1,
                              phContactPoint* out, int capacity);

// The penetration search path for any two convex shapes.
int CalculatePolytopeContacts(const phContactSide& side0, const phContactSide& side1,
                              phContactPoint* out, int capacity);

// A box on each face of a static mesh that its box touches, by separating
// axes; the points of nearby faces are merged.
int CalculateBoxToMeshContacts(const phContactSide& mesh, const phContactSide& box,
                               phContactPoint* out, int capacity);

// Any convex shape on each face of a static mesh that its box touches, by the
// penetration search; the points of nearby faces are merged.
int CalculateConvexToMeshFaceContacts(const phContactSide& mesh, const phContactSide& convex,
                                      phContactPoint* out, int capacity);

// Clips polygon B by the edges of polygon A (or a two-point segment by the
// other polygon), both lying near the contact plane; writes the surviving
// vertices that are at least sqrt(0.002) apart, each with the plane as
// normal, the penetration and the attribute. Either polygon may wind either
// way about the plane's normal.
int ClipContactPolygons(const phVector& plane, int32_t faceAttribute, float penetration, int countA,
                        const phVector* polygonA, int countB, const phVector* polygonB,
                        phContactPoint* out, int capacity);

// Folds every point closer than sqrt(0.005) to an earlier one into it: the
// later point goes, its normal is added to the earlier one's, whose normal is
// then normalised again (kept as it was when the normals cancel). Returns
// the new count.
int MergeContacts(int count, phContactPoint* contacts);

// Writes the pair's bodies and shapes into count points, in one pass.
void FillContactPairFields(const phContactSide& side0, const phContactSide& side1,
                           phContactPoint* out, int count);

// A plane (n, w) of a frame carried into the outer frame of matrix.
phVector TransformPlane(const phMatrix& matrix, const phVector& plane);

#endif
