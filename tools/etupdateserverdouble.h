#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Plays the updater's servers on 127.0.0.1 for the host tests: the update
// script, the updater download, the redirect script and the support-archive
// upload, with their faults. Tests run at once against one double, so every
// address carries the test's own id, and what a test's requests did is kept
// under that id.
// On the script port, read raw (the updater's query holds "?.?.?.?", a
// request line the HTTP library refuses; uploads are kept byte for byte):
//   GET /update/<id>/<options>/<script>?...  the update script: "getversion=1"
//       answers the version, "getfilesize=1" the size, any other query the
//       updater program. Options, ";"-separated: version=<text> (2.0),
//       size=<text> (the served length), length=<bytes> (2048), download=
//       ok | 404 | 500 (with a page) | 202 | 204 | trickle (slowly, for a
//       cancel) | truncate (closes after half the Content-Length) | stall
//       (half the file, then nothing for stall=<seconds> (30) or until the
//       client goes, then the connection is dropped). silent=version | size |
//       download: that request is read and not answered at all, for
//       stall=<seconds> (30) or until the client goes; then it is dropped.
//   POST /upload/<id>: the support archive; the raw request is kept.
// On the main port, through the HTTP library:
//   GET /crm/<id>/<options>/<script>  the redirect script: to=upload (the
//       upload receiver), to=closed (the closed port), to=none (no address).
//   GET /urlscript/<id>/<options>/<script>  a URL script's settings text;
//       status=404 answers 404.
//   GET /log/<id>: the requests, "METHOD target" and "Name: value" lines,
//       a blank line after each. GET /uploaded/<id>: the raw upload.
//   GET /connecting: how many connects wait at the unanswered port.
//   GET /health.
// Thread-safe; requests are served on the double's own threads.
class ETUpdateServerDouble
{
  public:
    struct Request {
        std::string method;
        std::string target;
        std::vector<std::pair<std::string, std::string>> headers;
        std::string header(const std::string &name) const;
    };

    ETUpdateServerDouble();
    ~ETUpdateServerDouble();
    ETUpdateServerDouble(const ETUpdateServerDouble &) = delete;
    ETUpdateServerDouble &operator=(const ETUpdateServerDouble &) = delete;

    // Binds free ports; false when one cannot be had.
    bool start();
    void stop();
    uint16_t port() const;
    // The update script and the upload receiver.
    uint16_t scriptPort() const;
    // Bound for the double's whole life but never listening: connections to it are refused.
    uint16_t closedPort() const;
    // Listening, its backlog filled by the double and never accepted: the
    // system drops further connects' first packets, so they neither complete
    // nor fail until the client gives up.
    uint16_t unansweredPort() const;
    // The connects that wait at a port, every process's (from /proc/net/tcp);
    // -1 when that cannot be read.
    static int connectsWaiting(uint16_t port);
    // The bytes downloaded for a length option.
    static std::string updaterBytes(size_t length);

    std::vector<Request> requests(const std::string &id) const;
    // The raw bytes (head and body) of the last upload for an id; empty when none.
    std::string upload(const std::string &id) const;
    bool hasUpload(const std::string &id) const;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};
