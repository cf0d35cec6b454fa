#include "core/matrix.h"

#include <cmath>
#include <utility>

phMatrix::phMatrix()
    : row{phVector(1.0f, 0.0f, 0.0f, 0.0f), phVector(0.0f, 1.0f, 0.0f, 0.0f),
          phVector(0.0f, 0.0f, 1.0f, 0.0f), phVector(0.0f, 0.0f, 0.0f, 1.0f)} {}

phMatrix::phMatrix(const phVector& row0, const phVector& row1, const phVector& row2,
                   const phVector& row3)
    : row{row0, row1, row2, row3} {}

phMatrix::phMatrix(const float* m)
    : row{phVector(m[0], m[1], m[2], m[3]), phVector(m[4], m[5], m[6], m[7]),
          phVector(m[8], m[9], m[10], m[11]), phVector(m[12], m[13], m[14], m[15])} {}

phMatrix::phMatrix(const phQuaternion& q, const phVector& position) {
    const float x2 = 2.0f * q.x * q.x;
    const float y2 = 2.0f * q.y * q.y;
    const float z2 = 2.0f * q.z * q.z;
    const float xy = 2.0f * q.x * q.y;
    const float xz = 2.0f * q.x * q.z;
    const float yz = 2.0f * q.y * q.z;
    const float wx = 2.0f * q.w * q.x;
    const float wy = 2.0f * q.w * q.y;
    const float wz = 2.0f * q.w * q.z;
    row[0] = phVector(1.0f - y2 - z2, xy + wz, xz - wy, 0.0f);
    row[1] = phVector(xy - wz, 1.0f - x2 - z2, yz + wx, 0.0f);
    row[2] = phVector(xz + wy, yz - wx, 1.0f - x2 - y2, 0.0f);
    row[3] = phVector(position.x, position.y, position.z, 1.0f);
}

phMatrix phMatrix::RotationX(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return phMatrix(phVector(1.0f, 0.0f, 0.0f, 0.0f), phVector(0.0f, c, s, 0.0f),
                    phVector(0.0f, -s, c, 0.0f), phVector(0.0f, 0.0f, 0.0f, 1.0f));
}

phMatrix phMatrix::RotationY(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return phMatrix(phVector(c, 0.0f, -s, 0.0f), phVector(0.0f, 1.0f, 0.0f, 0.0f),
                    phVector(s, 0.0f, c, 0.0f), phVector(0.0f, 0.0f, 0.0f, 1.0f));
}

phMatrix phMatrix::RotationZ(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return phMatrix(phVector(c, s, 0.0f, 0.0f), phVector(-s, c, 0.0f, 0.0f),
                    phVector(0.0f, 0.0f, 1.0f, 0.0f), phVector(0.0f, 0.0f, 0.0f, 1.0f));
}

void phMatrix::Store(float* out) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            out[i * 4 + j] = row[i][j];
        }
    }
}

phVector phMatrix::RotateVector(const phVector& v) const {
    return phVector(v.x * row[0].x + v.y * row[1].x + v.z * row[2].x,
                    v.x * row[0].y + v.y * row[1].y + v.z * row[2].y,
                    v.x * row[0].z + v.y * row[1].z + v.z * row[2].z, 1.0f);
}

phVector phMatrix::UnrotateVector(const phVector& v) const {
    return phVector(phDot(v, row[0]), phDot(v, row[1]), phDot(v, row[2]), 1.0f);
}

phVector phMatrix::TransformVector(const phVector& p) const {
    phVector result = RotateVector(p);
    result += row[3];
    return result;
}

phVector phMatrix::UntransformVector(const phVector& p) const { return UnrotateVector(p - row[3]); }

phMatrix phMatrix::Inverse() const {
    phMatrix result;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            result.row[i][j] = row[j][i];
        }
        result.row[i].w = 0.0f;
    }
    result.row[3] =
        phVector(-phDot(row[3], row[0]), -phDot(row[3], row[1]), -phDot(row[3], row[2]), 1.0f);
    return result;
}

phMatrix phMatrix::Inverse4x4() const {
    double a[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = row[i][j];
            a[i][j + 4] = (i == j) ? 1.0 : 0.0;
        }
    }
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int i = column + 1; i < 4; ++i) {
            if (std::fabs(a[i][column]) > std::fabs(a[pivot][column])) {
                pivot = i;
            }
        }
        if (std::fabs(a[pivot][column]) < 1e-30) {
            return phMatrix();
        }
        if (pivot != column) {
            for (int j = 0; j < 8; ++j) {
                std::swap(a[pivot][j], a[column][j]);
            }
        }
        const double scale = 1.0 / a[column][column];
        for (int j = 0; j < 8; ++j) {
            a[column][j] *= scale;
        }
        for (int i = 0; i < 4; ++i) {
            if (i != column && a[i][column] != 0.0) {
                const double factor = a[i][column];
                for (int j = 0; j < 8; ++j) {
                    a[i][j] -= factor * a[column][j];
                }
            }
        }
    }
    phMatrix result;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            result.row[i][j] = static_cast<float>(a[i][j + 4]);
        }
    }
    return result;
}

phMatrix phMatrix::Transpose4x4() const {
    phMatrix result;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            result.row[i][j] = row[j][i];
        }
    }
    return result;
}

phMatrix operator*(const phMatrix& a, const phMatrix& b) {
    phMatrix result;
    for (int i = 0; i < 4; ++i) {
        const phVector& r = a.row[i];
        for (int j = 0; j < 4; ++j) {
            result.row[i][j] =
                r.x * b.row[0][j] + r.y * b.row[1][j] + r.z * b.row[2][j] + r.w * b.row[3][j];
        }
    }
    return result;
}
