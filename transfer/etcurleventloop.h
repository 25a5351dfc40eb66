#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <curl/curl.h>

class QEventLoop;
class QSocketNotifier;

// Runs the libcurl transfers of the application's thread in its own event
// loop: one multi handle driven through libcurl's socket interface, with a
// socket notifier for each socket and one timer. A transfer waits in a local
// event loop, so the window goes on; cancel() removes it at once. No other
// thread is involved. Application thread only.
class ETCurlEventLoop : public QObject
{
    Q_OBJECT

  public:
    // The one of the application's thread; null when there is no application.
    static ETCurlEventLoop *instance();
    // Whether the calling thread is the application's.
    static bool inApplicationThread();

    // Runs the easy handle to its end (the transfer's result) while the
    // thread's events go on. owner names the transfer for cancel().
    CURLcode run(CURL *easy, quint64 owner);
    // Ends the owner's transfer at once (its result: CURLE_ABORTED_BY_CALLBACK).
    void cancel(quint64 owner);
    // The same from any thread: another thread's cancel is posted to the application's.
    static void cancelFromAnyThread(quint64 owner);

  private:
    struct Running;
    struct Watch;

    ETCurlEventLoop();
    static int socketChanged(CURL *easy, curl_socket_t socket, int what, void *self, void *watch);
    static int timerChanged(CURLM *multi, long milliseconds, void *self);
    void act(curl_socket_t socket, int events);
    void finish(Running *running, CURLcode result);
    Running *find(quint64 owner) const;

    CURLM *m_multi = nullptr;
    QTimer m_timer;
    // Notifiers are kept for their socket number: connections come and go on the same few.
    QHash<curl_socket_t, Watch *> m_watches;
    QList<Running *> m_running;
    int m_depth = 0; // inside libcurl now: a cancel then waits until it returns
};
