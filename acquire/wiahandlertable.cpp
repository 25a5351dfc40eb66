#include "wiahandlertable.h"

#include <utility>

WiaHandlerTable::WiaHandlerTable(std::string deviceId) : m_deviceId(std::move(deviceId)) {}

void WiaHandlerTable::append(Handler handler, bool isDefault)
{
    if (isDefault)
        m_defaultIndex = count();
    m_handlers.push_back(std::move(handler));
}

const WiaHandlerTable::Handler *WiaHandlerTable::at(int32_t index) const
{
    return index >= 0 && index < count() ? &m_handlers[static_cast<size_t>(index)] : nullptr;
}

const char *WiaHandlerTable::name(int32_t index) const
{
    const Handler *handler = at(index);
    return handler ? handler->name.c_str() : nullptr;
}

const char *WiaHandlerTable::description(int32_t index) const
{
    const Handler *handler = at(index);
    return handler ? handler->description.c_str() : nullptr;
}

const char *WiaHandlerTable::icon(int32_t index) const
{
    const Handler *handler = at(index);
    return handler ? handler->icon.c_str() : nullptr;
}

const char *WiaHandlerTable::commandLine(int32_t index) const
{
    const Handler *handler = at(index);
    return handler ? handler->commandLine.c_str() : nullptr;
}

const acquire::Identifier *WiaHandlerTable::handlerId(int32_t index) const
{
    const Handler *handler = at(index);
    return handler ? &handler->id : nullptr;
}

int32_t WiaHandlerTable::isDefault(int32_t index) const
{
    return at(index) && index == m_defaultIndex ? 1 : 0;
}
