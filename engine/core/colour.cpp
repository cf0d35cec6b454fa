#include "engine/core/colour.h"

#include <allegro.h>

namespace orvel {

int32_t MakeColour(int red, int green, int blue, int alpha) {
    return makeacol32(red & 0xFF, green & 0xFF, blue & 0xFF, alpha & 0xFF);
}

int GetRed(int32_t colour) { return getr32(colour); }

int GetGreen(int32_t colour) { return getg32(colour); }

int GetBlue(int32_t colour) { return getb32(colour); }

int GetAlpha(int32_t colour) { return geta32(colour); }

}  // namespace orvel
