#include "recordingsink.h"

namespace
{

std::string orNull(const char *text)
{
    return text ? text : "(null)";
}

} // namespace

void QDWIA_CALL RecordingSink::deviceConnected(int32_t reserved, const char *eventDescription,
                                               const char *deviceId, const char *deviceDescription,
                                               int32_t deviceKind, const char *fullItemName)
{
    m_log.push_back("sink " + std::to_string(reserved) + "|" + orNull(eventDescription) + "|" +
                    orNull(deviceId) + "|" + orNull(deviceDescription) + "|" + std::to_string(deviceKind) +
                    "|" + orNull(fullItemName));
}
