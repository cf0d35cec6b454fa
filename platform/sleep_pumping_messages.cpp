#include "platform/sleep_pumping_messages.h"

#include <time.h>
#include <cerrno>

void SleepPumpingMessages(int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += milliseconds / 1000;
    until.tv_nsec += long(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    // An absolute deadline makes a restarted sleep wait only for the rest.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}
