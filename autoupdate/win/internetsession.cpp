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

void runInternetCall(DetachedCall &calls, std::function<void()> call, std::function<void()> discard)
{
    if (calls.run(std::move(call), std::move(discard)) == DetachedCall::Cancelled)
        throw InternetException(ERROR_INTERNET_OPERATION_CANCELLED);
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
    // Connects and waits for the headers: what the call reaches is its own.
    auto file = std::make_shared<HINTERNET>(nullptr);
    const HINTERNET session = m_handle;
    const DWORD_PTR context = m_context;
    try {
        runInternetCall(
            *m_calls,
            [session, url, flags, context, file] {
                *file =
                    InternetOpenUrlA(session, url.c_str(), nullptr, 0,
                                     flags | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, context);
            },
            [file] {
                if (*file)
                    InternetCloseHandle(*file);
            });
    } catch (const InternetException &) {
        // Where the system can, closing the session ends the call left behind.
        close();
        throw;
    }
    if (!*file)
        throwLastInternetError();
    return std::make_unique<InternetFile>(*file, m_context, m_calls);
}

std::unique_ptr<HttpConnection> InternetSession::httpConnection(const std::string &server, uint16_t port,
                                                                const char *userName, const char *password)
{
    HINTERNET connection = InternetConnectA(m_handle, server.c_str(), port, userName, password,
                                            INTERNET_SERVICE_HTTP, 0, m_context);
    if (!connection)
        throwLastInternetError();
    return std::make_unique<HttpConnection>(connection, m_context, m_calls);
}
