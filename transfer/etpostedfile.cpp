#include "etpostedfile.h"

#include <QFileInfo>

ETPostedFile::State ETPostedFile::open(const QString &path, qint64 declaredSize, int declaredChecksum)
{
    m_file.close();
    m_path = path;
    m_size = 0;
    m_position = 0;
    m_checksum.reset();
    m_declaredChecksum = declaredChecksum;
    m_state = Unreadable;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return m_state;
    m_file.setFileName(path);
    // Unbuffered: the bytes go from the file into the transfer's buffer, nowhere else.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return m_state;
    m_size = m_file.size();
    if (declaredSize >= 0 && declaredSize != m_size) {
        m_file.close();
        m_state = Changed;
        return m_state;
    }
    m_state = Reading;
    return m_state;
}

qint64 ETPostedFile::readFully(char *buffer, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const qint64 got = m_file.read(buffer + done, length - done);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

qint64 ETPostedFile::read(char *buffer, qint64 max)
{
    if (m_state == Complete)
        return 0;
    if (m_state != Reading)
        return -1;
    const qint64 wanted = qMin(max, m_size - m_position);
    const qint64 got = wanted > 0 ? readFully(buffer, wanted) : 0;
    if (got < 0) {
        m_state = Unreadable;
        return -1;
    }
    // Shorter than it was: it changed while it was posted.
    if (got < wanted) {
        m_state = Changed;
        return -1;
    }
    m_checksum.update(buffer, 0, got);
    m_position += got;
    if (m_position < m_size)
        return got;
    // The last piece goes only when the file ends here and its sum is the declared one.
    char more = 0;
    const qint64 beyond = m_file.read(&more, 1);
    if (beyond < 0) {
        m_state = Unreadable;
        return -1;
    }
    if (beyond > 0 || (m_declaredChecksum != anyChecksum && m_checksum.value() != m_declaredChecksum)) {
        m_state = Changed;
        return -1;
    }
    m_state = Complete;
    return got;
}

bool ETPostedFile::rewind()
{
    if (m_state != Reading && m_state != Complete)
        return false;
    if (!m_file.seek(0))
        return false;
    m_position = 0;
    m_checksum.reset();
    m_state = Reading;
    return true;
}
