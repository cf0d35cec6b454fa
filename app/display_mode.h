#pragma once

// Whether the game runs fullscreen. Desktops of 16:10 or narrower run
// fullscreen, wider ones windowed; a desktop whose size could not be read
// (0x0) runs fullscreen. The arguments "-windowed" and "-fullscreen" override
// the desktop, the last of them winning; every other argument is ignored.
bool ChooseFullscreen(int desktopWidth, int desktopHeight, int argc, const char* const argv[]);
