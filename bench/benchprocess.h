#pragma once

#include <sched.h>

#include <string>
#include <vector>

// Runs a benchmark's whole-process case: one program start, timed from the
// spawn to its end, optionally kept to one processor.
class BenchProcess
{
  public:
    struct Result {
        bool ok = false;
        double milliseconds = 0;
    };

    // Keeps the calling thread, and what it starts, on one processor while it lives.
    class OneCpu
    {
      public:
        explicit OneCpu(int cpu);
        ~OneCpu();
        OneCpu(const OneCpu &) = delete;
        OneCpu &operator=(const OneCpu &) = delete;

      private:
        cpu_set_t m_saved;
        bool m_pinned = false;
    };

    // output takes the program's standard output (GNU grep stops at its first
    // match when that is /dev/null); cpu < 0 lets it run anywhere.
    static Result run(const std::vector<std::string> &arguments, const std::string &output, int cpu);
    // The processor this process runs on now, the one whole-process cases share.
    static int currentCpu();
    // The running program's own file, to start it again.
    static std::string selfPath(const char *argv0);
    // This process's peak resident memory in kilobytes (Linux: VmHWM).
    static long peakKilobytes();
};
