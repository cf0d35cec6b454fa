#pragma once

struct _XDisplay;

// An X window id (the X headers' Window), without pulling in their macros.
typedef unsigned long XWindowId;

// The top-level window that holds `window` (the window itself, or its
// window-manager frame): the child of the root window on the way up. When the
// tree cannot be read (the window went away), the last window reached.
XWindowId TopLevelWindow(_XDisplay* display, XWindowId window);
