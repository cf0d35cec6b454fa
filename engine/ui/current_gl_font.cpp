#include "engine/ui/current_gl_font.h"

#include "engine/core/attributes.h"

namespace orvel {

namespace {
const PropertyKey GL_FONT_KEY("glFont");
}  // namespace

FONT* CurrentGlFont() {
    Attributes& registry = GlobalProperties();
    return registry.Contains(GL_FONT_KEY) ? registry.GetFont(GL_FONT_KEY) : nullptr;
}

}  // namespace orvel
