#include "core/name_dictionary.h"

#include "core/hash.h"
#include "core/memory.h"
#include "core/tree.h"

#include <cstring>

namespace {

struct NameBlock {
    NameBlock* next;
    size_t used;
    size_t room;
    // The text room follows the header.
    char* Text() { return reinterpret_cast<char*>(this + 1); }
};

struct NameDictionary {
    phTree<uint32_t, const char*>* names = nullptr;
    NameBlock* blocks = nullptr;  // the current (packing) block comes first
    size_t blockCount = 0;
};

NameDictionary& Dictionary() {
    static NameDictionary dictionary;
    return dictionary;
}

NameBlock* NewBlock(size_t room) {
    NameBlock* block = static_cast<NameBlock*>(phMalloc(sizeof(NameBlock) + room));
    if (block == nullptr) {
        return nullptr;
    }
    block->used = 0;
    block->room = room;
    return block;
}

// Copies text into block storage; null when no memory could be had.
const char* CopyText(const char* text) {
    NameDictionary& dictionary = Dictionary();
    const size_t bytes = std::strlen(text) + 1;
    NameBlock* current = dictionary.blocks;
    if (bytes > kNameBlockRoom) {
        // Too long for any shared block: a block of its own behind the current.
        NameBlock* own = NewBlock(bytes);
        if (own == nullptr) {
            return nullptr;
        }
        own->used = bytes;
        if (current != nullptr) {
            own->next = current->next;
            current->next = own;
        } else {
            own->next = nullptr;
            dictionary.blocks = own;
        }
        ++dictionary.blockCount;
        std::memcpy(own->Text(), text, bytes);
        return own->Text();
    }
    if (current == nullptr || current->room - current->used < bytes) {
        NameBlock* fresh = NewBlock(kNameBlockRoom);
        if (fresh == nullptr) {
            return nullptr;
        }
        fresh->next = current;
        dictionary.blocks = fresh;
        ++dictionary.blockCount;
        current = fresh;
    }
    char* copy = current->Text() + current->used;
    std::memcpy(copy, text, bytes);
    current->used += bytes;
    return copy;
}

}  // namespace

uint32_t phStringHash(const char* text) {
    const uint32_t hash = phTextHash(text);
    NameDictionary& dictionary = Dictionary();
    if (dictionary.names == nullptr) {
        void* memory = phClassAlloc(sizeof(phTree<uint32_t, const char*>));
        dictionary.names = new (memory) phTree<uint32_t, const char*>();
    }
    if (dictionary.names->Find(hash) == nullptr) {
        const char* copy = CopyText(text);
        if (copy != nullptr) {
            dictionary.names->Insert(hash, copy);
        }
    }
    return hash;
}

const char* phFindName(uint32_t hash) {
    const NameDictionary& dictionary = Dictionary();
    if (dictionary.names == nullptr) {
        return nullptr;
    }
    const auto* node = dictionary.names->Find(hash);
    return node == nullptr ? nullptr : node->info;
}

size_t phNameBlockCount() { return Dictionary().blockCount; }

void phReleaseNameDictionary() {
    NameDictionary& dictionary = Dictionary();
    if (dictionary.names != nullptr) {
        dictionary.names->~phTree();
        phClassFree(dictionary.names);
        dictionary.names = nullptr;
    }
    while (dictionary.blocks != nullptr) {
        NameBlock* next = dictionary.blocks->next;
        phFree(dictionary.blocks);
        dictionary.blocks = next;
    }
    dictionary.blockCount = 0;
}
