// Memory callbacks that count and check every block the SDK takes.
#ifndef TESTS_PHYSICS_SDK_COUNTING_ALLOCATOR_H
#define TESTS_PHYSICS_SDK_COUNTING_ALLOCATOR_H

#include "core/memory.h"

#include <cstdlib>
#include <map>

struct CountingAllocator {
    static std::map<void*, int>& Blocks() {
        static std::map<void*, int> blocks;
        return blocks;
    }
    static int& LastFreedSize() {
        static int size = -1;
        return size;
    }
    static int& LastAllocSize() {
        static int size = -1;
        return size;
    }

    static void* Alloc(int size) {
        void* ptr = std::malloc(static_cast<size_t>(size));
        Blocks()[ptr] = size;
        LastAllocSize() = size;
        return ptr;
    }

    static void Free(void* ptr, int size) {
        auto found = Blocks().find(ptr);
        if (found == Blocks().end() || found->second != size) {
            std::abort();  // freed through the wrong pair or with the wrong size
        }
        Blocks().erase(found);
        LastFreedSize() = size;
        std::free(ptr);
    }
};

// Installs the counting pair for one test and puts the C runtime's pair back
// afterwards (the SDK's caches are released first so that nothing is left).
class ScopedCountingAllocator {
public:
    ScopedCountingAllocator() {
        phReleaseMemoryCaches();
        installed_ = phSetMemoryCallbacks(CountingAllocator::Alloc, CountingAllocator::Free);
    }
    ~ScopedCountingAllocator() {
        phReleaseMemoryCaches();
        phSetMemoryCallbacks(nullptr, nullptr);
    }
    bool Installed() const { return installed_; }

private:
    bool installed_;
};

#endif
