// The update-server double as a program of its own, for the host tests of
// QdAutoUpdate under Wine: serves on free loopback ports and writes them to
// <state-dir>/ports ("port=", "script=", "closed=", "unanswered=" lines).
//   updateserverdouble --state-dir DIR [--background] [--lifetime SECONDS]
//   updateserverdouble --stop DIR
// With --background the program returns once the double serves, and the
// double ends on SIGTERM or after its lifetime (600 s by default).
#include "etupdateserverdouble.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace
{

bool writeFileAtomically(const std::string &path, const std::string &content)
{
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

int stopDouble(const std::string &stateDir)
{
    std::ifstream in(stateDir + "/pid");
    long pid = 0;
    if (!(in >> pid) || pid <= 0) {
        std::fprintf(stderr, "updateserverdouble: no double runs from %s\n", stateDir.c_str());
        return 0;
    }
    if (::kill(static_cast<pid_t>(pid), SIGTERM) != 0)
        return 0;
    // Bounded wait for the double to end (it removes its pid file last).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::kill(static_cast<pid_t>(pid), 0) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (::kill(static_cast<pid_t>(pid), 0) == 0) {
        std::fprintf(stderr, "updateserverdouble: double %ld did not stop\n", pid);
        ::kill(static_cast<pid_t>(pid), SIGKILL);
        return 1;
    }
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: updateserverdouble --state-dir DIR [--background] [--lifetime SECONDS]\n"
                         "       updateserverdouble --stop DIR\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    std::string stateDir;
    bool background = false;
    int lifetime = 600;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--stop" && hasValue)
            return stopDouble(argv[i + 1]);
        if (arg == "--state-dir" && hasValue)
            stateDir = argv[++i];
        else if (arg == "--lifetime" && hasValue)
            lifetime = std::atoi(argv[++i]);
        else if (arg == "--background")
            background = true;
        else
            return usage();
    }
    if (stateDir.empty())
        return usage();
    ::mkdir(stateDir.c_str(), 0755);
    std::remove((stateDir + "/ports").c_str());

    // The parent of a background double returns when the child reports.
    int ready[2] = {-1, -1};
    if (background) {
        if (::pipe(ready) != 0)
            return 1;
        const pid_t child = ::fork();
        if (child < 0)
            return 1;
        if (child > 0) {
            ::close(ready[1]);
            char status = 1;
            const bool reported = ::read(ready[0], &status, 1) == 1;
            return reported && status == 0 ? 0 : 1;
        }
        ::close(ready[0]);
        ::setsid();
        // Holds none of the caller's output pipes, which CTest waits on.
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ETUpdateServerDouble server;
    const bool started = server.start();
    if (started) {
        writeFileAtomically(stateDir + "/pid", std::to_string(::getpid()) + "\n");
        writeFileAtomically(stateDir + "/ports",
                            "port=" + std::to_string(server.port()) +
                                "\nscript=" + std::to_string(server.scriptPort()) +
                                "\nclosed=" + std::to_string(server.closedPort()) +
                                "\nunanswered=" + std::to_string(server.unansweredPort()) + "\n");
        std::printf("update-server double: http://127.0.0.1:%u (script %u, closed %u, unanswered %u)\n",
                    server.port(), server.scriptPort(), server.closedPort(), server.unansweredPort());
        std::fflush(stdout);
    } else {
        std::fprintf(stderr, "updateserverdouble: cannot bind loopback ports\n");
    }
    if (background) {
        const char status = started ? 0 : 1;
        if (::write(ready[1], &status, 1) != 1)
            return 1;
        ::close(ready[1]);
    }
    if (!started)
        return 1;

    const timespec limit{lifetime, 0};
    sigtimedwait(&stopSignals, nullptr, &limit);
    server.stop();
    // A later double may have taken the folder over: its files stay.
    std::ifstream in(stateDir + "/pid");
    long owner = 0;
    if (in >> owner && owner == static_cast<long>(::getpid())) {
        std::remove((stateDir + "/ports").c_str());
        std::remove((stateDir + "/pid").c_str());
    }
    return 0;
}
