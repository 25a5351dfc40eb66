#pragma once

#include "qdwia.h"

#include <string>
#include <vector>

// The host's event sink: logs each call as
// "sink 0|Device connected|cam-1|Holiday Camera|1|(null)".
class RecordingSink final : public QdWiaEventSink
{
  public:
    explicit RecordingSink(std::vector<std::string> &log) : m_log(log) {}

    void QDWIA_CALL deviceConnected(int32_t reserved, const char *eventDescription, const char *deviceId,
                                    const char *deviceDescription, int32_t deviceKind,
                                    const char *fullItemName) override;

  private:
    std::vector<std::string> &m_log;
};
