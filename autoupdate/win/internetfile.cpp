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

void InternetFile::wait(std::function<void()> call)
{
    if (!m_calls) {
        call();
        return;
    }
    try {
        runInternetCall(*m_calls, std::move(call));
    } catch (const InternetException &) {
        // Where the system can, closing the handle ends the call left behind.
        close();
        throw;
    }
}

std::string InternetFile::readAll()
{
    struct Reply {
        std::string text;
        bool ok = true;
    };
    auto reply = std::make_shared<Reply>();
    const HINTERNET handle = m_handle;
    wait([handle, reply] {
        char buffer[1024];
        for (;;) {
            DWORD read = 0;
            if (!InternetReadFile(handle, buffer, sizeof buffer, &read)) {
                reply->ok = false;
                return;
            }
            if (read == 0)
                return;
            reply->text.append(buffer, read);
        }
    });
    if (!reply->ok)
        throwLastInternetError();
    return std::move(reply->text);
}

bool InternetFile::addRequestHeaders(const std::string &header, DWORD flags)
{
    const std::string line = header + "\r\n";
    return HttpAddRequestHeadersA(m_handle, line.c_str(), static_cast<DWORD>(line.size()), flags) != FALSE;
}

void InternetFile::sendRequest()
{
    auto sent = std::make_shared<BOOL>(FALSE);
    const HINTERNET handle = m_handle;
    wait([handle, sent] { *sent = HttpSendRequestA(handle, nullptr, 0, nullptr, 0); });
    if (!*sent)
        throwLastInternetError();
}

void InternetFile::sendRequestEx(DWORD total)
{
    auto sent = std::make_shared<BOOL>(FALSE);
    const HINTERNET handle = m_handle;
    const DWORD_PTR context = m_context;
    wait([handle, total, context, sent] {
        INTERNET_BUFFERSA buffers = {};
        buffers.dwStructSize = sizeof buffers;
        buffers.dwBufferTotal = total;
        *sent = HttpSendRequestExA(handle, &buffers, nullptr, HSR_INITIATE, context);
    });
    if (!*sent)
        throwLastInternetError();
}

void InternetFile::write(const void *data, DWORD length)
{
    auto written = std::make_shared<BOOL>(FALSE);
    const HINTERNET handle = m_handle;
    // A copy: a write left behind must not reach the caller's buffer.
    std::string bytes(static_cast<const char *>(data), length);
    wait([handle, bytes = std::move(bytes), written] {
        DWORD count = 0;
        *written = InternetWriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &count);
    });
    if (!*written)
        throwLastInternetError();
}

void InternetFile::endRequest()
{
    auto ended = std::make_shared<BOOL>(FALSE);
    const HINTERNET handle = m_handle;
    const DWORD_PTR context = m_context;
    wait([handle, context, ended] { *ended = HttpEndRequestA(handle, nullptr, 0, context); });
    if (!*ended)
        throwLastInternetError();
}

bool InternetFile::statusCode(DWORD &status)
{
    DWORD size = sizeof status;
    return HttpQueryInfoA(m_handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr) != FALSE;
}
