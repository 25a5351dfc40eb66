#pragma once

#include "etprocessstate.h"

#include <atomic>
#include <mutex>

// Holds the one object of a class for the process: made on first use (from
// any thread), alive until the program ends, or until a test resets the
// process state, which deletes it so that the next use makes it afresh.
template <class T> class ETSingleton
{
  public:
    // make builds the object (the class's instance() may call a private constructor in it).
    template <class Make> T *get(Make make)
    {
        return get(make, [](T *) {});
    }

    // forget frees, before the object goes, what it holds without owning it.
    template <class Make, class Forget> T *get(Make make, Forget forget)
    {
        T *object = m_object.load(std::memory_order_acquire);
        if (object)
            return object;
        std::lock_guard<std::mutex> lock(m_mutex);
        object = m_object.load(std::memory_order_relaxed);
        if (!object) {
            object = make();
            m_object.store(object, std::memory_order_release);
            ETProcessState::addReset([this, forget] {
                T *gone = m_object.exchange(nullptr);
                forget(gone);
                delete gone;
            });
        }
        return object;
    }

  private:
    std::atomic<T *> m_object{nullptr};
    std::mutex m_mutex;
};
