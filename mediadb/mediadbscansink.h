#pragma once

#include "mediadbtypes.h"

// The host's scan callback object. The slot order matches the host's COM
// object, so the frame can hand the host's pointer over as it is.
class MediaDbScanSink
{
  public:
    virtual int32_t MEDIADB_CALL queryInterface(const void *iid, void **out) = 0;
    virtual uint32_t MEDIADB_CALL addRef() = 0;
    virtual uint32_t MEDIADB_CALL release() = 0;
    virtual int32_t MEDIADB_CALL reportColumn(const char *name, int32_t index, int32_t count) = 0;
    // A negative result skips the file.
    virtual int32_t MEDIADB_CALL beginFile(const char *path, int32_t reserved) = 0;
    // A negative result: the host has no value for that column.
    virtual int32_t MEDIADB_CALL getValue(int32_t column, int32_t size, char *buffer, int32_t reserved) = 0;
    virtual int32_t MEDIADB_CALL getStartFolder(char *buffer) = 0;
    virtual int32_t MEDIADB_CALL getExtensions(char *buffer) = 0;
    virtual int32_t MEDIADB_CALL getFlags(uint32_t *flags) = 0;
    // A non-zero value written to *cancel stops the scan; cancel may be null.
    virtual int32_t MEDIADB_CALL progress(int32_t percent, const char *text, int32_t *cancel) = 0;

  protected:
    ~MediaDbScanSink() = default;
};
