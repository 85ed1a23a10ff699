#include "console/docs/TopicSearch.h"

#include "console/docs/ManualIndex.h"

CTopicSearch::CTopicSearch(Found found) : m_found(std::move(found)), m_worker([this] { Run(); }) {}

CTopicSearch::~CTopicSearch() {
  m_requests.Close();
  m_worker.join();
}

std::uint64_t CTopicSearch::Start(std::string folder, std::string text) {
  return m_requests.Put({std::move(folder), std::move(text)});
}

void CTopicSearch::Cancel() { m_requests.Cancel(); }

void CTopicSearch::Run() {
  // The index lives on this thread only.
  CManualIndex index;
  while (std::optional<CLatestRequest<Request>::Numbered> taken = m_requests.Take()) {
    std::optional<std::vector<std::string>> files =
        index.Search(taken->request.folder, taken->request.text, m_requests.Outdated());
    if (files && m_requests.IsLatest(taken->number)) m_found(taken->number, std::move(*files));
  }
}
