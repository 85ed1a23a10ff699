// Waitable signals for the session's threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Stays set until reset; every waiter passes while it is set.
class CManualResetEvent {
 public:
  explicit CManualResetEvent(bool initiallySet) : m_set(initiallySet) {}
  void Set() {
    {
      std::lock_guard lock(m_mutex);
      m_set = true;
    }
    m_changed.notify_all();
  }
  void Reset() {
    std::lock_guard lock(m_mutex);
    m_set = false;
  }
  bool IsSet() const {
    std::lock_guard lock(m_mutex);
    return m_set;
  }
  void Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_set; });
  }
  bool WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_set; });
  }

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_set;
};

// Wakes one sleeping thread as soon as there is work for it; a wake-up given
// while nobody waits is kept for the next wait.
class CWakeSignal {
 public:
  void Notify() {
    {
      std::lock_guard lock(m_mutex);
      m_pending = true;
    }
    m_changed.notify_all();
  }
  // Sleeps until notified or until the timeout; true when notified.
  bool WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    const bool woken = m_changed.wait_for(lock, timeout, [this] { return m_pending; });
    m_pending = false;
    return woken;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_pending = false;
};
