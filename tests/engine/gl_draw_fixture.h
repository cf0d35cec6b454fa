#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/support/gl_context.h"
#include "tests/support/image_files.h"

// The red, green and blue of a pixel, 0 to 255 each.
struct Rgb {
    int r, g, b;
};

// The bytes of a 24-bit .bbq picture of one flat colour.
inline std::string FlatBbq(uint32_t width, uint32_t height, const Rgb& colour) {
    orvel::BbqImage image;
    image.width = width;
    image.height = height;
    for (uint32_t i = 0; i < width * height; ++i) {
        image.pixels.insert(image.pixels.end(),
                            {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b)});
    }
    return BbqBytes(image);
}

// Base of the tests that draw on the 800x600 back buffer and read its pixels.
class GlDrawTest : public GlTest {
protected:
    // One unit a pixel with the origin at the bottom left; identity texture
    // and model-view matrices; no depth test, lighting, texturing or
    // blending; the back buffer black.
    void SetUp() override {
        GlTest::SetUp();
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, -1, 1);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // One pixel of the back buffer, once everything drawn has landed.
    static Rgb ReadPixel(int x, int y) {
        glFinish();
        uint8_t rgb[3] = {};
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return Rgb{rgb[0], rgb[1], rgb[2]};
    }

    // Expects the pixel within 2 of `want` in each colour.
    static void ExpectPixel(int x, int y, const Rgb& want, const char* what) {
        const Rgb got = ReadPixel(x, y);
        EXPECT_TRUE(std::abs(got.r - want.r) <= 2 && std::abs(got.g - want.g) <= 2 &&
                    std::abs(got.b - want.b) <= 2)
            << what << " at (" << x << "," << y << "): got " << got.r << "," << got.g << ","
            << got.b << " want " << want.r << "," << want.g << "," << want.b;
    }

    // A current colour for drawing code to leave as it found it.
    static void SetMarkerColour() { glColor4f(0.25f, 0.5f, 0.75f, 1.0f); }

    // Expects the marker colour still current and the model-view matrix
    // still the identity's first column and translation.
    static void ExpectColourAndModelViewKept() {
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0], 0.25f);
        EXPECT_FLOAT_EQ(colour[2], 0.75f);
        GLfloat matrix[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[0], 1.0f);
        EXPECT_FLOAT_EQ(matrix[12], 0.0f);
    }

    struct Matrix {
        GLfloat m[16];
    };

    static Matrix TextureMatrix() {
        Matrix matrix = {};
        glGetFloatv(GL_TEXTURE_MATRIX, matrix.m);
        return matrix;
    }

    // Expects drawing to have left the state as it found it: the texture
    // matrix as `before`, the model-view matrix mode, texturing and blending
    // off, and no error.
    static void ExpectStateRestored(const Matrix& before) {
        const Matrix after = TextureMatrix();
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(after.m[i], before.m[i]) << "texture matrix element " << i;
        }
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};
