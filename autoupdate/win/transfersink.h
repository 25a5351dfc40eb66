#pragma once

// What the download client tells its watcher (the update window), and asks
// it. Slots 0 to 2 are called from the update worker.

#include <cstdint>

class TransferSink
{
  public:
    virtual int setStatusText(const char *text) = 0;
    virtual int beginTransfer(const char *caption, int32_t low, int32_t high) = 0;
    virtual int setProgress(int32_t position) = 0;
    virtual int disableProgress() = 0;
    virtual int isPaused() = 0;
    // 1 while no cancel was asked for.
    virtual int shouldContinue() = 0;
    virtual int reportError(const char *text) = 0;
    virtual int reserved(int32_t, int32_t, int32_t) = 0;

  protected:
    ~TransferSink() = default;
};
