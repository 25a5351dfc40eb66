#pragma once

// The programs registered for a device's connect event, as the handler-list
// object hands them to the host. Getters answer null or 0 for an index out
// of range. Plain C++, no Windows headers.

#include "wiatables.h"

#include <string>
#include <vector>

class WiaHandlerTable
{
  public:
    struct Handler {
        std::string name;
        std::string description;
        std::string icon;
        std::string commandLine;
        acquire::Identifier id;
    };

    explicit WiaHandlerTable(std::string deviceId);

    // Adds a handler; a default handler's position becomes the default index.
    void append(Handler handler, bool isDefault);

    const char *deviceId() const { return m_deviceId.c_str(); }
    int32_t count() const { return static_cast<int32_t>(m_handlers.size()); }
    int32_t defaultIndex() const { return m_defaultIndex; }

    const char *name(int32_t index) const;
    const char *description(int32_t index) const;
    const char *icon(int32_t index) const;
    const char *commandLine(int32_t index) const;
    const acquire::Identifier *handlerId(int32_t index) const;
    // 1 for the default handler's index, 0 for any other index.
    int32_t isDefault(int32_t index) const;

  private:
    const Handler *at(int32_t index) const;

    std::string m_deviceId;
    int32_t m_defaultIndex = -1;
    std::vector<Handler> m_handlers;
};
