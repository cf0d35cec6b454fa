#pragma once

#include "engine/resources/texture.h"

namespace orvel {
class Input;
}

// The mouse pointer that every menu screen draws last, from
// "resources/mousecursor.bbq", with the picture's top-left corner at the
// mouse. The screen tells it where the mouse is in each update, as drawing
// gets no input.
class MouseCursor {
public:
    // Loads the picture; file errors pass on.
    MouseCursor();

    void Track(const orvel::Input& input);
    // A textured quad of the picture's size; the GL state is kept.
    void Draw() const;

    void UnloadTextures() { texture.Unload(); }
    void ReloadTextures() { texture.EnsureLoaded(); }

private:
    orvel::Texture texture;
    int x = 0;
    int y = 0;
};
