#include "platform/performance_counter.h"

#include <time.h>

namespace {
const int64_t NANOSECONDS_PER_SECOND = 1000000000;
}

int64_t ReadPerformanceCounter() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * NANOSECONDS_PER_SECOND + now.tv_nsec;
}

int64_t ReadPerformanceFrequency() { return NANOSECONDS_PER_SECOND; }
