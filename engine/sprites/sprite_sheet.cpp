#include "engine/sprites/sprite_sheet.h"

#include <GL/gl.h>

#include "engine/resources/texture.h"

namespace orvel {

uint32_t LoadSpriteSheet(const SpriteDescription& description, FrameSheet& sheet) {
    FrameSheet loaded;
    PixelBuffer buffer;
    for (const std::string& frame : description.frameNames) {
        LoadImageByExtension(loaded, frame, buffer);
    }
    PadFrameSheetHeight(loaded, buffer);
    const std::string first = description.frameNames.empty() ? "" : description.frameNames[0];
    const uint32_t texture = UploadFrameSheet(loaded, buffer, first);
    sheet = loaded;
    return texture;
}

void DeleteSpriteTexture(uint32_t& texture) {
    if (texture != 0) {
        const GLuint name = texture;
        glDeleteTextures(1, &name);
        texture = 0;
    }
}

}  // namespace orvel
