#include "hostlibrary.h"

HostLibrary::HostLibrary(const std::string &path)
{
    load(path);
}

HostLibrary::~HostLibrary()
{
    unload();
}

bool HostLibrary::load(const std::string &path)
{
    unload();
    m_path = path;
    return load();
}

bool HostLibrary::load()
{
    if (!m_module && !m_path.empty())
        m_module = LoadLibraryA(m_path.c_str());
    return m_module != nullptr;
}

void HostLibrary::unload()
{
    if (m_module)
        FreeLibrary(m_module);
    m_module = nullptr;
}
