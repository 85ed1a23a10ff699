// A worker thread's inbox that keeps only the newest request: one still queued
// when a newer one arrives is dropped, and the one being worked on learns that
// it is out of date, so that only the newest request's result is reported.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>

template <typename Request>
class CLatestRequest {
 public:
  struct Numbered {
    std::uint64_t number = 0;
    Request request;
  };

  // Queues `request` in place of a queued one; returns its number.
  std::uint64_t Put(Request request) {
    std::uint64_t number = 0;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      number = ++m_latest;
      m_pending = Numbered{number, std::move(request)};
      m_outdated = true;
    }
    m_wake.notify_one();
    return number;
  }

  // Drops the queued request and outdates the one being worked on.
  void Cancel() {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_latest;
    m_pending.reset();
    m_outdated = true;
  }

  // Ends the worker's waits for good.
  void Close() {
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_closed = true;
      m_pending.reset();
      m_outdated = true;
    }
    m_wake.notify_one();
  }

  // Waits for the next request; nothing once closed.
  std::optional<Numbered> Take() {
    std::unique_lock<std::mutex> guard(m_lock);
    m_wake.wait(guard, [this] { return m_closed || m_pending.has_value(); });
    if (m_closed) return std::nullopt;
    std::optional<Numbered> taken = std::move(m_pending);
    m_pending.reset();
    m_outdated = false;
    return taken;
  }

  // Whether request `number` is still the newest one.
  bool IsLatest(std::uint64_t number) {
    std::lock_guard<std::mutex> guard(m_lock);
    return number == m_latest && !m_closed;
  }

  // Set once the request taken last is out of date, for work that can stop midway.
  const std::atomic<bool>& Outdated() const { return m_outdated; }

 private:
  std::mutex m_lock;
  std::condition_variable m_wake;
  std::optional<Numbered> m_pending;  // guarded by m_lock
  std::uint64_t m_latest = 0;         // guarded by m_lock
  bool m_closed = false;              // guarded by m_lock
  std::atomic<bool> m_outdated{false};
};
