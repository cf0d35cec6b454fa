#include "core/hash.h"

uint32_t phHash(uint32_t seed, const void* bytes, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    uint32_t h = seed;
    for (size_t i = 0; i < length; ++i) {
        h = ph_detail::HashStep(h, p[i]);
    }
    return h;
}
