#pragma once

// An HTTP connection of an InternetSession; opens requests on it.

#include "internetfile.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>

class HttpConnection
{
  public:
    HttpConnection(HINTERNET handle, DWORD_PTR context) : m_handle(handle), m_context(context) {}
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
};
