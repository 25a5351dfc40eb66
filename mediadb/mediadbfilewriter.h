#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

// Large-buffer writer over an open C file; remembers the first failure.
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
            std::memcpy(m_buffer.get() + m_used, data, length);
            m_used += length;
        } else {
            appendSlow(data, length);
        }
    }
    void flush();
    bool failed() const { return m_failed; }

private:
    static constexpr size_t kSize = 4 << 20;
    void appendSlow(const char *data, size_t length);

    std::FILE *m_file;
    std::unique_ptr<char[]> m_buffer;
    size_t m_used = 0;
    bool m_failed = false;
};
