#pragma once

#include <atomic>

// Waits and time-outs of the server communication, in seconds as the protocol
// names them; tests shrink a second to a few milliseconds. Thread-safe.
class ETNetworkingTimes
{
  public:
    // Blocks the calling thread for the given protocol seconds.
    static void waitSeconds(int seconds);
    // The same, ending early once cancelled is set (from any thread); false then.
    static bool waitSeconds(int seconds, const std::atomic<bool> &cancelled);
    // A time-out of the given protocol seconds, in real milliseconds: a
    // second at least, unless there is none (0).
    static long timeoutMilliseconds(int seconds);

    // Hooks for tests.
    static void setMillisecondsPerSecond(int milliseconds);
    static int waitedSeconds(); // sum of all waits since the last reset
    static int waitCount();
    static void resetWaitLog();
};
