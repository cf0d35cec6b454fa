// An unsigned integer for a float that sorts as the float compares, for
// sorts and selections that work on integer keys (radix sorts, selections
// without branches on the keys).
#ifndef PHYSICS_SDK_CORE_FLOAT_ORDER_KEY_H
#define PHYSICS_SDK_CORE_FLOAT_ORDER_KEY_H

#include <cstdint>
#include <cstring>

// Maps a finite float to a key of the same order: negative floats have their
// bits flipped, the others their sign bit set. -0 and +0, which compare
// equal, map to one key (the added 0 turns -0 into +0). A NaN gets some key;
// callers that must order it themselves keep it out.
inline uint32_t phFloatOrderKey(float value) {
    const float normalised = value + 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &normalised, sizeof(bits));
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

#endif
