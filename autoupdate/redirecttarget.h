#pragma once

// Where the support archive goes, read from the redirect script's reply: one
// absolute address whose server follows a seven-character scheme prefix.
// Portable.

#include <cstdint>
#include <string>

class RedirectTarget
{
  public:
    // The server runs from index 7 up to the first "/" at or after index 8;
    // the path is the rest from that "/" on. Without such a "/" nothing is found.
    static RedirectTarget parse(const std::string &reply);

    bool found() const { return m_found; }
    // As the reply gives it, "host" or "host:port".
    const std::string &server() const { return m_server; }
    const std::string &path() const { return m_path; }
    // The server without its port; the port it names, else 80. A port that is
    // not a number from 1 to 65535 gives 0.
    const std::string &host() const { return m_host; }
    uint16_t port() const { return m_port; }

  private:
    bool m_found = false;
    std::string m_server;
    std::string m_path;
    std::string m_host;
    uint16_t m_port = 0;
};
