#include "core/ref.h"

#include "core/class_ids.h"
#include "core/memory.h"
#include "core/name_dictionary.h"

#include <new>

uint32_t phRef::GetClassId() const { return kClassIdRef; }

bool phRef::IsClass(uint32_t classId) const { return classId == kClassIdRef; }

void phRef::SetName(const char* name) { m_nameId = (name == nullptr) ? 0 : phStringHash(name); }

void phRef::Release() {
    m_refWord -= kRefCountOne;
    if ((m_refWord >> 8) == 0) {
        delete this;
    }
}

void* phRef::operator new(size_t size) {
    void* memory = phClassAlloc(size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void phRef::operator delete(void* ptr) { phClassFree(ptr); }
