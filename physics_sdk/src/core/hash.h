// The SDK's table-driven 32-bit hash: h = (h << 8) xor table[(h >> 24) xor b]
// for each byte b. Class ids, shape signatures and name ids all come from it.
// The table and the hash of a text are constexpr, so class ids are fixed at
// compile time and never depend on the order of static initialisation.
#ifndef PHYSICS_SDK_CORE_HASH_H
#define PHYSICS_SDK_CORE_HASH_H

#include <cstddef>
#include <cstdint>

namespace ph_detail {

struct phHashTable {
    uint32_t words[256];
};

// Well-mixed words for the entries after the four fixed leading ones.
constexpr uint32_t MixWord(uint32_t x) {
    x += 0x9e3779b9u;
    x = (x ^ (x >> 16)) * 0x85ebca6bu;
    x = (x ^ (x >> 13)) * 0xc2b2ae35u;
    return x ^ (x >> 16);
}

constexpr phHashTable MakeHashTable() {
    phHashTable table{};
    table.words[0] = 0x00000001u;
    table.words[1] = 0x2c11f801u;
    table.words[2] = 0xdfd8f60eu;
    table.words[3] = 0x6c8fa2b7u;
    for (uint32_t i = 4; i < 256; ++i) {
        table.words[i] = MixWord(i * 0x01000193u);
    }
    return table;
}

inline constexpr phHashTable kHashTable = MakeHashTable();

constexpr uint32_t HashStep(uint32_t h, uint8_t b) {
    return (h << 8) ^ kHashTable.words[(h >> 24) ^ b];
}

}  // namespace ph_detail

// Hash of length bytes starting from seed; an empty run gives the seed.
uint32_t phHash(uint32_t seed, const void* bytes, size_t length);

// Hash of a text up to its terminator, seed 0. Does not touch the name
// dictionary; see phStringHash for that.
constexpr uint32_t phTextHash(const char* text) {
    uint32_t h = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        h = ph_detail::HashStep(h, static_cast<uint8_t>(*p));
    }
    return h;
}

#endif
