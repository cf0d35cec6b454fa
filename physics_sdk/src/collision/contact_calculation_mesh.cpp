#include "collision/contact_calculation.h"

#include "collision/contact_calculation_solver.h"
#include "collision/static_mesh.h"
#include "core/scratch_stack.h"

#include <algorithm>
#include <cmath>

namespace {

// Face normals and cross axes shorter than this (squared) are skipped.
constexpr float kDegenerateAxis = 1e-6f;
// A box axis this close to the face normal does not make the contact an
// edge contact.
constexpr float kFaceAlignedAxis = 0.995f;
// Cross axes this close to the best axis so far are not tested.
constexpr float kRepeatedAxis = 0.999f;
// An axis whose part along the face normal is smaller than this lies in the
// face's plane.
constexpr float kInPlaneAxis = 1e-3f;
// A box's plane section has at most six points.
constexpr int kBoxSectionRoom = 8;

enum class FaceState { Behind, Face, Edge };

// The faces that a query box (in the mesh's frame) overlaps.
struct FaceQuery {
    phMeshCollideDesc desc;
    int strideInFloats = 3;
};

void QueryFaces(const phContactSide& mesh, const phVector& boxMin, const phVector& boxMax,
                FaceQuery& query) {
    const phCollisionPolygonalSoup& soup = *static_cast<phCollisionPolygonalSoup*>(mesh.shape);
    query.desc.boxMin = boxMin;
    query.desc.boxMax = boxMax;
    query.desc.callerWords[1] = mesh.body;
    soup.Collide(query.desc);
    query.strideInFloats = std::max(1, query.desc.vertexStrideInBytes / 4);
}

phVector FaceVertex(const FaceQuery& query, const int32_t* indices, int i) {
    const float* v =
        query.desc.vertices + static_cast<ptrdiff_t>(indices[i]) * query.strideInFloats;
    return phVector(v[0], v[1], v[2], 1.0f);
}

// The box's half length along a direction of the mesh's frame.
float BoxRadius(const phMatrix& box, const phVector& half, const phVector& axis) {
    return std::fabs(phDot(box[0], axis)) * half.x + std::fabs(phDot(box[1], axis)) * half.y +
           std::fabs(phDot(box[2], axis)) * half.z;
}

// The face's largest extent along a direction.
float FaceTop(const FaceQuery& query, const int32_t* indices, int count, const phVector& axis) {
    float top = -1e30f;
    for (int i = 0; i < count; ++i) {
        top = std::max(top, phDot(axis, FaceVertex(query, indices, i)));
    }
    return top;
}

// The separation of face and box along an axis, with the axis turned to
// point from the face toward the box. False when the axis keeps them apart by
// the margin. A face is one-sided: an axis with a part along the face normal
// is turned to agree with it and measures how far the box must move out
// through the front, so that no contact ever pushes a box through the back
// of a face. Only an axis lying in the face's plane takes the side of the
// smaller overlap.
bool SeparationAlong(const FaceQuery& query, const int32_t* indices, int count, const phMatrix& box,
                     const phVector& half, const phVector& faceNormal, phVector& axis,
                     float& separation) {
    const float hi = FaceTop(query, indices, count, axis);
    const float lo = -FaceTop(query, indices, count, -axis);
    const float centre = phDot(axis, box[3]);
    const float radius = BoxRadius(box, half, axis);
    const float boxAbove = (centre - radius) - hi;
    const float boxBelow = lo - (centre + radius);
    if (boxAbove > -kContactAcceptMargin || boxBelow > -kContactAcceptMargin) {
        return false;
    }
    const float facing = phDot(axis, faceNormal);
    const bool below = facing < -kInPlaneAxis || (facing <= kInPlaneAxis && boxBelow > boxAbove);
    separation = below ? boxBelow : boxAbove;
    if (below) {
        axis = -axis;
    }
    return true;
}

// The plane with this normal through the middle of the overlap, from the
// face's extreme along the normal.
phVector MidPlane(const phVector& normal, float faceTop, float separation) {
    return phVector(normal.x, normal.y, normal.z,
                    -faceTop - 0.5f * (separation + kContactAcceptMargin));
}

// The contact points of one face against the box, at most capacity.
int BoxFaceContacts(const phContactSide& mesh, const phContactSide& box, const phMatrix& boxInMesh,
                    const phVector& half, const FaceQuery& query, const int32_t* indices, int count,
                    int32_t attribute, phContactPoint* out, int capacity) {
    const phVector q0 = FaceVertex(query, indices, 0);
    const phVector q1 = FaceVertex(query, indices, 1);
    const phVector q2 = FaceVertex(query, indices, 2);
    phVector n = phCross(q1 - q0, q2 - q1);
    n.w = 0.0f;
    const float lengthSquared = phDot(n, n);
    if (lengthSquared <= kDegenerateAxis) {
        return 0;
    }
    n = n * (1.0f / std::sqrt(lengthSquared));
    const float offset = -phDot(n, q0);

    const float dist = phDot(n, boxInMesh[3]) + offset;
    const float r = BoxRadius(boxInMesh, half, n);
    float best = dist - r;
    if ((dist - r) * (dist + r) > 0.0f || best > -kContactAcceptMargin) {
        return 0;
    }
    FaceState state = dist <= 0.0f ? FaceState::Behind : FaceState::Face;
    phVector plane = MidPlane(n, -offset, best);

    for (int i = 0; i < 3; ++i) {
        phVector axis(boxInMesh[i].x, boxInMesh[i].y, boxInMesh[i].z, 0.0f);
        float separation = 0.0f;
        if (!SeparationAlong(query, indices, count, boxInMesh, half, n, axis, separation)) {
            return 0;
        }
        if (separation > best) {
            best = separation;
            const float alignment = phDot(axis, n);
            if (alignment < 0.0f) {
                axis = -axis;
            }
            if (std::fabs(alignment) < kFaceAlignedAxis) {
                state = FaceState::Edge;
            }
            plane = MidPlane(axis, FaceTop(query, indices, count, axis), best);
        }
    }

    for (int i = 0; i < count; ++i) {
        const phVector edge =
            FaceVertex(query, indices, (i + 1) % count) - FaceVertex(query, indices, i);
        for (int k = 0; k < 3; ++k) {
            phVector axis = phCross(edge, boxInMesh[k]);
            axis.w = 0.0f;
            const float axisSquared = phDot(axis, axis);
            if (axisSquared <= kDegenerateAxis) {
                continue;
            }
            axis = axis * (1.0f / std::sqrt(axisSquared));
            if (std::fabs(phDot(axis, plane)) >= kRepeatedAxis) {
                continue;
            }
            float separation = 0.0f;
            if (!SeparationAlong(query, indices, count, boxInMesh, half, n, axis, separation)) {
                return 0;
            }
            if (separation > best) {
                best = separation;
                state = FaceState::Edge;
                plane = MidPlane(axis, FaceTop(query, indices, count, axis), best);
            }
        }
    }
    if (state == FaceState::Behind) {
        return 0;
    }

    const phVector local = UntransformPlane(boxInMesh, plane);
    const phVector localNormal(local.x, local.y, local.z, 0.0f);
    const phVector localPoint = localNormal * -local.w;
    phVector boxSection[kBoxSectionRoom];
    const phConvexCollision& boxShape = *static_cast<const phConvexCollision*>(box.shape);
    const int boxCount = boxShape.PlaneSection(
        localNormal, phVector(localPoint.x, localPoint.y, localPoint.z), boxSection);
    if (boxCount == 0) {
        return 0;
    }
    for (int i = 0; i < boxCount; ++i) {
        boxSection[i] = box.matrix.TransformVector(boxSection[i]);
    }
    phScratchArray<phVector> facePolygon(count + 1);
    int faceCount = count;
    if (state == FaceState::Face) {
        for (int i = 0; i < count; ++i) {
            facePolygon[i] = FaceVertex(query, indices, i);
        }
    } else {
        faceCount = PolygonFrontSection(query.desc.vertices, indices, count, query.strideInFloats,
                                        plane, facePolygon.Data());
    }
    for (int i = 0; i < faceCount; ++i) {
        facePolygon[i] = mesh.matrix.TransformVector(facePolygon[i]);
    }
    const float penetration = std::fmax(0.0f, std::fabs(best) - kContactSkin);
    return ClipContactPolygons(TransformPlane(mesh.matrix, plane), attribute, penetration,
                               faceCount, facePolygon.Data(), boxCount, boxSection, out, capacity);
}

}  // namespace

