#pragma once

#include "qdwia.h"
#include "wiahandlertable.h"

#include <string>

// The programs registered for a device's connect event, as handed to the
// host. Getters answer null or 0 for an index out of range.
class WiaEventHandlerList final : public IWiaEventHandlerList
{
  public:
    explicit WiaEventHandlerList(std::string deviceId);

    WiaHandlerTable &table() { return m_table; }

    void QDWIA_CALL release() override;
    const char *QDWIA_CALL getDeviceId() override;
    int32_t QDWIA_CALL getCount() override;
    const char *QDWIA_CALL getName(int32_t index) override;
    const char *QDWIA_CALL getDescription(int32_t index) override;
    const char *QDWIA_CALL getIcon(int32_t index) override;
    const char *QDWIA_CALL getCommandLine(int32_t index) override;
    const GUID *QDWIA_CALL getHandlerId(int32_t index) override;
    int32_t QDWIA_CALL isDefault(int32_t index) override;
    void *QDWIA_CALL deletingDestructor(uint32_t flags) override;

  private:
    ~WiaEventHandlerList() = default;

    WiaHandlerTable m_table;
};
