// Every block of memory the SDK uses comes through one process-wide pair of
// callbacks. phMalloc adds a 32-byte header so that the block it hands out is
// 16-byte aligned (the SSE solver needs that) whatever the callback returns;
// the header keeps the raw pointer and the size given to the callback, which
// phFree passes back.
//
// The pair may change only while no block taken through the current pair is
// outstanding: a block must be freed through the pair that allocated it.
// phReleaseMemoryCaches gives the allocator's cached blocks back so that a
// new pair can be installed; the SDK calls it when its last world goes.
#ifndef PHYSICS_SDK_CORE_MEMORY_H
#define PHYSICS_SDK_CORE_MEMORY_H

#include "physics_sdk/phys.h"

#include <cstddef>

inline constexpr size_t kBlockHeaderSize = 32;
inline constexpr size_t kBlockAlignment = 16;

// Installs the pair; null members mean the C runtime's malloc or free. Returns
// false (and keeps the old pair) when the pair would change while blocks of
// the old pair are outstanding; the allocator's caches are released first.
bool phSetMemoryCallbacks(PhysAllocCallback alloc, PhysFreeCallback free);

// A 16-byte aligned block of size bytes, or null for size 0 or when the
// callback fails.
void* phMalloc(size_t size);
// Gives a block of phMalloc back; null does nothing.
void phFree(void* ptr);
// Number of blocks taken through the callbacks and not yet given back.
size_t phOutstandingBlocks();

// Allocator for the SDK's objects: freed blocks are kept in a cache by size
// and handed out again for requests of exactly that size. Every block keeps
// its size in a 16-byte prefix, so the object behind it stays 16-byte aligned.
inline constexpr size_t kClassBlockPrefix = 16;
void* phClassAlloc(size_t size);
void phClassFree(void* ptr);
// Number of blocks waiting in the class allocator's cache.
size_t phClassCachedBlocks();

// Gives every cached block (class allocator, name dictionary) back to the
// callbacks.
void phReleaseMemoryCaches();

#endif
