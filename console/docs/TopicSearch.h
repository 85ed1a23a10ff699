// The topic search on a worker thread of its own: one search at a time over a
// manual folder's pages (CManualIndex). A new search cancels the one that runs,
// and only the newest one's result is reported. Plain C++.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/LatestRequest.h"

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
    std::string folder;
    std::string text;
  };

  void Run();

  Found m_found;
  CLatestRequest<Request> m_requests;
  std::thread m_worker;
};
