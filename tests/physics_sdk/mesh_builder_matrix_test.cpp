#include "collision/mesh_builder_matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(MeshBuilderMatrixTest, TransformPointsReadsAndWritesStridedPoints) {
    const float in[] = {1, 0, 0, 99, 0, 2, 0, 99};
    float out[6] = {};
    phMatrix matrix = phMatrix::RotationZ(float(M_PI / 2));
    matrix[3] = phVector(10, 20, 30);
    TransformPoints(matrix, out, 12, in, 16, 2);
    const float expected[] = {10, 21, 30, 8, 20, 30};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(out[i], expected[i], 1e-5f) << i;
    }
}

TEST(MeshBuilderMatrixTest, SharedIdentityAndZeroMatrices) {
    EXPECT_EQ(&phIdentityMatrix(), &phIdentityMatrix());
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(phIdentityMatrix()[i][j], i == j ? 1.0f : 0.0f);
            EXPECT_EQ(phZeroMatrix()[i][j], 0.0f);
        }
    }
}

TEST(MeshBuilderMatrixTest, SymmetricInverseTimesTheMatrixIsTheIdentity) {
    const phMatrix tensor(phVector(4, 1, 0.5f, 0), phVector(1, 3, 0.25f, 0),
                          phVector(0.5f, 0.25f, 2, 0), phVector(7, 8, 9, 1));
    const phMatrix product = tensor * phSymmetricInverse3x3(tensor);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(product[i][j], i == j ? 1.0f : 0.0f, 1e-5f);
        }
    }
    EXPECT_EQ(phSymmetricInverse3x3(tensor)[3].w, 1.0f);
    EXPECT_EQ(phSymmetricInverse3x3(tensor)[3].x, 0.0f);
    EXPECT_EQ(phSymmetricInverse3x3(phZeroMatrix())[1][1], 0.0f);
}

TEST(MeshBuilderMatrixTest, EulerAnglesRebuildTheRotation) {
    const struct {
        float x, y, z;
    } cases[] = {{0.3f, -0.7f, 1.2f}, {-2.5f, 1.1f, 0.1f}, {0, 0, 0}, {1.0f, 0.2f, -3.0f}};
    for (const auto& c : cases) {
        const phMatrix m =
            phMatrix::RotationX(c.x) * phMatrix::RotationY(c.y) * phMatrix::RotationZ(c.z);
        const phVector angles = phMatrixToEulerAngles(m);
        const phMatrix back = phMatrix::RotationX(angles.x) * phMatrix::RotationY(angles.y) *
                              phMatrix::RotationZ(angles.z);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                EXPECT_NEAR(back[i][j], m[i][j], 1e-5f);
            }
        }
    }
    // Straight up: the sine is clamped short of 1.
    const phVector up = phMatrixToEulerAngles(phMatrix::RotationY(float(M_PI / 2)));
    EXPECT_NEAR(up.y, float(M_PI / 2), 2e-3f);
    EXPECT_LT(up.y, float(M_PI / 2));
}

TEST(MeshBuilderMatrixTest, ScaleAllScalesW) {
    const phVector v = phScaleAll(phVector(1, 2, 3, 4), 0.5f);
    EXPECT_EQ(v.x, 0.5f);
    EXPECT_EQ(v.w, 2.0f);
}

}  // namespace
