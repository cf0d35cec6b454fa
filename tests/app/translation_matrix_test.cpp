#include "app/translation_matrix.h"

#include <gtest/gtest.h>

namespace {

// A row vector (px, py, pz, 1) times the matrix.
void Transform(const float m[16], const float p[4], float out[4]) {
    for (int column = 0; column < 4; ++column) {
        out[column] = 0.0f;
        for (int row = 0; row < 4; ++row) {
            out[column] += p[row] * m[row * 4 + column];
        }
    }
}

TEST(TranslationMatrixTest, MovesPointsButNotDirections) {
    float m[16];
    for (float& value : m) {
        value = 7.0f;  // every element is overwritten
    }
    MakeTranslationMatrix(m, 1.5f, -2.0f, -3.0f);

    const float point[4] = {10.0f, 20.0f, 30.0f, 1.0f};
    float moved[4];
    Transform(m, point, moved);
    EXPECT_FLOAT_EQ(moved[0], 11.5f);
    EXPECT_FLOAT_EQ(moved[1], 18.0f);
    EXPECT_FLOAT_EQ(moved[2], 27.0f);
    EXPECT_FLOAT_EQ(moved[3], 1.0f);

    const float direction[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    Transform(m, direction, moved);
    EXPECT_FLOAT_EQ(moved[0], 0.0f);
    EXPECT_FLOAT_EQ(moved[1], 1.0f);
    EXPECT_FLOAT_EQ(moved[2], 0.0f);
    EXPECT_FLOAT_EQ(moved[3], 0.0f);
}

}  // namespace
