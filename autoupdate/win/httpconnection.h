#pragma once

// An HTTP connection of an InternetSession; opens requests on it.

#include "detachedcall.h"
#include "internetfile.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>
#include <utility>

class HttpConnection
{
  public:
    // Calls: the session's, for the requests' waits.
    HttpConnection(HINTERNET handle, DWORD_PTR context, std::shared_ptr<DetachedCall> calls)
        : m_handle(handle), m_context(context), m_calls(std::move(calls))
    {
    }
    ~HttpConnection();
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;

    // Throws an InternetException when the request cannot be opened.
    std::unique_ptr<InternetFile> openRequest(const char *verb, const std::string &object,
                                              DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
    void close();

  private:
    HINTERNET m_handle;
    DWORD_PTR m_context;
    std::shared_ptr<DetachedCall> m_calls;
};
