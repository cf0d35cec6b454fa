#pragma once

struct FONT;

namespace orvel {

// The GL font that text draws with now: the one stored in the registry as
// "glFont", or none. The display's owner destroys that font when the display
// is switched away and stores a new one when it comes back, so text looks it
// up at every draw and never keeps it.
FONT* CurrentGlFont();

}  // namespace orvel
