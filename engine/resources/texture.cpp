#include "engine/resources/texture.h"

#include <GL/gl.h>

#include "engine/core/exception.h"
#include "engine/core/int_to_string.h"

namespace orvel {

namespace {

// Without a current context the GL query leaves its answer untouched.
const uint32_t LARGEST_SIDE_WITHOUT_GL = 4096;

}  // namespace

uint32_t LargestTextureSide() {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return largest > 0 ? uint32_t(largest) : LARGEST_SIDE_WITHOUT_GL;
}

void CheckTextureSize(uint64_t paddedWidth, uint64_t paddedHeight, const std::string& name) {
    const uint32_t largest = LargestTextureSide();
    if (paddedWidth > largest || paddedHeight > largest) {
        throw ExceptionGeneral(
            "Picture too large for a texture: " + name + "\nSize: " + std::to_string(paddedWidth) +
            "x" + std::to_string(paddedHeight) + "\nLargest: " + IntToString(int(largest)));
    }
}

uint32_t UploadFrameSheet(const FrameSheet& sheet, const PixelBuffer& buffer,
                          const std::string& name) {
    CheckTextureSize(sheet.paddedWidth, sheet.paddedHeight, name);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Rows of an RGB sheet two pixels wide are 6 bytes long, not a multiple of 4.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    while (glGetError() != GL_NO_ERROR) {
    }
    const bool rgba = sheet.bpp == 32;
    glTexImage2D(GL_TEXTURE_2D, 0, rgba ? GL_RGBA : GL_RGB, GLsizei(sheet.paddedWidth),
                 GLsizei(sheet.paddedHeight), 0, rgba ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                 buffer.data());
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        glDeleteTextures(1, &texture);
        throw ExceptionGeneral("The texture could not be made: " + name +
                               "\nGL error: " + IntToString(int(error)));
    }
    return texture;
}

Texture::~Texture() { Unload(); }

void Texture::Load(const std::string& name) {
    Unload();
    fileName = name;
    FrameSheet loading;
    PixelBuffer buffer;
    LoadImageByExtension(loading, name, buffer);
    PadFrameSheetHeight(loading, buffer);
    glName = UploadFrameSheet(loading, buffer, name);
    sheet = loading;
    loaded = true;
}

void Texture::EnsureLoaded() {
    if (!loaded) {
        Load(fileName);
    }
}

void Texture::Unload() {
    if (loaded) {
        GLuint texture = glName;
        glDeleteTextures(1, &texture);
    }
    glName = 0;
    sheet = FrameSheet();
    loaded = false;
}

float Texture::GetMaxU() const {
    return sheet.paddedWidth == 0 ? 0.0f : float(sheet.width) / float(sheet.paddedWidth);
}

float Texture::GetMaxV() const {
    return sheet.paddedHeight == 0 ? 0.0f : float(sheet.frameHeight) / float(sheet.paddedHeight);
}

}  // namespace orvel
