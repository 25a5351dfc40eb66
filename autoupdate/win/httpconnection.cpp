#include "httpconnection.h"

#include "internetsession.h"

HttpConnection::~HttpConnection()
{
    close();
}

void HttpConnection::close()
{
    if (m_handle) {
        InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }
}

std::unique_ptr<InternetFile> HttpConnection::openRequest(const char *verb, const std::string &object,
                                                          DWORD flags)
{
    HINTERNET request =
        HttpOpenRequestA(m_handle, verb, object.c_str(), nullptr, nullptr, nullptr, flags, m_context);
    if (!request)
        throwLastInternetError();
    return std::make_unique<InternetFile>(request, m_context, m_calls);
}
