#pragma once

// Takes the long-lived services that hold game-library objects (the GL font,
// the sound manager, the music player) and the object definitions out of the
// registry of named values. The program calls it at its end, while the game
// library still runs: the registry itself lives until the process exits,
// after the library has shut down, and must not destroy library objects then.
void ReleaseServices();
