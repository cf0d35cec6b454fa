#include "platform/performance_counter.h"

#include <gtest/gtest.h>

#include "platform/sleep_pumping_messages.h"

namespace {

TEST(PerformanceCounterTest, CountsNanosecondsForward) {
    EXPECT_EQ(ReadPerformanceFrequency(), 1000000000);
    int64_t last = ReadPerformanceCounter();
    for (int i = 0; i < 1000; ++i) {
        const int64_t now = ReadPerformanceCounter();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(SleepPumpingMessagesTest, SleepsAtLeastTheGivenTime) {
    for (int milliseconds : {0, 1, 10, 25}) {
        const int64_t start = ReadPerformanceCounter();
        SleepPumpingMessages(milliseconds);
        const int64_t elapsed = ReadPerformanceCounter() - start;
        EXPECT_GE(elapsed, int64_t(milliseconds) * 1000000) << milliseconds << " ms";
    }
}

}  // namespace
