#pragma once

#include <functional>

// Process-wide state of the client (its singletons and caches) that a test
// program starts afresh before each test, as if the client had just started;
// the client itself never resets. Each owner registers, when it makes its
// state, how to forget it. GUI thread; no worker thread may run during a reset.
class ETProcessState
{
  public:
    using Reset = std::function<void()>;

    static void addReset(Reset reset);
    // Runs every reset registered so far, the newest first, and forgets them:
    // state made again registers again.
    static void resetForTests();
};
