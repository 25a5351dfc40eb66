#include "internetsession.h"

std::string InternetException::message() const
{
    char buffer[256] = {};
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                       GetModuleHandleA("wininet.dll"), m_error, 0, buffer, sizeof buffer, nullptr);
    if (length == 0)
        length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, m_error,
                                0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty())
        text = "Internet error " + std::to_string(m_error);
    return text.substr(0, 255);
}

void throwLastInternetError()
{
    throw InternetException(GetLastError());
}

InternetSession::InternetSession(const char *agent, DWORD_PTR context) : m_context(context)
{
    m_handle = InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!m_handle)
        throwLastInternetError();
}

InternetSession::~InternetSession()
{
    close();
}

void InternetSession::close()
{
    if (m_handle) {
        InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }
}

std::unique_ptr<InternetFile> InternetSession::openUrl(const std::string &url, DWORD flags)
{
    HINTERNET file = InternetOpenUrlA(m_handle, url.c_str(), nullptr, 0,
                                      flags | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, m_context);
    if (!file)
        throwLastInternetError();
    return std::make_unique<InternetFile>(file, m_context);
}

std::unique_ptr<HttpConnection> InternetSession::httpConnection(const std::string &server, uint16_t port,
                                                                const char *userName, const char *password)
{
    HINTERNET connection = InternetConnectA(m_handle, server.c_str(), port, userName, password,
                                            INTERNET_SERVICE_HTTP, 0, m_context);
    if (!connection)
        throwLastInternetError();
    return std::make_unique<HttpConnection>(connection, m_context);
}
