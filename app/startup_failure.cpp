#include "app/startup_failure.h"

#include <atomic>
#include <cstdlib>

#include "app/show_message.h"

const char ALLEGRO_GL_INSTALL_FAILED[] =
    "Installation of AllegroGL failed.  This probably\n"
    "means that either your video card isn't up to snuff\n"
    "or your OpenGL drivers are out of date.  See the\n"
    "readme.txt for details.";

namespace {
std::atomic<bool> normalEnd(false);
}  // namespace

void RegisterStartupFailureReport() {
    static const bool registered = std::atexit(ReportStartupFailure) == 0;
    (void)registered;
}

void MarkNormalEnd() { normalEnd = true; }

void ReportStartupFailure() {
    if (!normalEnd) {
        ShowMessage(ALLEGRO_GL_INSTALL_FAILED);
    }
}
