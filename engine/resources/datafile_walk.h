#pragma once

#include <cstddef>
#include <cstdint>

namespace orvel {

// Whether `size` bytes form a game-library datafile that the library's own
// reader can take without running past a boundary. The library trusts every
// length it reads (a name longer than its stack buffer overflows it, a font
// whose sizes disagree with its bytes reads past them), so the game walks the
// whole structure first: every object and property lies within its parent,
// every object list holds exactly its count and fills its parent, names are of
// sane length, fonts, samples and nested datafiles are consistent with their
// sizes. Only the uncompressed form that the build makes is accepted: the
// bytes of a compressed file or object cannot be vouched for before the
// library itself unpacks them. Objects of types the game never stores (it
// stores plain data, samples, fonts and nested datafiles; the datafile tool
// adds a plain note of its own) count as damage too.
bool IsSoundDatafile(const uint8_t* data, size_t size);

}  // namespace orvel
