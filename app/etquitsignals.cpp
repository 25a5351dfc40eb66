#include "etquitsignals.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{

const int handled[] = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler; set before the handlers are in place and cleared after they are gone.
volatile sig_atomic_t writeEnd = -1;
int readEnd = -1;

extern "C" void onQuitSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe holds enough signals to quit already.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    errno = saved;
}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

ETQuitSignals::ETQuitSignals(QObject *parent) : QObject(parent)
{
    if (writeEnd >= 0)
        return;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("cannot watch the quit signals");
        return;
    }
    readEnd = ends[0];
    writeEnd = ends[1];
    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ETQuitSignals::readSignals);
    for (const int signal : handled)
        setHandler(signal, onQuitSignal);
}

ETQuitSignals::~ETQuitSignals()
{
    if (!m_notifier)
        return;
    for (const int signal : handled)
        setHandler(signal, SIG_DFL);
    delete m_notifier;
    ::close(writeEnd);
    ::close(readEnd);
    writeEnd = -1;
    readEnd = -1;
}

void ETQuitSignals::readSignals()
{
    unsigned char numbers[16];
    ssize_t got;
    while ((got = ::read(readEnd, numbers, sizeof numbers)) > 0)
        for (ssize_t i = 0; i < got; ++i)
            emit quitRequested(numbers[i]);
}
