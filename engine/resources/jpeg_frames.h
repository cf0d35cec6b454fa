#pragma once

#include <string>

#include "engine/resources/frame_sheet.h"

namespace orvel {

// Appends the picture of JPEG resource `name` to the sheet as one 24-bit RGB
// frame. Colour and greyscale pictures are decoded to RGB; CMYK pictures and
// corrupt data raise ExceptionFileFormatInvalid, leaving the sheet as it was.
void ReadJpegFrame(FrameSheet& sheet, const std::string& name, PixelBuffer& buffer);

}  // namespace orvel
