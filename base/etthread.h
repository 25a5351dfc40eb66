#pragma once

#include <QMutex>
#include <QThread>

#include <atomic>

// Base of the worker threads (upload, CD burning): the GUI thread cancels and
// waits, the worker polls the cancel flag and reports that it has finished.
class ETThread : public QThread
{
    Q_OBJECT

  public:
    explicit ETThread(QObject *parent = nullptr);

    // Polled by the worker between its steps.
    bool isCancelled() const;
    // Set by the worker before run() returns; not reset by anything.
    bool hasFinished() const;
    // The same flag. The name hides QThread's signal finished() in this class:
    // connect to &QThread::finished.
    bool finished() const { return hasFinished(); }
    void setFinished(bool finished);

    // Waits for the thread while the GUI keeps processing its events; returns
    // the result of QThread::wait().
    virtual bool waitForFinish();

  public slots:
    virtual void cancel();

  protected:
    void run() override = 0;

  private:
    mutable QMutex m_mutex;
    bool m_cancelled = false;
    std::atomic<bool> m_finished{false};
};
