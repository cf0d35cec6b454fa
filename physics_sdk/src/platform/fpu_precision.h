// x87 precision control. The SDK's float arithmetic runs on SSE, so nothing
// depends on these bits; the guard only keeps the caller's control word as it
// was around the code that asks for a precision. Where there is no x87 it
// does nothing.
#ifndef PHYSICS_SDK_PLATFORM_FPU_PRECISION_H
#define PHYSICS_SDK_PLATFORM_FPU_PRECISION_H

// Precision-control values in the control word (mask 0x300).
inline constexpr unsigned kFpuPrecisionMask = 0x300;
inline constexpr unsigned kFpuPrecision24 = 0x000;
inline constexpr unsigned kFpuPrecision53 = 0x200;
inline constexpr unsigned kFpuPrecision64 = 0x300;

// The current x87 control word (0 where there is no x87).
unsigned phFpuControlWord();

// Sets the precision bits for its lifetime and restores the caller's word.
class phFpuPrecisionGuard {
public:
    explicit phFpuPrecisionGuard(unsigned precision);
    ~phFpuPrecisionGuard();

    phFpuPrecisionGuard(const phFpuPrecisionGuard&) = delete;
    phFpuPrecisionGuard& operator=(const phFpuPrecisionGuard&) = delete;

private:
    unsigned m_saved;
};

#endif
