#pragma once

// Tests of the library's own pieces, linked in from its frame: the download
// client with a recording sink, the settings lookup and the version reader.

#include "transfersink.h"
#include "updaterhost.h"

#include <string>
#include <vector>

// Records what the download client tells its watcher; can ask it to stop.
class RecordingSink : public TransferSink
{
  public:
    std::vector<std::string> events; // "status ...", "begin ...", "progress N", "error ..."
    // shouldContinue answers 0 once this many progress calls came; -1: never.
    int cancelAfterProgress = -1;

    int setStatusText(const char *text) override;
    int beginTransfer(const char *caption, int32_t low, int32_t high) override;
    int setProgress(int32_t position) override;
    int disableProgress() override;
    int isPaused() override;
    int shouldContinue() override;
    int reportError(const char *text) override;
    int reserved(int32_t, int32_t, int32_t) override;

  private:
    int m_progressCalls = 0;
};

// UpdaterTest with the library's texts and the test's host object made
// known to the linked-in frame.
class FrameTest : public UpdaterTest
{
  protected:
    void SetUp() override;
    void TearDown() override;

    HMODULE m_resources = nullptr;
};
