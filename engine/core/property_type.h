#pragma once

#include <cstdint>

namespace orvel {

// The type tag stored beside every property value. The numbers are part of
// the file formats and of the list-header rules, so they are fixed.
enum PropertyType : uint32_t {
    PROPERTY_STRUCT = 0,
    PROPERTY_LIST = 1,
    PROPERTY_STRING = 2,
    PROPERTY_INT = 3,
    PROPERTY_FLOAT = 4,
    PROPERTY_COLOUR = 5,  // packed 32-bit colour held as int
    PROPERTY_BOOL = 6,    // held as int 0 or 1
    PROPERTY_POINT = 7,   // Vector2x<int32_t>
    PROPERTY_POINTF = 8,  // Vector2x<float>
    PROPERTY_UNSET = 9,   // a list element that holds nothing yet
};

}  // namespace orvel
