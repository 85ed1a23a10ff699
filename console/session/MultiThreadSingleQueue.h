// A FIFO for any number of producer and consumer threads with a head lock and a
// tail lock, so that producers and consumers never contend with each other.
#pragma once

#include <atomic>
#include <mutex>
#include <utility>

template <typename T>
class CMultiThreadSingleQueue {
 public:
  CMultiThreadSingleQueue() : m_head(new Node{}), m_tail(m_head) {}
  ~CMultiThreadSingleQueue() {
    T discarded;
    while (Pop(discarded)) {
    }
    delete m_head;
  }
  CMultiThreadSingleQueue(const CMultiThreadSingleQueue&) = delete;
  CMultiThreadSingleQueue& operator=(const CMultiThreadSingleQueue&) = delete;

  bool Push(T value) {
    Node* node = new Node{nullptr, std::move(value)};
    {
      std::lock_guard lock(m_tailLock);
      m_tail->next.store(node, std::memory_order_release);
      m_tail = node;
    }
    m_count.fetch_add(1, std::memory_order_relaxed);
    return true;
  }

  // Hands out the oldest value; false at once when the queue is empty.
  bool Pop(T& value) {
    Node* oldSentinel;
    {
      std::lock_guard lock(m_headLock);
      Node* next = m_head->next.load(std::memory_order_acquire);
      if (!next) return false;
      value = std::move(next->value);
      oldSentinel = m_head;
      m_head = next;  // the successor becomes the new sentinel
    }
    m_count.fetch_sub(1, std::memory_order_relaxed);
    delete oldSentinel;
    return true;
  }

  // Drops every queued value; returns how many.
  size_t Clear() {
    size_t dropped = 0;
    T discarded;
    while (Pop(discarded)) ++dropped;
    return dropped;
  }

  long Count() const { return m_count.load(std::memory_order_relaxed); }

 private:
  struct Node {
    std::atomic<Node*> next{nullptr};
    T value{};
  };
  // invariant: m_head is the sentinel; m_tail is the last node (the sentinel when empty)
  Node* m_head;
  Node* m_tail;
  std::mutex m_headLock;
  std::mutex m_tailLock;
  std::atomic<long> m_count{0};
};
