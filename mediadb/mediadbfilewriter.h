#pragma once

#include "mediadbtext.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>

// Large-buffer writer over an open C file. A full buffer is written by a
// helper thread while the caller fills the other one. Remembers the first
// failure; flush() waits until everything is written.
class MediaDbFileWriter
{
  public:
    explicit MediaDbFileWriter(std::FILE *file);
    ~MediaDbFileWriter();
    MediaDbFileWriter(const MediaDbFileWriter &) = delete;
    MediaDbFileWriter &operator=(const MediaDbFileWriter &) = delete;

    void append(const char *data, size_t length)
    {
        if (m_used + length <= kSize) {
            std::memcpy(m_buffers[m_current].get() + m_used, data, length);
            m_used += length;
        } else {
            appendSlow(data, length);
        }
    }
    // Room for at least length bytes (up to maxReserve()); commit says how many were used.
    char *reserve(size_t length)
    {
        if (m_used + length > kSize)
            handOff();
        return m_buffers[m_current].get() + m_used;
    }
    void commit(size_t length) { m_used += length; }
    static constexpr size_t maxReserve() { return kSize; }
    void flush();
    bool failed() const { return m_failed; }

  private:
    static constexpr size_t kSize = 1 << 20;
    void appendSlow(const char *data, size_t length);
    void handOff();
    void wait();

    std::FILE *m_file;
    mediadb::LargeArray<char> m_buffers[2];
    int m_current = 0;
    size_t m_used = 0;
    std::future<bool> m_writing;
    bool m_failed = false;
};
