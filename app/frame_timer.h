#pragma once

#include <cstdint>

// A counter of ticks that only moves forward. The game reads the platform's
// monotonic counter; tests drive one by hand.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual int64_t ReadCounter() = 0;
    virtual int64_t ReadFrequency() = 0;
};

// The platform's monotonic counter.
class PerformanceClock : public FrameClock {
public:
    int64_t ReadCounter() override;
    int64_t ReadFrequency() override;
};

// Measures the time between laps. Start reads the clock's frequency and the
// first lap's starting point.
class Timer {
public:
    explicit Timer(FrameClock& clock) : clock(clock) {}

    void Start();
    // Seconds since the previous lap (or Start); the next lap starts now.
    double Lap();

private:
    FrameClock& clock;
    int64_t last = 0;
    int64_t frequency = 1;
};
