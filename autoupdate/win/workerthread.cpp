#include "workerthread.h"

WorkerThread::~WorkerThread()
{
    join();
}

bool WorkerThread::start(Function function, void *argument)
{
    join();
    m_function = function;
    m_argument = argument;
    m_thread = CreateThread(nullptr, 0, &WorkerThread::entry, this, 0, nullptr);
    return m_thread != nullptr;
}

void WorkerThread::join()
{
    if (!m_thread)
        return;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

DWORD WINAPI WorkerThread::entry(LPVOID self)
{
    auto *worker = static_cast<WorkerThread *>(self);
    worker->m_function(worker->m_argument);
    return 0;
}
