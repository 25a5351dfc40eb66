#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a log-out, a shutdown, Ctrl+C, a closed
// terminal) into quitRequested() in the thread that made the object, so that
// the program ends as the customer would end it. The handler does nothing but
// write the signal's number into a pipe whose other end the event loop watches.
class ETQuitSignals : public QObject
{
    Q_OBJECT

  public:
    // Installs the handlers for the process; one object at a time.
    explicit ETQuitSignals(QObject *parent = nullptr);
    // The signals end the process again.
    ~ETQuitSignals() override;
    ETQuitSignals(const ETQuitSignals &) = delete;
    ETQuitSignals &operator=(const ETQuitSignals &) = delete;

    bool isActive() const { return m_notifier != nullptr; }

  signals:
    void quitRequested(int signal);

  private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};
