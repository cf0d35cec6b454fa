#pragma once

// Sets a 4x4 matrix, stored row by row, to a translation by (x, y, z). The
// engine applies matrices to row vectors, so the translation sits in the
// fourth row (elements 12, 13 and 14); the same 16 floats load unchanged
// into OpenGL, which reads them column by column.
void MakeTranslationMatrix(float matrix[16], float x, float y, float z);
