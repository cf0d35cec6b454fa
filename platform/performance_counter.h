#pragma once

#include <cstdint>

// The clock that paces frames: a monotonic counter that never jumps with the
// wall clock, in ticks of ReadPerformanceFrequency() per second.
int64_t ReadPerformanceCounter();
int64_t ReadPerformanceFrequency();
