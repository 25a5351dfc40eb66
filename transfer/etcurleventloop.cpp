#include "etcurleventloop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>

#include <atomic>

namespace
{
std::atomic<ETCurlEventLoop *> made{nullptr};
} // namespace

struct ETCurlEventLoop::Running {
    CURL *easy = nullptr;
    quint64 owner = 0;
    QEventLoop *loop = nullptr;
    CURLcode result = CURLE_OK;
    bool done = false;
    bool cancelled = false; // asked while libcurl was running; handled when it returns
};

struct ETCurlEventLoop::Watch {
    QSocketNotifier *read = nullptr;
    QSocketNotifier *write = nullptr;
};

ETCurlEventLoop *ETCurlEventLoop::instance()
{
    if (!inApplicationThread())
        return nullptr;
    // Lives as long as the process: its notifiers may belong to connections kept for reuse.
    static ETCurlEventLoop *loop = [] {
        auto *first = new ETCurlEventLoop;
        made = first;
        return first;
    }();
    return loop;
}

void ETCurlEventLoop::cancelFromAnyThread(quint64 owner)
{
    if (inApplicationThread()) {
        instance()->cancel(owner);
        return;
    }
    // A loop not made yet runs no transfer.
    if (ETCurlEventLoop *loop = made)
        QMetaObject::invokeMethod(
            loop, [loop, owner] { loop->cancel(owner); }, Qt::QueuedConnection);
}

bool ETCurlEventLoop::inApplicationThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

ETCurlEventLoop::ETCurlEventLoop()
{
    m_multi = curl_multi_init();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    if (!m_multi)
        return;
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, socketChanged);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, timerChanged);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
}

CURLcode ETCurlEventLoop::run(CURL *easy, quint64 owner)
{
    if (!m_multi || !easy)
        return CURLE_FAILED_INIT;
    Running running;
    running.easy = easy;
    running.owner = owner;
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &running);
    if (curl_multi_add_handle(m_multi, easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    m_running.append(&running);
    QEventLoop loop;
    running.loop = &loop;
    // Started here rather than on the timer's first turn: a reused connection sends at once.
    act(CURL_SOCKET_TIMEOUT, 0);
    if (!running.done)
        loop.exec();
    // The loop also ends with the application: the transfer ends with it.
    if (!running.done)
        finish(&running, CURLE_ABORTED_BY_CALLBACK);
    m_running.removeOne(&running);
    return running.result;
}

void ETCurlEventLoop::cancel(quint64 owner)
{
    Running *running = find(owner);
    if (!running)
        return;
    // libcurl may not be entered again from one of its own callbacks.
    if (m_depth > 0)
        running->cancelled = true;
    else
        finish(running, CURLE_ABORTED_BY_CALLBACK);
}

ETCurlEventLoop::Running *ETCurlEventLoop::find(quint64 owner) const
{
    for (Running *running : m_running)
        if (running->owner == owner && !running->done)
            return running;
    return nullptr;
}

void ETCurlEventLoop::finish(Running *running, CURLcode result)
{
    if (running->done)
        return;
    if (running->easy)
        curl_multi_remove_handle(m_multi, running->easy);
    running->result = result;
    running->done = true;
    if (running->loop)
        running->loop->quit();
}

void ETCurlEventLoop::act(curl_socket_t socket, int events)
{
    int active = 0;
    ++m_depth;
    curl_multi_socket_action(m_multi, socket, events, &active);
    --m_depth;
    int queued = 0;
    while (const CURLMsg *message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        Running *running = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char **>(&running));
        if (running)
            finish(running, message->data.result);
    }
    if (m_depth > 0)
        return;
    const QList<Running *> all = m_running;
    for (Running *running : all)
        if (running->cancelled)
            finish(running, CURLE_ABORTED_BY_CALLBACK);
}

int ETCurlEventLoop::socketChanged(CURL *, curl_socket_t socket, int what, void *self, void *watchData)
{
    auto *loop = static_cast<ETCurlEventLoop *>(self);
    auto *watch = static_cast<Watch *>(watchData);
    if (!watch) {
        watch = loop->m_watches.value(socket);
        if (!watch) {
            watch = new Watch;
            watch->read = new QSocketNotifier(qintptr(socket), QSocketNotifier::Read, loop);
            watch->write = new QSocketNotifier(qintptr(socket), QSocketNotifier::Write, loop);
            connect(watch->read, &QSocketNotifier::activated, loop,
                    [loop, socket] { loop->act(socket, CURL_CSELECT_IN); });
            connect(watch->write, &QSocketNotifier::activated, loop,
                    [loop, socket] { loop->act(socket, CURL_CSELECT_OUT); });
            loop->m_watches.insert(socket, watch);
        }
        curl_multi_assign(loop->m_multi, socket, watch);
    }
    const bool in = what == CURL_POLL_IN || what == CURL_POLL_INOUT;
    const bool out = what == CURL_POLL_OUT || what == CURL_POLL_INOUT;
    if (watch->read->isEnabled() != in)
        watch->read->setEnabled(in);
    if (watch->write->isEnabled() != out)
        watch->write->setEnabled(out);
    if (what == CURL_POLL_REMOVE)
        curl_multi_assign(loop->m_multi, socket, nullptr);
    return 0;
}

int ETCurlEventLoop::timerChanged(CURLM *, long milliseconds, void *self)
{
    auto *loop = static_cast<ETCurlEventLoop *>(self);
    if (milliseconds < 0)
        loop->m_timer.stop();
    else
        loop->m_timer.start(int(qMin<long>(milliseconds, 24L * 3600 * 1000)));
    return 0;
}
