#pragma once

// The program's exit status, so that scripts and the shell can tell a failed
// run from a good one.

// A normal end: the player closed the game (close button, SIGTERM, SIGINT),
// the last screen ended it, or a second copy handed over to the running one.
const int EXIT_STATUS_NORMAL = 0;
// Start-up failed (no display, data not found, no usable OpenGL, ...) or an
// error ended the game; the player has been shown why.
const int EXIT_STATUS_FAILED = 1;
