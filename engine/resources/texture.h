#pragma once

#include <cstdint>
#include <string>

#include "engine/resources/frame_sheet.h"

namespace orvel {

// The widest and tallest texture the game can use: the GL implementation's
// limit, or a fixed cap while no GL context is current (tools and tests that
// read pictures without a display).
uint32_t LargestTextureSide();

// Throws when a sheet padded to this size could never become a texture, so
// that a picture claiming a huge size is refused before its pixels are
// allocated.
void CheckTextureSize(uint64_t paddedWidth, uint64_t paddedHeight, const std::string& name);

// One image file (a single picture or stacked frames) as a GL texture padded to
// power-of-two width and height. The pixel buffer is freed after the upload;
// the file name is kept so that the texture can be rebuilt after the display
// was switched away (Unload, then EnsureLoaded).
class Texture {
public:
    Texture() = default;
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // (Re)loads the texture from an image file. On an error the texture is
    // left unloaded and the exception passes on.
    void Load(const std::string& fileName);
    // Loads from the stored file name when not loaded.
    void EnsureLoaded();
    // Deletes the GL texture and clears the sheet fields; the file name stays.
    void Unload();

    bool IsLoaded() const { return loaded; }
    const std::string& GetFileName() const { return fileName; }
    uint32_t GetGlName() const { return glName; }
    const FrameSheet& GetSheet() const { return sheet; }
    // Texture coordinates of the right and bottom edges of the first frame.
    float GetMaxU() const;
    float GetMaxV() const;

private:
    std::string fileName;
    uint32_t glName = 0;
    FrameSheet sheet;
    bool loaded = false;
};

// Uploads a padded sheet as level 0 of a new GL texture (linear filters,
// clamp-to-edge, RGBA for 32 bits per pixel, else RGB) and returns its name.
// A sheet larger than the GL implementation allows raises ExceptionGeneral.
uint32_t UploadFrameSheet(const FrameSheet& sheet, const PixelBuffer& buffer,
                          const std::string& name);

}  // namespace orvel
