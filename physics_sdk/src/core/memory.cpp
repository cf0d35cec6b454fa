#include "core/memory.h"

#include "core/name_dictionary.h"
#include "core/pool.h"
#include "core/tree.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

void* CrtAlloc(int size) { return std::malloc(static_cast<size_t>(size)); }

void CrtFree(void* ptr, int) { std::free(ptr); }

struct MemoryCallbacks {
    PhysAllocCallback alloc = CrtAlloc;
    PhysFreeCallback free = CrtFree;
    size_t outstanding = 0;
};

MemoryCallbacks& Callbacks() {
    static MemoryCallbacks callbacks;
    return callbacks;
}

// The class allocator's cache: a tree from block size to a singly linked list
// of free blocks of that size (the link is kept in the block itself).
struct FreeBlock {
    FreeBlock* next;
};

using SizeTree = phTree<size_t, FreeBlock*>;

struct ClassCache {
    phPool* nodePool = nullptr;
    SizeTree* sizes = nullptr;
    size_t cachedBlocks = 0;
};

ClassCache& Cache() {
    static ClassCache cache;
    return cache;
}

// Builds the cache's tree on first use, inside blocks of our own so that
// nothing of it outlives the callbacks that gave it.
bool EnsureCache() {
    ClassCache& cache = Cache();
    if (cache.sizes != nullptr) {
        return true;
    }
    void* poolMemory = phMalloc(sizeof(phPool));
    void* treeMemory = phMalloc(sizeof(SizeTree));
    if (poolMemory == nullptr || treeMemory == nullptr) {
        phFree(poolMemory);
        phFree(treeMemory);
        return false;
    }
    cache.nodePool = new (poolMemory)
        phPool(sizeof(SizeTree::Node), phPool::ElementsPerPage(sizeof(SizeTree::Node), 4));
    cache.sizes = new (treeMemory) SizeTree(cache.nodePool);
    return true;
}

void ReleaseClassCache() {
    ClassCache& cache = Cache();
    if (cache.sizes == nullptr) {
        return;
    }
    for (SizeTree::Node* node = cache.sizes->First(); node != nullptr;
         node = SizeTree::Next(node)) {
        FreeBlock* block = node->info;
        while (block != nullptr) {
            FreeBlock* next = block->next;
            phFree(reinterpret_cast<char*>(block) - kClassBlockPrefix);
            block = next;
        }
    }
    cache.sizes->~SizeTree();
    phFree(cache.sizes);
    cache.nodePool->~phPool();
    phFree(cache.nodePool);
    cache.sizes = nullptr;
    cache.nodePool = nullptr;
    cache.cachedBlocks = 0;
}

}  // namespace

bool phSetMemoryCallbacks(PhysAllocCallback alloc, PhysFreeCallback free) {
    MemoryCallbacks& callbacks = Callbacks();
    if (alloc == nullptr) {
        alloc = CrtAlloc;
    }
    if (free == nullptr) {
        free = CrtFree;
    }
    if (alloc == callbacks.alloc && free == callbacks.free) {
        return true;
    }
    phReleaseMemoryCaches();
    if (callbacks.outstanding != 0) {
        return false;
    }
    callbacks.alloc = alloc;
    callbacks.free = free;
    return true;
}

void* phMalloc(size_t size) {
    if (size == 0 || size > size_t(INT_MAX) - kBlockHeaderSize) {
        return nullptr;
    }
    MemoryCallbacks& callbacks = Callbacks();
    const size_t total = size + kBlockHeaderSize;
    void* raw = callbacks.alloc(static_cast<int>(total));
    if (raw == nullptr) {
        return nullptr;
    }
    ++callbacks.outstanding;
    const uintptr_t aligned =
        (reinterpret_cast<uintptr_t>(raw) & ~uintptr_t(kBlockAlignment - 1)) + kBlockHeaderSize;
    void** words = reinterpret_cast<void**>(aligned);
    words[-1] = raw;
    reinterpret_cast<size_t*>(aligned)[-2] = total;
    return reinterpret_cast<void*>(aligned);
}

void phFree(void* ptr) {
    if (ptr == nullptr) {
        return;
    }
    MemoryCallbacks& callbacks = Callbacks();
    void* raw = static_cast<void**>(ptr)[-1];
    const size_t total = static_cast<size_t*>(ptr)[-2];
    --callbacks.outstanding;
    callbacks.free(raw, static_cast<int>(total));
}

size_t phOutstandingBlocks() { return Callbacks().outstanding; }

void* phClassAlloc(size_t size) {
    ClassCache& cache = Cache();
    if (cache.sizes != nullptr) {
        SizeTree::Node* node = cache.sizes->Find(size);
        if (node != nullptr) {
            FreeBlock* block = node->info;
            node->info = block->next;
            if (node->info == nullptr) {
                cache.sizes->Erase(node);
            }
            --cache.cachedBlocks;
            return block;
        }
    }
    // A cached block keeps its free-list link in its first bytes.
    const size_t room = size < sizeof(FreeBlock) ? sizeof(FreeBlock) : size;
    char* memory = static_cast<char*>(phMalloc(room + kClassBlockPrefix));
    if (memory == nullptr) {
        return nullptr;
    }
    *reinterpret_cast<size_t*>(memory) = size;
    return memory + kClassBlockPrefix;
}

void phClassFree(void* ptr) {
    if (ptr == nullptr) {
        return;
    }
    char* memory = static_cast<char*>(ptr) - kClassBlockPrefix;
    const size_t size = *reinterpret_cast<size_t*>(memory);
    if (!EnsureCache()) {
        phFree(memory);
        return;
    }
    ClassCache& cache = Cache();
    SizeTree::Node* node = cache.sizes->Insert(size, nullptr);
    FreeBlock* block = static_cast<FreeBlock*>(ptr);
    block->next = node->info;
    node->info = block;
    ++cache.cachedBlocks;
}

size_t phClassCachedBlocks() { return Cache().cachedBlocks; }

void phReleaseMemoryCaches() {
    phReleaseNameDictionary();
    ReleaseClassCache();
}
