#include "etthumbnailbatch.h"

#include "etimageloader.h"

#include <QThread>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace
{

// Made on first use, so a program that decodes nothing starts no thread; QThread
// counts the processors of the process's affinity, so a process kept to one
// processor decodes on one worker.
QThreadPool &workers()
{
    static QThreadPool pool;
    static const bool sized = (pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount())), true);
    Q_UNUSED(sized);
    return pool;
}

} // namespace

struct ETThumbnailBatch::State {
    QStringList paths;
    QSize size;
    std::mutex mutex;
    std::condition_variable done;
    std::vector<ETDecodedThumbnail> results;
    std::vector<char> ready;
    bool dropped = false;
};

ETThumbnailBatch::ETThumbnailBatch(const QStringList &paths, const QSize &size)
    : m_state(std::make_shared<State>())
{
    m_state->paths = paths;
    m_state->size = size;
    m_state->results.resize(size_t(paths.size()));
    m_state->ready.assign(size_t(paths.size()), 0);
}

ETThumbnailBatch::~ETThumbnailBatch()
{
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->dropped = true;
}

ETDecodedThumbnail ETThumbnailBatch::decode(const QString &path, const QSize &size)
{
    ETDecodedThumbnail decoded;
    int fullWidth = 0;
    int fullHeight = 0;
    const std::unique_ptr<QImage> small(
        ETImageLoader::loadThumbnail(path, size.width(), size.height(), &fullWidth, &fullHeight));
    if (small && !small->isNull()) {
        decoded.image = std::move(*small);
        decoded.fullSize = QSize(fullWidth, fullHeight);
    }
    return decoded;
}

int ETThumbnailBatch::workerCount()
{
    return workers().maxThreadCount();
}

void ETThumbnailBatch::submitUpTo(int index)
{
    const int last = qMin(index, int(m_state->paths.size()) - 1);
    for (; m_submitted <= last; ++m_submitted) {
        const std::shared_ptr<State> state = m_state;
        const int at = m_submitted;
        workers().start([state, at] {
            {
                const std::lock_guard<std::mutex> lock(state->mutex);
                if (state->dropped)
                    return;
            }
            ETDecodedThumbnail decoded = decode(state->paths.at(at), state->size);
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->results[size_t(at)] = std::move(decoded);
            state->ready[size_t(at)] = 1;
            state->done.notify_all();
        });
    }
}

ETDecodedThumbnail ETThumbnailBatch::take(int index)
{
    if (index < 0 || index >= m_state->paths.size())
        return {};
    // A few pictures ahead for every worker keeps them busy while the taker places its lines, without
    // holding the whole list's thumbnails at once.
    submitUpTo(index + 4 * workerCount());
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->done.wait(lock, [this, index] { return m_state->ready[size_t(index)] != 0; });
    return std::move(m_state->results[size_t(index)]);
}
