#include "app/display_mode.h"

#include <cstring>

namespace {
// Held in single precision, so a 16:10 desktop (exactly 1.6) is below it.
const float ASPECT_THRESHOLD = 1.6f;
}  // namespace

bool ChooseFullscreen(int desktopWidth, int desktopHeight, int argc, const char* const argv[]) {
    // The quotient stays in double precision. An unreadable desktop gives
    // 0/0, NaN, which is not at or above the threshold: fullscreen.
    const double aspect = double(desktopWidth) / double(desktopHeight);
    bool fullscreen = !(aspect >= double(ASPECT_THRESHOLD));
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-windowed") == 0) {
            fullscreen = false;
        } else if (std::strcmp(argv[i], "-fullscreen") == 0) {
            fullscreen = true;
        }
    }
    return fullscreen;
}
