#pragma once

#include <string>

// Why the program cannot reach an X display, in words for the player:
// DISPLAY unset, or set to a display that cannot be opened. Empty when the
// display named by DISPLAY opens.
std::string DescribeMissingDisplay();
