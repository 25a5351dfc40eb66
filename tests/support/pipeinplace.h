#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A named pipe in a picture's place. A reader that opens it is let go at once
// with an empty file, so that reading it shows in the result instead of
// holding the test.
class PipeInPlace
{
  public:
    explicit PipeInPlace(const QString &path) : m_path(QFile::encodeName(path))
    {
        QFile::remove(path);
        m_made = mkfifo(m_path.constData(), 0600) == 0;
        if (!m_made)
            return;
        m_writer = std::thread([this] {
            for (;;) {
                // Blocks until a reader comes.
                const int fd = ::open(m_path.constData(), O_WRONLY);
                const bool stop = m_stop;
                if (fd >= 0)
                    ::close(fd);
                if (stop)
                    return;
                m_readers += fd >= 0 ? 1 : 0;
            }
        });
    }
    ~PipeInPlace()
    {
        if (!m_made)
            return;
        // The test's own reader ends the writer's wait.
        m_stop = true;
        const int fd = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK);
        m_writer.join();
        if (fd >= 0)
            ::close(fd);
        ::unlink(m_path.constData());
    }
    PipeInPlace(const PipeInPlace &) = delete;
    PipeInPlace &operator=(const PipeInPlace &) = delete;

    bool made() const { return m_made; }
    int readers() const { return m_readers; }

  private:
    QByteArray m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_readers{0};
    std::thread m_writer;
};
