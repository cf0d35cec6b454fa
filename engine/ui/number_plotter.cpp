#include "engine/ui/number_plotter.h"

#include <cstdio>

#include <GL/gl.h>

#include "engine/ui/screen_drawing.h"

namespace orvel {

std::string NumberPlotter::FormatValue(int value) const {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%i", value);
    std::string text = buffer;
    if ((flags & NUMBER_PLOTTER_PAD_ZEROS) && static_cast<int>(text.size()) < digitCount) {
        text.insert(0, static_cast<size_t>(digitCount) - text.size(), '0');
    }
    return text;
}

void NumberPlotter::Plot(int value, float x, float y, const DigitPainter& paint) const {
    if (!digits || !digits->GetData()) {
        return;
    }
    const FrameSheet& sheet = digits->GetData()->sheet;
    const float frameWidth = static_cast<float>(sheet.width);
    const float frameHeight = static_cast<float>(sheet.frameHeight);
    const int32_t frameCount = digits->GetData()->GetFrameCount();
    const std::string text = FormatValue(value);

    x = (flags & NUMBER_PLOTTER_ALIGN_RIGHT)
            ? x - frameWidth * static_cast<float>(text.size()) - static_cast<float>(xOffset)
            : x + static_cast<float>(xOffset);
    y = (flags & NUMBER_PLOTTER_ALIGN_BOTTOM) ? y - frameHeight - static_cast<float>(yOffset)
                                              : y + static_cast<float>(yOffset);
    for (const char c : text) {
        if (c < '0' || c > '9' || c - '0' >= frameCount) {
            continue;
        }
        paint(c - '0', x, y);
        x += frameWidth;
    }
}

void NumberPlotter::Draw(int value, float x, float y) const {
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Plot(value, x, y, [this](int digit, float digitX, float digitY) {
        digits->SetFrame(digit);
        PlaceSprite(*digits, digitX, digitY);
        digits->Draw();
    });
    glPopAttrib();
}

}  // namespace orvel
