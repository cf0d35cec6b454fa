#pragma once

#include <string>

#include "engine/ui/morph.h"

struct FONT;

namespace orvel {

// One line of text. It draws with the GL font that is current when it draws
// (CurrentGlFont), never one kept from before: switching the display away
// destroys the font. Without a font it draws nothing and keeps its size.
class StringMorph : public Morph {
public:
    StringMorph(PropertyKey name, const std::string& text);

    // Stores the text; a morph without a size takes the text's size.
    void SetText(const std::string& newText);
    const std::string& GetText() const { return text; }
    // Sizes the morph to the text as the game library's current font measures
    // it, when there is a text and a GL font to draw it with.
    void FitToText();

    // The font the morph would draw with now.
    FONT* GetFont() const;

    void DrawSelf() override;
    PropertyKey GetTypeName() const override;

private:
    std::string text;
};

}  // namespace orvel