int CalculateConvexToMeshContacts(const phContactSide& convex, const phContactSide& mesh,
                                  phContactPoint* out, int capacity) {
    if (capacity <= 0) {
        return 0;
    }
    int count = 0;
    if (convex.shape->GetKind() == kCollisionBox) {
        count = CalculateBoxToMeshContacts(mesh, convex, out, capacity);
    } else {
        count = CalculateConvexToMeshFaceContacts(mesh, convex, out, capacity);
    }
    FillContactPairFields(convex, mesh, out, count);
    return count;
}

int CalculateBoxToMeshContacts(const phContactSide& mesh, const phContactSide& box,
                               phContactPoint* out, int capacity) {
    const phConvexCollision& boxShape = *static_cast<const phConvexCollision*>(box.shape);
    const phMatrix boxInMesh = box.matrix * mesh.matrix.Inverse();
    const phVector corner = boxShape.SupportVertex(phVector(1.0f, 1.0f, 1.0f, 0.0f));
    const phVector half(std::fabs(corner.x), std::fabs(corner.y), std::fabs(corner.z), 1.0f);
    phVector boxMin;
    phVector boxMax;
    boxShape.CalcAABB(boxInMesh, boxMin, boxMax);
    FaceQuery query;
    QueryFaces(mesh, boxMin, boxMax, query);

    const int limit = std::min(capacity, kMeshContactLimit);
    int count = 0;
    const int32_t* indices = query.desc.faceIndices;
    for (int f = 0; f < query.desc.faceCount && count < limit; ++f) {
        const int vertexCount = query.desc.faceVertexCounts[f];
        if (vertexCount >= 3) {
            count += BoxFaceContacts(mesh, box, boxInMesh, half, query, indices, vertexCount,
                                     query.desc.faceAttributes[f], out + count, capacity - count);
        }
        indices += vertexCount;
    }
    return count > 1 ? MergeContacts(count, out) : count;
}

