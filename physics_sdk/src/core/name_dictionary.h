// Process-wide dictionary from name hash to the name's text. Texts are packed
// into blocks of 7,936 bytes of text room; a text longer than a block's room gets a block of its
// own.
#ifndef PHYSICS_SDK_CORE_NAME_DICTIONARY_H
#define PHYSICS_SDK_CORE_NAME_DICTIONARY_H

#include <cstddef>
#include <cstdint>

inline constexpr size_t kNameBlockRoom = 7936;

// Hash of the text (seed 0), entering the text under it; on a repeated hash
// the first text stays.
uint32_t phStringHash(const char* text);
// The text entered under a hash, or null.
const char* phFindName(uint32_t hash);
// Number of text blocks in use.
size_t phNameBlockCount();
// Forgets every name and gives the blocks back.
void phReleaseNameDictionary();

#endif
