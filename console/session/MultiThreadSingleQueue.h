// A FIFO shared by any number of producer and consumer threads. One lock guards
// the values and their count together, so the count never disagrees with what a
// Pop can hand out.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>

template <typename T>
class CMultiThreadSingleQueue {
 public:
  CMultiThreadSingleQueue() = default;
  CMultiThreadSingleQueue(const CMultiThreadSingleQueue&) = delete;
  CMultiThreadSingleQueue& operator=(const CMultiThreadSingleQueue&) = delete;

  void Push(T value) {
    std::lock_guard lock(m_mutex);
    m_values.push_back(std::move(value));
  }

  // Hands out the oldest value; false at once when the queue is empty.
  bool Pop(T& value) {
    std::lock_guard lock(m_mutex);
    if (m_values.empty()) return false;
    value = std::move(m_values.front());
    m_values.pop_front();
    return true;
  }

  // Drops every queued value; returns how many.
  size_t Clear() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_values, {}).size();
  }

  size_t Count() const {
    std::lock_guard lock(m_mutex);
    return m_values.size();
  }

 private:
  mutable std::mutex m_mutex;
  std::deque<T> m_values;
};