int CalculateConvexToMeshFaceContacts(const phContactSide& mesh, const phContactSide& convex,
                                      phContactPoint* out, int capacity) {
    const phConvexCollision& convexShape = *static_cast<const phConvexCollision*>(convex.shape);
    phCollisionPolygonalSoup& soup = *static_cast<phCollisionPolygonalSoup*>(mesh.shape);
    phCollisionConvexPolygon& face = soup.GetFaceShape();
    const phMatrix convexInMesh = convex.matrix * mesh.matrix.Inverse();
    phVector boxMin;
    phVector boxMax;
    convexShape.CalcAABB(convexInMesh, boxMin, boxMax);
    FaceQuery query;
    QueryFaces(mesh, boxMin, boxMax, query);

    phContactSide faceSide = mesh;
    faceSide.shape = &face;
    phContactSolver solver(convex, faceSide);
    const int limit = std::min(capacity, kMeshContactLimit);
    int count = 0;
    const int32_t* indices = query.desc.faceIndices;
    for (int f = 0; f < query.desc.faceCount && count < limit; ++f) {
        const int vertexCount = query.desc.faceVertexCounts[f];
        const int32_t* faceIndices = indices;
        indices += vertexCount;
        face.SetFace(vertexCount, query.strideInFloats, faceIndices, query.desc.vertices);
        if (!face.FaceStraddlesPlane(convexShape, convexInMesh)) {
            continue;
        }
        solver.SetSecond(faceSide, vertexCount + 1);
        if (solver.CalculatePenetration()) {
            count += solver.CalculateContactPoints(out + count, capacity - count,
                                                   query.desc.faceAttributes[f]);
        }
    }
    return count > 1 ? MergeContacts(count, out) : count;
}
