#pragma once

#include <string>

#include "tools/bbq_convert/picture.h"

// Reads a PPM picture: binary ("P6") or ASCII ("P3"), with a largest sample
// value of up to 65535 (two bytes per sample, most significant first, in
// binary files above 255), as common image tools write it. Samples are scaled
// to 0..255. False when the file is not such a picture, is cut short, or is
// larger than 2^28 pixels.
bool ReadPpm(const std::string& name, Picture& picture);
