#include "redirecttarget.h"

RedirectTarget RedirectTarget::parse(const std::string &reply)
{
    RedirectTarget target;
    const size_t slash = reply.size() > 8 ? reply.find('/', 8) : std::string::npos;
    if (slash == std::string::npos)
        return target;
    target.m_found = true;
    target.m_server = reply.substr(7, slash - 7);
    target.m_path = reply.substr(slash);
    const size_t colon = target.m_server.rfind(':');
    if (colon == std::string::npos) {
        target.m_host = target.m_server;
        target.m_port = 80;
        return target;
    }
    target.m_host = target.m_server.substr(0, colon);
    const std::string digits = target.m_server.substr(colon + 1);
    unsigned long port = 0;
    bool valid = !digits.empty() && digits.size() <= 5;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            valid = false;
        else
            port = port * 10 + static_cast<unsigned long>(c - '0');
    }
    target.m_port = valid && port >= 1 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
    return target;
}
