#include "platform/cpu.h"
#include "platform/fpu_precision.h"

#include <gtest/gtest.h>

namespace {

TEST(FpuPrecisionTest, GuardSetsThePrecisionAndRestoresTheCallersWord) {
    const unsigned before = phFpuControlWord();
    {
        phFpuPrecisionGuard guard(kFpuPrecision24);
#if defined(__i386__) || defined(__x86_64__)
        EXPECT_EQ(phFpuControlWord() & kFpuPrecisionMask, kFpuPrecision24);
        EXPECT_EQ(phFpuControlWord() & ~kFpuPrecisionMask, before & ~kFpuPrecisionMask);
#endif
        {
            phFpuPrecisionGuard inner(kFpuPrecision53);
#if defined(__i386__) || defined(__x86_64__)
            EXPECT_EQ(phFpuControlWord() & kFpuPrecisionMask, kFpuPrecision53);
#endif
        }
#if defined(__i386__) || defined(__x86_64__)
        EXPECT_EQ(phFpuControlWord() & kFpuPrecisionMask, kFpuPrecision24);
#endif
    }
    EXPECT_EQ(phFpuControlWord(), before);
}

TEST(CpuTest, SixtyFourBitProcessorsHaveSse) {
#if defined(__x86_64__)
    EXPECT_EQ(phProcessorClass(), kProcessorClassSse);
#else
    const int processorClass = phProcessorClass();
    EXPECT_TRUE(processorClass >= 0 && processorClass <= 2);
#endif
}

}  // namespace
