#include "benchprocess.h"

#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>

extern char **environ;

BenchProcess::OneCpu::OneCpu(int cpu)
{
    if (cpu < 0 || sched_getaffinity(0, sizeof m_saved, &m_saved) != 0)
        return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    m_pinned = sched_setaffinity(0, sizeof one, &one) == 0;
}

BenchProcess::OneCpu::~OneCpu()
{
    if (m_pinned)
        sched_setaffinity(0, sizeof m_saved, &m_saved);
}

BenchProcess::Result BenchProcess::run(const std::vector<std::string> &arguments, const std::string &output,
                                       int cpu)
{
    Result result;
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    // The child takes over the processor mask at its start: posix_spawn has no
    // affinity of its own, and a forked copy of this big process would cost more.
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int spawned = 0;
    {
        const OneCpu pinned(cpu);
        spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    }
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return result;
    result.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

std::string BenchProcess::selfPath(const char *argv0)
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string(argv0);
}

int BenchProcess::currentCpu()
{
    const int cpu = sched_getcpu();
    return cpu < 0 ? 0 : cpu;
}

long BenchProcess::peakKilobytes()
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long peak = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            peak = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(status);
    return peak;
}
