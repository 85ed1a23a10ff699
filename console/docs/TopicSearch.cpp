#include "console/docs/TopicSearch.h"

#include "console/docs/ManualIndex.h"

CTopicSearch::CTopicSearch(Found found) : m_found(std::move(found)), m_worker([this] { Run(); }) {}

CTopicSearch::~CTopicSearch() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_stopping = true;
    m_pending.reset();
    m_cancel = true;
  }
  m_wake.notify_one();
  m_worker.join();
}

std::uint64_t CTopicSearch::Start(std::string folder, std::string text) {
  std::uint64_t number = 0;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    number = ++m_latest;
    m_pending = Request{number, std::move(folder), std::move(text)};
    m_cancel = true;
  }
  m_wake.notify_one();
  return number;
}

void CTopicSearch::Cancel() {
  std::lock_guard<std::mutex> guard(m_lock);
  ++m_latest;
  m_pending.reset();
  m_cancel = true;
}

void CTopicSearch::Run() {
  // The index lives on this thread only.
  CManualIndex index;
  for (;;) {
    Request request;
    {
      std::unique_lock<std::mutex> guard(m_lock);
      m_wake.wait(guard, [this] { return m_stopping || m_pending.has_value(); });
      if (m_stopping) return;
      request = std::move(*m_pending);
      m_pending.reset();
      m_cancel = false;
    }
    std::optional<std::vector<std::string>> files = index.Search(request.folder, request.text, m_cancel);
    if (!files) continue;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      if (request.number != m_latest) continue;
    }
    m_found(request.number, std::move(*files));
  }
}
