#include "engine/ui/dialog_box.h"

#include <algorithm>
#include <cmath>

#include <alleggl.h>
#include <allegro.h>

#include "engine/ui/current_gl_font.h"
#include "engine/ui/screen_drawing.h"
#include "engine/ui/word_wrap.h"

namespace orvel {

namespace {

// Room between the portrait and the box's right edge that the text may not use.
const int TEXT_MARGIN = 50;
// Gap between the portrait and the text.
const int TEXT_INDENT = 25;
// Height added to the lines for the frame.
const int FRAME_PADDING = 50;
const double LINE_SPACING_FACTOR = 1.6;

}  // namespace

const char* const Dialog::FRAME_PICTURE = "resources/UI/minimaptileright.bbq";

DialogLayout LayoutDialog(int x, int y, int width, int height, int portraitWidth,
                          int portraitHeight, int lineSpacing, int lineCount) {
    DialogLayout layout;
    const int half = width / 2;
    layout.frameLeftX = static_cast<float>(x);
    layout.frameRightX = static_cast<float>(x + half);
    layout.frameHalfWidth = static_cast<float>(half);
    layout.frameTop = static_cast<float>(y);
    layout.frameHeight = static_cast<float>(height);
    layout.portraitX = static_cast<float>(x);
    layout.portraitY = static_cast<float>(y - (height - portraitHeight) / 2);
    layout.textX = static_cast<float>(x + portraitWidth + TEXT_INDENT);
    const int blockOffset = (height - lineSpacing * lineCount) / 2;
    for (int i = 0; i < lineCount; ++i) {
        layout.lineY.push_back(static_cast<float>(y - lineSpacing * i - blockOffset));
    }
    return layout;
}

Dialog::Dialog(const std::string& text, int width, int32_t textColour, int32_t boxColour,
               const std::string& portraitName)
    : textColour(textColour),
      boxColour(boxColour),
      width(width),
      sprites(std::make_shared<SpriteManager>()) {
    portrait = sprites->CreateSprite(portraitName);
    portrait->callback = this;
    lineSpacing = static_cast<int>(std::lround(text_height(::font) * LINE_SPACING_FACTOR));
    lines = WordWrap(::font, text, width - PortraitWidth() - TEXT_MARGIN);
    height =
        std::max(lineSpacing * static_cast<int>(lines.size()) + FRAME_PADDING, PortraitHeight());
    frame.Load(FRAME_PICTURE);
}

Dialog::~Dialog() {
    if (portrait && portrait->callback == this) {
        portrait->callback = nullptr;
    }
}

DialogLayout Dialog::Layout() const {
    return LayoutDialog(x, y, width, height, PortraitWidth(), PortraitHeight(), lineSpacing,
                        static_cast<int>(lines.size()));
}

void Dialog::Draw() {
    const DialogLayout layout = Layout();
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4ub(255, 255, 255, 255);
    DrawFrame(layout);

    PlaceSprite(*portrait, layout.portraitX, layout.portraitY);
    portrait->Draw();

    FONT* const font = CurrentGlFont();
    for (size_t i = 0; i < lines.size(); ++i) {
        DrawGlText(font, layout.textX, layout.lineY[i], textColour, lines[i]);
    }
    glPopAttrib();
}

void Dialog::UnloadTextures() {
    sprites->UnloadTextures();
    frame.Unload();
}

void Dialog::ReloadTextures() {
    sprites->ReloadTextures();
    frame.EnsureLoaded();
}

void Dialog::OnLoop(SpriteAnimation& sprite) {
    if (&sprite == portrait.get()) {
        portrait->SetFps(0.0f);
        portrait->SetFrame(-1);
    }
}

int Dialog::PortraitWidth() const {
    return portrait->GetData() ? static_cast<int>(portrait->GetData()->sheet.width) : 0;
}

int Dialog::PortraitHeight() const {
    return portrait->GetData() ? static_cast<int>(portrait->GetData()->sheet.frameHeight) : 0;
}

void Dialog::DrawFrame(const DialogLayout& layout) const {
    if (!frame.IsLoaded()) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, frame.GetGlName());
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glScalef(frame.GetMaxU(), frame.GetMaxV(), 1.0f);
    glMatrixMode(GL_MODELVIEW);

    const float bottom = layout.frameTop - layout.frameHeight;
    // The quad's left and right texture coordinates: the left half mirrors
    // the picture, so the box's two sides match.
    const struct {
        float x;
        float uLeft;
        float uRight;
    } halves[] = {{layout.frameLeftX, 1.0f, 0.0f}, {layout.frameRightX, 0.0f, 1.0f}};
    glBegin(GL_QUADS);
    for (const auto& half : halves) {
        const float right = half.x + layout.frameHalfWidth;
        glTexCoord2f(half.uLeft, 1.0f);
        glVertex2f(half.x, bottom);
        glTexCoord2f(half.uRight, 1.0f);
        glVertex2f(right, bottom);
        glTexCoord2f(half.uRight, 0.0f);
        glVertex2f(right, layout.frameTop);
        glTexCoord2f(half.uLeft, 0.0f);
        glVertex2f(half.x, layout.frameTop);
    }
    glEnd();

    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace orvel
