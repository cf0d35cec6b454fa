#include "engine/ui/string_morph.h"

#include <alleggl.h>
#include <allegro.h>

#include "engine/core/colour.h"
#include "engine/ui/current_gl_font.h"
#include "engine/ui/screen_drawing.h"

namespace orvel {

namespace {

const PropertyKey TYPE_STRING_MORPH("StringMorph");

}  // namespace

StringMorph::StringMorph(PropertyKey name, const std::string& text) : Morph(name) { SetText(text); }

void StringMorph::SetText(const std::string& newText) {
    text = newText;
    const MorphRect rect = GetRect();
    if (rect.Width() == 0 && rect.Height() == 0) {
        FitToText();
    }
}

void StringMorph::FitToText() {
    if (text.empty() || GetFont() == nullptr) {
        return;
    }
    SetSize(PointI(text_length(::font, text.c_str()), text_height(::font)));
}

FONT* StringMorph::GetFont() const { return CurrentGlFont(); }

void StringMorph::DrawSelf() {
    FONT* const font = GetFont();
    if (font == nullptr) {
        return;
    }
    const MorphRect rect = GetRect();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawGlText(font, static_cast<float>(rect.left), static_cast<float>(UI_SCREEN_HEIGHT - rect.top),
               GetColour(), text);
    glPopMatrix();
    glPopAttrib();
}

PropertyKey StringMorph::GetTypeName() const { return TYPE_STRING_MORPH; }

}  // namespace orvel
