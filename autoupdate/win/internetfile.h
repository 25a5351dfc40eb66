#pragma once

// The reply of an opened address or an HTTP request: read, written, and for
// requests sent in pieces. Failing calls throw an InternetException; calls
// that wait for the network run through the session's detached calls, and a
// cancel closes the reply.

#include "detachedcall.h"

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

class InternetFile
{
  public:
    InternetFile(HINTERNET handle, DWORD_PTR context, std::shared_ptr<DetachedCall> calls)
        : m_handle(handle), m_context(context), m_calls(std::move(calls))
    {
    }
    ~InternetFile();
    InternetFile(const InternetFile &) = delete;
    InternetFile &operator=(const InternetFile &) = delete;

    // The whole rest of the reply.
    std::string readAll();
    // False when a header of that name is there already (with the add-if-new flag).
    bool addRequestHeaders(const std::string &header, DWORD flags = HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    void sendRequest();
    // Starts a request whose body follows through write().
    void sendRequestEx(DWORD total);
    void write(const void *data, DWORD length);
    void endRequest();
    // False when the status cannot be read.
    bool statusCode(DWORD &status);
    void close();

  private:
    // Runs a call on this reply's handle; what it reaches must be its own.
    void wait(std::function<void()> call);

    HINTERNET m_handle;
    DWORD_PTR m_context;
    std::shared_ptr<DetachedCall> m_calls;
};
