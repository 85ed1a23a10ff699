// The topic search on a worker thread of its own: one search at a time over a
// manual folder's pages (CManualIndex). A new search cancels the one that runs,
// and only the newest one's result is reported. Plain C++.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class CTopicSearch {
 public:
  // Called on the worker thread with the search's number and the pages found.
  using Found = std::function<void(std::uint64_t search, std::vector<std::string> files)>;

  explicit CTopicSearch(Found found);
  // Cancels what runs and waits for the worker to end.
  ~CTopicSearch();
  CTopicSearch(const CTopicSearch&) = delete;
  CTopicSearch& operator=(const CTopicSearch&) = delete;

  // Starts searching `folder` for `text`; returns the search's number. A search
  // that is queued or running is cancelled and never reported.
  std::uint64_t Start(std::string folder, std::string text);
  // Cancels the queued or running search.
  void Cancel();

 private:
  struct Request {
    std::uint64_t number = 0;
    std::string folder;
    std::string text;
  };

  void Run();

  Found m_found;
  std::mutex m_lock;
  std::condition_variable m_wake;
  std::optional<Request> m_pending;  // guarded by m_lock
  std::uint64_t m_latest = 0;        // guarded by m_lock
  bool m_stopping = false;           // guarded by m_lock
  std::atomic<bool> m_cancel{false};
  std::thread m_worker;
};
