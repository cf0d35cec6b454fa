#pragma once

// Sleeps until at least `milliseconds` have passed on the monotonic clock.
// The game library reads the window's events on a thread of its own, so the
// sleeping thread has nothing to pump; a sleep cut short by a signal goes on
// for the time that is left.
void SleepPumpingMessages(int milliseconds);
