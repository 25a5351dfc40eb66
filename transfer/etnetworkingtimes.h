#pragma once

// Waits and time-outs of the server communication, in seconds as the protocol
// names them; tests shrink a second to a few milliseconds. Thread-safe.
class ETNetworkingTimes
{
  public:
    // Blocks the calling thread for the given protocol seconds.
    static void waitSeconds(int seconds);
    // A time-out of the given protocol seconds, in real milliseconds.
    static long timeoutMilliseconds(int seconds);

    // Hooks for tests.
    static void setMillisecondsPerSecond(int milliseconds);
    static int waitedSeconds(); // sum of all waits since the last reset
    static int waitCount();
    static void resetWaitLog();
};
