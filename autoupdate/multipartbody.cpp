#include "multipartbody.h"

const char MultipartBody::kBoundary[] = "---------------------------119281817426312";

std::string MultipartBody::head(uint64_t archiveSize)
{
    return std::string("--") + kBoundary + "\n" +
           "Content-Disposition: form-data; name=\"File\"; filename=\"crm.zip\"\n"
           "Content-Type: application/octet-stream\n"
           "Content-Length: " +
           std::to_string(archiveSize) + "\n\n\n";
}

std::string MultipartBody::tail()
{
    return std::string("\n\n--") + kBoundary + "--\n";
}

uint64_t MultipartBody::contentLength(uint64_t archiveSize)
{
    return head(archiveSize).size() + archiveSize + tail().size();
}

std::string MultipartBody::contentTypeHeader()
{
    return std::string("Content-Type: multipart/form-data; boundary=") + kBoundary;
}

std::string MultipartBody::contentLengthHeader(uint64_t archiveSize)
{
    return "Content-Length: " + std::to_string(contentLength(archiveSize));
}
