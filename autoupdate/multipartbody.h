#pragma once

// The multipart form body of the support-archive upload: a head, the archive's
// bytes unchanged, and a tail, with single LF line ends. Portable.

#include <cstdint>
#include <string>

class MultipartBody
{
  public:
    // Boundary of the request's Content-Type header (27 dashes and the number);
    // the delimiter lines in the body carry two dashes more.
    static const char kBoundary[];

    // Everything before the archive's bytes, for an archive of that size.
    static std::string head(uint64_t archiveSize);
    // Everything after the archive's bytes.
    static std::string tail();
    // Head, archive and tail together.
    static uint64_t contentLength(uint64_t archiveSize);
    // "Content-Type: multipart/form-data; boundary=..." (no line end).
    static std::string contentTypeHeader();
    // "Content-Length: N" for the whole body (no line end).
    static std::string contentLengthHeader(uint64_t archiveSize);
};
