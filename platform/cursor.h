#pragma once

// Keeps the pointer inside the game's window in fullscreen play: a width and
// height of zero let it go again. X11 confines the pointer to a window rather
// than a rectangle, so the window's own area is used; when the grab is
// refused (another program holds one) nothing happens.
void ClipCursorToScreen(int width, int height);

// Shows the system's pointer over the game's window again, for messages that
// the player has to click away.
void ShowCursor();
