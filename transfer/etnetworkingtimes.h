#pragma once

#include <atomic>

// Waits, tries and time-outs of the server communication, in seconds as the
// protocol names them; tests shrink a second to a few milliseconds. Thread-safe.
class ETNetworkingTimes
{
  public:
    // Before the upload starts again when the server asks for it.
    static constexpr int uploadRestartPauseSeconds = 10;
    // How often the upload starts again before the server counts as busy.
    static constexpr int uploadStartTries = 3;
    // Before each picture post.
    static constexpr int picturePauseSeconds = 1;
    // After a picture post that failed, before the upload stops and starts again.
    static constexpr int failedPostPauseSeconds = 2;
    // A request post, and a picture post.
    static constexpr int requestTimeoutSeconds = 120;
    static constexpr int pictureTimeoutSeconds = 900;
    // The session end that follows a cancel: the customer waits for it.
    static constexpr int sessionEndAfterCancelSeconds = 2;
    // The session end after a finished order: the order is placed, the
    // customer waits only for the confirmation.
    static constexpr int sessionEndAfterOrderSeconds = 10;
    // A transfer that failed in its TLS handshake or while receiving goes
    // again, after a pause, up to this many attempts in all.
    static constexpr int transferAttempts = 5;
    static constexpr int transferRetryPauseSeconds = 1;

    // Blocks the calling thread for the given protocol seconds.
    static void waitSeconds(int seconds);
    // The same, ending early once cancelled is set (from any thread); false
    // then. The application's thread handles its events meanwhile.
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
