#pragma once

#include <string>

// Titles the game library's window. Before the graphics mode is set this
// titles the window that the mode will open; afterwards the open window is
// titled directly as well, since the library only titles its own hidden one.
void SetWindowTitle(const std::string& text);
