#pragma once

#include <string>

// The OpenGL implementation the game needs: version 1.2 or later (the
// leading number of the version string) and not the system's unaccelerated
// fallback renderer, "GDI Generic".
bool IsOpenGlUsable(const std::string& version, const std::string& renderer);

// Reads the version and renderer of the current context; when they are not
// usable, shows the pointer and throws ExceptionGeneral with the text that
// tells the player to update the video drivers.
void CheckOpenGl();
