#include "wiaeventhandlerlist.h"

#include <type_traits>
#include <utility>

static_assert(sizeof(GUID) == sizeof(acquire::Identifier), "identifier layout");
#if !defined(_WIN64)
static_assert(std::is_same_v<decltype(&IWiaEventHandlerList::getName),
                             const char *(__thiscall IWiaEventHandlerList::*)(int32_t)>,
              "handler-list slots use this-call");
static_assert(std::is_same_v<decltype(&IWiaEventHandlerList::deletingDestructor),
                             void *(__thiscall IWiaEventHandlerList::*)(uint32_t)>,
              "handler-list slots use this-call");
#endif

WiaEventHandlerList::WiaEventHandlerList(std::string deviceId) : m_table(std::move(deviceId)) {}

void QDWIA_CALL WiaEventHandlerList::release()
{
    delete this;
}

const char *QDWIA_CALL WiaEventHandlerList::getDeviceId()
{
    return m_table.deviceId();
}

int32_t QDWIA_CALL WiaEventHandlerList::getCount()
{
    return m_table.count();
}

const char *QDWIA_CALL WiaEventHandlerList::getName(int32_t index)
{
    return m_table.name(index);
}

const char *QDWIA_CALL WiaEventHandlerList::getDescription(int32_t index)
{
    return m_table.description(index);
}

const char *QDWIA_CALL WiaEventHandlerList::getIcon(int32_t index)
{
    return m_table.icon(index);
}

const char *QDWIA_CALL WiaEventHandlerList::getCommandLine(int32_t index)
{
    return m_table.commandLine(index);
}

const GUID *QDWIA_CALL WiaEventHandlerList::getHandlerId(int32_t index)
{
    return reinterpret_cast<const GUID *>(m_table.handlerId(index));
}

int32_t QDWIA_CALL WiaEventHandlerList::isDefault(int32_t index)
{
    return m_table.isDefault(index);
}

void *QDWIA_CALL WiaEventHandlerList::deletingDestructor(uint32_t flags)
{
    // As a compiler's deleting destructor: bit 0 frees the memory, else only the contents go.
    void *self = this;
    if (flags & 1)
        delete this;
    else
        this->~WiaEventHandlerList();
    return self;
}
