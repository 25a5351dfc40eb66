#include "mediadbfilewriter.h"

#include <cstring>

MediaDbFileWriter::MediaDbFileWriter(std::FILE *file)
    : m_file(file)
    , m_buffer(new char[kSize])
{
}

MediaDbFileWriter::~MediaDbFileWriter()
{
    flush();
}

void MediaDbFileWriter::appendSlow(const char *data, size_t length)
{
    flush();
    if (length > kSize) {
        if (std::fwrite(data, 1, length, m_file) != length)
            m_failed = true;
        return;
    }
    std::memcpy(m_buffer.get(), data, length);
    m_used = length;
}

void MediaDbFileWriter::flush()
{
    if (m_used && std::fwrite(m_buffer.get(), 1, m_used, m_file) != m_used)
        m_failed = true;
    m_used = 0;
}
