#include "app/frame_timer.h"

#include "platform/performance_counter.h"

int64_t PerformanceClock::ReadCounter() { return ReadPerformanceCounter(); }

int64_t PerformanceClock::ReadFrequency() { return ReadPerformanceFrequency(); }

void Timer::Start() {
    last = clock.ReadCounter();
    frequency = clock.ReadFrequency();
}

double Timer::Lap() {
    const int64_t now = clock.ReadCounter();
    const double seconds = double(now - last) / double(frequency);
    last = now;
    return seconds;
}
