// The SDK's one exception: the scratch memory could not be committed.
#ifndef PHYSICS_SDK_CORE_EXCEPTION_H
#define PHYSICS_SDK_CORE_EXCEPTION_H

#include <exception>

class phException : public std::exception {
public:
    explicit phException(const char* text) : m_text(text) {}
    const char* What() const { return m_text; }
    const char* what() const noexcept override { return m_text; }

private:
    const char* m_text;
};

inline constexpr const char* kVirtualMemoryFailureText =
    "phSpawnVirtualBuffer: Unable to commit Virtual Memory";

#endif
