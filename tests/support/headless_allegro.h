#pragma once

#include <cerrno>
#include <cstdlib>

#include <allegro.h>

// Starts the game library without a display, once per test process: enough
// for datafiles, fonts and memory bitmaps.
inline void EnsureHeadlessAllegro() {
    static const bool installed = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    (void)installed;
}
