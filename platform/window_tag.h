#pragma once

struct _XDisplay;

// One copy of the game per X display. The running copy marks its window with
// a tag (a window property of ours); a second copy that finds a window with
// the tag brings it forward and ends.

// Marks the game library's window with `tag`. Does nothing without a window.
void SetWindowTag(long tag);

// A connection to the display named by DISPLAY for finding a tagged window.
// The game keeps it open until the game library has opened its own: when the
// last connection to a bare X server such as Xvfb closes, the server resets,
// and a connection opened in that moment fails.
class TaggedWindowSearch {
public:
    TaggedWindowSearch();
    ~TaggedWindowSearch();
    TaggedWindowSearch(const TaggedWindowSearch&) = delete;
    TaggedWindowSearch& operator=(const TaggedWindowSearch&) = delete;

    // Looks through every window of the display for one tagged `tag`; when
    // found, maps and raises it, raises the windows that belong to it (an
    // open message) above it, and returns true. False when there is no
    // display or no such window.
    bool FindAndShow(long tag);

private:
    _XDisplay* display;
};

// FindAndShow over a connection of its own.
bool FindAndShowTaggedWindow(long tag);
