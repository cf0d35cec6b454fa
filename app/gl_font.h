#pragma once

#include <memory>

struct FONT;

// The game library's current font converted into a textured OpenGL font;
// destroying the handle destroys the GL font.
typedef std::shared_ptr<FONT> GlFontPtr;

// Converts the library's current font (pixel-sized glyphs, alpha texture).
// Throws ExceptionGeneral "Unable to convert font!" when that fails.
GlFontPtr ConvertGameFont();
