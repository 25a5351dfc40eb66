#include "internetfile.h"

#include "internetsession.h"

InternetFile::~InternetFile()
{
    close();
}

void InternetFile::close()
{
    if (m_handle) {
        InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }
}

std::string InternetFile::readAll()
{
    std::string text;
    char buffer[1024];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(m_handle, buffer, sizeof buffer, &read))
            throwLastInternetError();
        if (read == 0)
            return text;
        text.append(buffer, read);
    }
}

bool InternetFile::addRequestHeaders(const std::string &header, DWORD flags)
{
    const std::string line = header + "\r\n";
    return HttpAddRequestHeadersA(m_handle, line.c_str(), static_cast<DWORD>(line.size()), flags) != FALSE;
}

void InternetFile::sendRequest()
{
    if (!HttpSendRequestA(m_handle, nullptr, 0, nullptr, 0))
        throwLastInternetError();
}

void InternetFile::sendRequestEx(DWORD total)
{
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = total;
    if (!HttpSendRequestExA(m_handle, &buffers, nullptr, HSR_INITIATE, m_context))
        throwLastInternetError();
}

void InternetFile::write(const void *data, DWORD length)
{
    DWORD written = 0;
    if (!InternetWriteFile(m_handle, data, length, &written))
        throwLastInternetError();
}

void InternetFile::endRequest()
{
    if (!HttpEndRequestA(m_handle, nullptr, 0, m_context))
        throwLastInternetError();
}

bool InternetFile::statusCode(DWORD &status)
{
    DWORD size = sizeof status;
    return HttpQueryInfoA(m_handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr) != FALSE;
}
