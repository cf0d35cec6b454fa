#include "platform/fpu_precision.h"

#if defined(__i386__) || defined(__x86_64__)
#include <fpu_control.h>
#define PH_HAVE_X87 1
#endif

unsigned phFpuControlWord() {
#ifdef PH_HAVE_X87
    fpu_control_t word;
    _FPU_GETCW(word);
    return static_cast<unsigned>(word);
#else
    return 0;
#endif
}

phFpuPrecisionGuard::phFpuPrecisionGuard(unsigned precision) : m_saved(phFpuControlWord()) {
#ifdef PH_HAVE_X87
    fpu_control_t word = static_cast<fpu_control_t>((m_saved & ~kFpuPrecisionMask) |
                                                    (precision & kFpuPrecisionMask));
    _FPU_SETCW(word);
#else
    (void)precision;
#endif
}

phFpuPrecisionGuard::~phFpuPrecisionGuard() {
#ifdef PH_HAVE_X87
    fpu_control_t word = static_cast<fpu_control_t>(m_saved);
    _FPU_SETCW(word);
#endif
}
