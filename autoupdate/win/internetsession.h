#pragma once

// A WinINet session in the manner of a framework's internet session: opens
// addresses as reply files and makes HTTP connections, and throws an
// InternetException where a call fails. Used by one thread at a time. Given a
// cancel event, its calls and those of its connections and replies that wait
// for the network run detached and end at once when the event is set.

#include "detachedcall.h"
#include "httpconnection.h"
#include "internetfile.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

// A failed WinINet call, with the system's error code.
class InternetException : public std::exception
{
  public:
    explicit InternetException(DWORD error) : m_error(error) {}
    DWORD error() const { return m_error; }
    // The user cancelled while the call waited.
    bool cancelled() const { return m_error == ERROR_INTERNET_OPERATION_CANCELLED; }
    // The system's text for the error (at most 255 characters).
    std::string message() const;
    const char *what() const noexcept override { return "WinINet call failed"; }

  private:
    DWORD m_error;
};

[[noreturn]] void throwLastInternetError();
// Runs a call that waits for the network through calls; throws the cancel.
void runInternetCall(DetachedCall &calls, std::function<void()> call,
                     std::function<void()> discard = nullptr);

class InternetSession
{
  public:
    // Agent "QdAutoUpdate" by default, the system's configured access.
    explicit InternetSession(const char *agent = "QdAutoUpdate", DWORD_PTR context = 1);
    ~InternetSession();
    InternetSession(const InternetSession &) = delete;
    InternetSession &operator=(const InternetSession &) = delete;

    // A manual-reset event, not owned, set when the user cancels.
    void setCancelEvent(HANDLE cancel) { m_calls->setCancelEvent(cancel); }

    // A GET of the address; the reply is whatever the server answered.
    // Always asks the server rather than a cache.
    std::unique_ptr<InternetFile> openUrl(const std::string &url, DWORD flags = INTERNET_FLAG_TRANSFER_ASCII);
    std::unique_ptr<HttpConnection> httpConnection(const std::string &server, uint16_t port,
                                                   const char *userName = nullptr,
                                                   const char *password = nullptr);
    void close();

  private:
    HINTERNET m_handle = nullptr;
    DWORD_PTR m_context;
    // Shared with the session's connections and replies.
    std::shared_ptr<DetachedCall> m_calls = std::make_shared<DetachedCall>();
};
