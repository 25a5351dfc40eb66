#pragma once

// The reply of an opened address or an HTTP request: read, written, and for
// requests sent in pieces. Failing calls throw an InternetException.

#include <windows.h>
#include <wininet.h>

#include <string>

class InternetFile
{
  public:
    InternetFile(HINTERNET handle, DWORD_PTR context) : m_handle(handle), m_context(context) {}
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
    HINTERNET m_handle;
    DWORD_PTR m_context;
};
