#include "collision/contact_calculation.h"

#include "collision/collision.h"
#include "dynamics/rigid_body.h"

void FillContactPairFields(const phContactSide& side0, const phContactSide& side1,
                           phContactPoint* out, int count) {
    for (int i = 0; i < count; ++i) {
        out[i].body0 = side0.body;
        out[i].body1 = side1.body;
        out[i].shape0 = side0.shape;
        out[i].shape1 = side1.shape;
    }
}

phContactSide phContactSide::FromBody(phRigidBody* body) {
    phContactSide side;
    side.body = body;
    side.shape = body->Shape();
    side.matrix = body->ShapeMatrix();
    return side;
}

int CalculateConvexToConvexContacts(const phContactSide& side0, const phContactSide& side1,
                                    phContactPoint* out, int capacity) {
    if (capacity <= 0) {
        return 0;
    }
    int count = 0;
    if (side0.shape->GetKind() == kCollisionBox && side1.shape->GetKind() == kCollisionBox) {
        count = CalculateBoxToBoxContacts(side0, side1, out, capacity);
    } else {
        count = CalculatePolytopeContacts(side0, side1, out, capacity);
    }
    FillContactPairFields(side0, side1, out, count);
    return count;
}

phVector TransformPlane(const phMatrix& matrix, const phVector& plane) {
    const phVector n = matrix.RotateVector(phVector(plane.x, plane.y, plane.z, 0.0f));
    return phVector(n.x, n.y, n.z, plane.w - phDot(n, matrix[3]));
}
