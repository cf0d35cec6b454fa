#include "app/gl_check.h"

#include <cstdlib>

#include <GL/gl.h>

#include "engine/core/exception.h"
#include "platform/cursor.h"

namespace {

const float MINIMUM_VERSION = 1.2f;
const char UNACCELERATED_RENDERER[] = "GDI Generic";

const char NOT_UP_TO_SNUFF[] =
    "Gearhaven has detected that your OpenGL implementation\n"
    "is not up to snuff.  This could be because you do not have\n"
    "a video card with basic 3D hardware acceleration but it's \n"
    "more likely that you just need to update your video drivers.\n"
    "Please see the readme.txt for details.";

std::string GlString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

bool IsOpenGlUsable(const std::string& version, const std::string& renderer) {
    const float number = float(std::atof(version.c_str()));
    return !(number < MINIMUM_VERSION) && renderer != UNACCELERATED_RENDERER;
}

void CheckOpenGl() {
    if (!IsOpenGlUsable(GlString(GL_VERSION), GlString(GL_RENDERER))) {
        ShowCursor();
        throw orvel::ExceptionGeneral(NOT_UP_TO_SNUFF);
    }
}
