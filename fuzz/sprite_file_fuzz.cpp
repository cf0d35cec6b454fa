// Sprite descriptions in both forms: the sprite-file grammar, and the
// property-file form read into a description.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/sprites/sprite_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        orvel::SpriteDescription description;
        orvel::ParseSpriteFile(text, description);
    } catch (const orvel::Exception&) {
    }
    try {
        const orvel::PropertiesPtr properties = orvel::ParsePropertyString(text, "fuzz.txt");
        orvel::ReadSpriteProperties(*properties, "sprites/fuzz.txt");
    } catch (const orvel::Exception&) {
    }
    return 0;
}
