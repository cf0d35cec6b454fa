// Base of the SDK's reference-counted objects. One 32-bit word holds flags in
// bits 0 to 7 and the reference count in bits 8 to 31; a new object starts
// with count 1 and flag bit 0 set (0x101). Objects are made with new, which
// goes through the SDK's class allocator, and die through Release.
#ifndef PHYSICS_SDK_CORE_REF_H
#define PHYSICS_SDK_CORE_REF_H

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kRefCountOne = 0x100;
inline constexpr uint32_t kRefFlagMask = 0xff;

class phRef {
public:
    phRef() = default;
    phRef(const phRef&) = delete;
    phRef& operator=(const phRef&) = delete;

    // The virtual operations, in the order every SDK class shares.
    virtual uint32_t ReservedQuery() const { return 0; }
    virtual uint32_t GetClassId() const;
    virtual bool IsClass(uint32_t classId) const;
    virtual void ClearRefFlag() { m_refWord &= ~uint32_t(1); }
    virtual void SetRefFlag() { m_refWord |= 1u; }
    // Name id = hash of the text, entered in the name dictionary; 0 for null.
    virtual void SetName(const char* name);
    virtual ~phRef() = default;

    void AddRef() { m_refWord += kRefCountOne; }
    // Drops one reference; the object is deleted when none is left.
    void Release();

    uint32_t GetRefWord() const { return m_refWord; }
    uint32_t GetRefCount() const { return m_refWord >> 8; }
    uint32_t GetNameId() const { return m_nameId; }

    static void* operator new(size_t size);
    static void operator delete(void* ptr);

protected:
    uint32_t m_refWord = kRefCountOne | 1u;
    uint32_t m_nameId = 0;
};

#endif
