#include "core/box_plane.h"
#include "core/matrix.h"
#include "core/quaternion.h"
#include "core/vector.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

void ExpectNear(const phVector& a, const phVector& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
    EXPECT_NEAR(a.w, b.w, tolerance);
}

void ExpectNear(const phMatrix& a, const phMatrix& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i) {
        ExpectNear(a[i], b[i], tolerance);
    }
}

TEST(VectorTest, ArithmeticKeepsTheLeftW) {
    const phVector a(1, 2, 3);
    const phVector b(4, 5, 6, 0);
    ExpectNear(a + b, phVector(5, 7, 9, 1));
    ExpectNear(a - b, phVector(-3, -3, -3, 1));
    ExpectNear(a * 2.0f, phVector(2, 4, 6, 1));
    ExpectNear(phCross(a, b), phVector(-3, 6, -3, 1));
    EXPECT_FLOAT_EQ(phDot(a, b), 32.0f);
    EXPECT_FLOAT_EQ(phDot4(a, b), 32.0f);
    EXPECT_FLOAT_EQ(phLength(phVector(3, 4, 0)), 5.0f);
    ExpectNear(phNormalize(phVector(0, 0, 0)), phVector(0, 0, 0));
}

TEST(MatrixTest, RowsAreAxesAndRowVectorsAreMultipliedFromTheLeft) {
    // A quarter turn about z moves x onto y.
    const phMatrix rz = phMatrix::RotationZ(kPi / 2);
    ExpectNear(rz.RotateVector(phVector(1, 0, 0)), phVector(0, 1, 0));
    phMatrix moved = rz;
    moved[3] = phVector(10, 0, 0, 1);
    ExpectNear(moved.TransformVector(phVector(1, 0, 0)), phVector(10, 1, 0));
    ExpectNear(moved.UntransformVector(phVector(10, 1, 0)), phVector(1, 0, 0));
    ExpectNear(moved.UnrotateVector(phVector(0, 1, 0)), phVector(1, 0, 0));
    // A * B applies A first.
    phMatrix shift;
    shift[3] = phVector(0, 5, 0, 1);
    ExpectNear((rz * shift).TransformVector(phVector(1, 0, 0)), phVector(0, 6, 0));
    ExpectNear((shift * rz).TransformVector(phVector(1, 0, 0)), phVector(-5, 1, 0));
    // The rotation about x has the documented rows.
    const phMatrix rx = phMatrix::RotationX(0.3f);
    ExpectNear(rx[1], phVector(0, std::cos(0.3f), std::sin(0.3f), 0));
}

TEST(MatrixTest, InversesUndoTheMatrix) {
    phMatrix m = phMatrix::RotationX(0.4f) * phMatrix::RotationY(1.1f);
    m[3] = phVector(1, -2, 3, 1);
    ExpectNear(m * m.Inverse(), phMatrix());
    ExpectNear(m.Inverse4x4(), m.Inverse());
    phMatrix general(phVector(2, 0, 0, 0), phVector(1, 3, 0, 0), phVector(0, 0, 4, 0),
                     phVector(1, 1, 1, 1));
    ExpectNear(general * general.Inverse4x4(), phMatrix());
    phMatrix singular(phVector(0, 0, 0, 0), phVector(0, 1, 0, 0), phVector(0, 0, 1, 0),
                      phVector(0, 0, 0, 1));
    ExpectNear(singular.Inverse4x4(), phMatrix());
    ExpectNear(general.Transpose4x4().Transpose4x4(), general);
}

TEST(QuaternionTest, MatrixOfAQuaternionMatchesTheAxisRotations) {
    const phVector axes[] = {phVector(1, 0, 0), phVector(0, 1, 0), phVector(0, 0, 1)};
    const phMatrix expected[] = {phMatrix::RotationX(0.7f), phMatrix::RotationY(0.7f),
                                 phMatrix::RotationZ(0.7f)};
    for (int i = 0; i < 3; ++i) {
        const phQuaternion q = phQuaternion::FromAxisAngle(axes[i], 0.7f);
        ExpectNear(phMatrix(q, phVector(0, 0, 0)), expected[i]);
    }
    // The product of rotations composes like the matrices (a applied first).
    const phQuaternion a = phQuaternion::FromAxisAngle(axes[0], 0.5f);
    const phQuaternion b = phQuaternion::FromAxisAngle(axes[1], 0.9f);
    ExpectNear(phMatrix(a * b, phVector(0, 0, 0)),
               phMatrix(b, phVector(0, 0, 0)) * phMatrix(a, phVector(0, 0, 0)));
    const phQuaternion n = phQuaternion(0, 0, 3, 4).Normalized();
    EXPECT_FLOAT_EQ(n.DotProduct(n), 1.0f);
}

TEST(BoxPlaneTest, SidesOfAnOrientedBox) {
    const phVector half(1, 2, 3);
    phMatrix placed = phMatrix::RotationZ(kPi / 2);  // the box's x axis is world y
    placed[3] = phVector(0, 5, 0, 1);
    struct Case {
        phVector plane;
        int side;
    };
    const Case cases[] = {
        {phVector(0, 1, 0, -3.9f), 0},   // y = 3.9: box spans y 4..6, above
        {phVector(0, 1, 0, -4.1f), 1},   // cuts
        {phVector(0, 1, 0, -6.1f), -1},  // below the plane
        {phVector(1, 0, 0, 2.1f), 0},    // x = -2.1: box spans x -2..2
        {phVector(1, 0, 0, 1.9f), 1},   {phVector(0, 0, -1, -3.5f), -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(phBoxPlaneSide(half, placed, c.plane), c.side) << c.plane.w;
    }
}

}  // namespace
