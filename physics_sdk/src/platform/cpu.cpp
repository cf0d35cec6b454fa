#include "platform/cpu.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

int phProcessorClass() {
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE) != 0) {
        return kProcessorClassSse;
    }
    if (__get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) && (edx & bit_3DNOW) != 0) {
        return kProcessorClass3dNow;
    }
#endif
    return kProcessorClassPlain;
}
