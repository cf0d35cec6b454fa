#include "engine/resources/texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/engine/error_text.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/support/image_files.h"
#include "tests/support/temp_folder.h"

namespace {

// A picture of two by two pixels: red, green on top; blue, white below.
orvel::BbqImage Quadrants(uint16_t bpp) {
    orvel::BbqImage image;
    image.bpp = bpp;
    image.width = 2;
    image.height = 2;
    const uint8_t colours[4][4] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    for (const auto& colour : colours) {
        image.pixels.insert(image.pixels.end(), colour, colour + bpp / 8);
    }
    return image;
}

GLint BoundLevelSize(GLenum which) {
    GLint size = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &size);
    return size;
}

class TextureTest : public GlDrawTest {
protected:
    TempFolder folder;
};

TEST_F(TextureTest, UploadsPaddedToPowersOfTwo) {
    WriteFile("picture.bbq", BbqBytes(CountingBbq(100, 60, 32)));
    WriteFile("picture.jpg", EncodeJpeg(20, 10, 1, JCS_GRAYSCALE, std::vector<uint8_t>(200, 90)));
    const struct {
        const char* name;
        GLint width;
        GLint height;
        GLint format;
    } cases[] = {{"picture.bbq", 128, 64, GL_RGBA}, {"picture.jpg", 32, 16, GL_RGB}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        orvel::Texture texture;
        texture.Load(c.name);
        ASSERT_TRUE(texture.IsLoaded());
        glBindTexture(GL_TEXTURE_2D, texture.GetGlName());
        EXPECT_EQ(BoundLevelSize(GL_TEXTURE_WIDTH), c.width);
        EXPECT_EQ(BoundLevelSize(GL_TEXTURE_HEIGHT), c.height);
        EXPECT_EQ(BoundLevelSize(GL_TEXTURE_INTERNAL_FORMAT), c.format);
        EXPECT_EQ(texture.GetSheet().paddedWidth, uint32_t(c.width));
        EXPECT_EQ(texture.GetSheet().paddedHeight, uint32_t(c.height));
    }
    orvel::Texture texture;
    texture.Load("picture.bbq");
    EXPECT_FLOAT_EQ(texture.GetMaxU(), 100.0f / 128);
    EXPECT_FLOAT_EQ(texture.GetMaxV(), 60.0f / 64);
}

TEST_F(TextureTest, RgbRowsOfSixBytesArriveIntact) {
    WriteFile("small.bbq", BbqBytes(Quadrants(24)));
    orvel::Texture texture;
    texture.Load("small.bbq");
    glBindTexture(GL_TEXTURE_2D, texture.GetGlName());
    std::vector<uint8_t> pixels(2 * 2 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(pixels, Quadrants(24).pixels);
}

TEST_F(TextureTest, ADrawnTextureReadsBackFromTheFrameBuffer) {
    WriteFile("quadrants.bbq", BbqBytes(Quadrants(32)));
    orvel::Texture texture;
    texture.Load("quadrants.bbq");

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture.GetGlName());
    glColor4f(1, 1, 1, 1);
    // The picture's top row is the texture's first row; GL's y grows upwards.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(100, 300);
    glTexCoord2f(texture.GetMaxU(), 0);
    glVertex2f(300, 300);
    glTexCoord2f(texture.GetMaxU(), texture.GetMaxV());
    glVertex2f(300, 100);
    glTexCoord2f(0, texture.GetMaxV());
    glVertex2f(100, 100);
    glEnd();
    glDisable(GL_TEXTURE_2D);

    ExpectPixel(150, 250, {255, 0, 0}, "red quadrant");
    ExpectPixel(250, 250, {0, 255, 0}, "green quadrant");
    ExpectPixel(150, 150, {0, 0, 255}, "blue quadrant");
    ExpectPixel(250, 150, {255, 255, 255}, "white quadrant");
    ExpectPixel(50, 50, {0, 0, 0}, "outside the picture");
}

TEST_F(TextureTest, UnloadAndEnsureLoadedRebuildFromTheFile) {
    WriteFile("picture.bbq", BbqBytes(CountingBbq(5, 3, 24)));
    orvel::Texture texture;
    texture.Load("picture.bbq");
    const GLuint first = texture.GetGlName();
    EXPECT_TRUE(glIsTexture(first));

    texture.Unload();
    EXPECT_FALSE(texture.IsLoaded());
    EXPECT_EQ(texture.GetGlName(), 0u);
    EXPECT_EQ(texture.GetSheet().width, 0u);
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_EQ(texture.GetFileName(), "picture.bbq");

    texture.EnsureLoaded();
    EXPECT_TRUE(texture.IsLoaded());
    EXPECT_EQ(texture.GetSheet().width, 5u);
    EXPECT_EQ(texture.GetSheet().paddedHeight, 4u);
    const GLuint second = texture.GetGlName();
    texture.EnsureLoaded();
    EXPECT_EQ(texture.GetGlName(), second);
}

TEST_F(TextureTest, AFailedLoadLeavesTheTextureUnloaded) {
    WriteFile("picture.bbq", BbqBytes(CountingBbq(5, 3, 24)));
    orvel::Texture texture;
    texture.Load("picture.bbq");
    const GLuint first = texture.GetGlName();
    EXPECT_EQ(ErrorText([&] { texture.Load("missing.bbq"); }), "File Not Found: missing.bbq");
    EXPECT_FALSE(texture.IsLoaded());
    EXPECT_EQ(texture.GetGlName(), 0u);
    EXPECT_FALSE(glIsTexture(first));
}

TEST_F(TextureTest, ASheetLargerThanTheImplementationAllowsIsRefused) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    ASSERT_GT(largest, 0);
    WriteFile("wide.bbq", BbqBytes(CountingBbq(uint32_t(largest) + 1, 1, 24)));
    orvel::Texture texture;
    const std::string text = ErrorText([&] { texture.Load("wide.bbq"); });
    EXPECT_EQ(text.rfind("Error: Picture too large for a texture: wide.bbq\n", 0), 0u) << text;
    EXPECT_FALSE(texture.IsLoaded());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
