#include "editor/view/DocumentLoader.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

CDocumentLoader::CDocumentLoader(ILoader* loader, int fd, std::string head,
                                 std::function<void()> progressed)
    : m_loader(loader), m_fd(fd), m_progressed(std::move(progressed)) {
  m_worker = std::thread([this, text = std::move(head)]() mutable { Run(std::move(text)); });
}

CDocumentLoader::~CDocumentLoader() {
  m_bStop.store(true, std::memory_order_relaxed);
  if (m_worker.joinable()) m_worker.join();
  if (m_loader) m_loader->Release();
}

void* CDocumentLoader::TakeDocument() {
  if (m_worker.joinable()) m_worker.join();
  void* document = m_loader->ConvertToDocument();
  m_loader = nullptr;
  return document;
}

bool CDocumentLoader::Append(const char* data, std::size_t length) {
  if (length == 0) return true;
  if (m_loader->AddData(data, static_cast<std::ptrdiff_t>(length)) != 0) return false;
  m_bytesLoaded.fetch_add(length, std::memory_order_relaxed);
  return true;
}

void CDocumentLoader::Run(std::string head) {
  bool failed = !Append(head.data(), head.size());
  std::string().swap(head);
  std::vector<char> piece(PIECE_BYTES);
  while (!failed && !m_bStop.load(std::memory_order_relaxed)) {
    const ssize_t got = ::read(m_fd, piece.data(), piece.size());
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      failed = true;
      break;
    }
    failed = !Append(piece.data(), static_cast<std::size_t>(got));
    m_progressed();
  }
  ::close(m_fd);
  m_bReadFailed = failed;
  m_bDone.store(true, std::memory_order_release);
  m_progressed();
}
