#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/resources/texture.h"
#include "engine/sprites/sprite.h"
#include "engine/sprites/sprite_callback.h"
#include "engine/sprites/sprite_manager.h"

namespace orvel {

// Where the parts of a dialog box go, in GL coordinates (y up). The frame is
// two quads side by side, each half the box wide: the picture on the right,
// its mirror image on the left.
struct DialogLayout {
    float frameLeftX = 0.0f;   // left edge of the mirrored quad
    float frameRightX = 0.0f;  // left edge of the picture's quad
    float frameHalfWidth = 0.0f;
    float frameTop = 0.0f;
    float frameHeight = 0.0f;
    float portraitX = 0.0f;  // the portrait's top-left
    float portraitY = 0.0f;
    float textX = 0.0f;
    std::vector<float> lineY;  // one per line, top line first
};

// Places the parts of a box whose top-left is (x, y): the portrait centred
// vertically on the left, the block of lines centred vertically beside it.
DialogLayout LayoutDialog(int x, int y, int width, int height, int portraitWidth,
                          int portraitHeight, int lineSpacing, int lineCount);

// The tutorial's text box: a framed box with an animated portrait on its left
// that plays once and holds its last frame, and word-wrapped text beside it.
// The owner places the box through x and y (its top-left, GL coordinates).
class Dialog : public SpriteCallback {
public:
    // The frame picture of every dialog box.
    static const char* const FRAME_PICTURE;

    // Wraps `text` to the room beside the portrait, as the game library's
    // current font measures it; the text is drawn with the GL font current
    // at each draw (CurrentGlFont), since switching the display away
    // destroys the font. The box colour is kept for the owner; the box
    // itself is drawn with its picture. Throws the file exceptions for a
    // missing portrait or frame picture and WordWrap's exceptions for a text
    // that cannot be wrapped.
    Dialog(const std::string& text, int width, int32_t textColour, int32_t boxColour,
           const std::string& portrait);
    // The portrait may outlive the box; it stops calling back here.
    ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    void Draw();
    DialogLayout Layout() const;

    // Let go of the box's GL textures before the display is switched away,
    // and make them again when it is back.
    void UnloadTextures();
    void ReloadTextures();

    // The portrait's animation came round: stop on its last frame.
    void OnLoop(SpriteAnimation& sprite) override;

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetLineSpacing() const { return lineSpacing; }
    int32_t GetBoxColour() const { return boxColour; }
    const std::vector<std::string>& GetLines() const { return lines; }
    const SpritePtr& GetPortrait() const { return portrait; }
    const SpriteManagerPtr& GetSpriteManager() const { return sprites; }
    Texture& GetFrameTexture() { return frame; }

    int x = 0;
    int y = 0;

private:
    int PortraitWidth() const;
    int PortraitHeight() const;
    void DrawFrame(const DialogLayout& layout) const;

    int32_t textColour;
    int32_t boxColour;
    int width;
    int height = 0;
    int lineSpacing = 0;
    std::vector<std::string> lines;
    SpriteManagerPtr sprites;
    SpritePtr portrait;
    Texture frame;
};

}  // namespace orvel
