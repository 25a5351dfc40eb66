#include "mediadbfilewriter.h"

#include <cstdlib>
#include <new>

MediaDbFileWriter::MediaDbFileWriter(std::FILE *file) : m_file(file)
{
    for (auto &buffer : m_buffers) {
        buffer.reset(static_cast<char *>(std::malloc(kSize)));
        if (!buffer)
            throw std::bad_alloc();
    }
}

MediaDbFileWriter::~MediaDbFileWriter()
{
    flush();
}

void MediaDbFileWriter::wait()
{
    if (m_writing.valid() && !m_writing.get())
        m_failed = true;
}

void MediaDbFileWriter::handOff()
{
    wait();
    if (m_used == 0)
        return;
    std::FILE *file = m_file;
    const char *data = m_buffers[m_current].get();
    const size_t length = m_used;
    try {
        m_writing = std::async(std::launch::async,
                               [file, data, length] { return std::fwrite(data, 1, length, file) == length; });
    } catch (const std::system_error &) {
        // No thread to be had: write here.
        if (std::fwrite(data, 1, length, file) != length)
            m_failed = true;
    }
    m_current = 1 - m_current;
    m_used = 0;
}

void MediaDbFileWriter::appendSlow(const char *data, size_t length)
{
    handOff();
    if (length > kSize) {
        wait();
        if (std::fwrite(data, 1, length, m_file) != length)
            m_failed = true;
        return;
    }
    std::memcpy(m_buffers[m_current].get(), data, length);
    m_used = length;
}

void MediaDbFileWriter::flush()
{
    handOff();
    wait();
}
