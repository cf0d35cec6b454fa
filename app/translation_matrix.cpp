#include "app/translation_matrix.h"

void MakeTranslationMatrix(float matrix[16], float x, float y, float z) {
    for (int i = 0; i < 16; ++i) {
        matrix[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
    matrix[12] = x;
    matrix[13] = y;
    matrix[14] = z;
}
