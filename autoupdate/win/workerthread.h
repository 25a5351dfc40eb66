#pragma once

// A worker thread started at once with normal priority and the default stack
// size. Waits for the thread's end when destroyed, so no code of the library
// runs after its owner is gone.

#include <windows.h>

class WorkerThread
{
  public:
    using Function = void (*)(void *argument);

    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    bool start(Function function, void *argument);
    // Waits for the running thread, if any, to end.
    void join();

  private:
    static DWORD WINAPI entry(LPVOID self);

    HANDLE m_thread = nullptr;
    Function m_function = nullptr;
    void *m_argument = nullptr;
};
