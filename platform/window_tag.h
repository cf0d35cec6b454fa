#pragma once

// One copy of the game per X display. The running copy marks its window with
// a tag (a window property of ours); a second copy that finds a window with
// the tag brings it forward and ends.

// Marks the game library's window with `tag`. Does nothing without a window.
void SetWindowTag(long tag);

// Looks through every window of the display for one tagged `tag`; when found,
// maps and raises it and returns true. False when there is no display or no
// such window.
bool FindAndShowTaggedWindow(long tag);
