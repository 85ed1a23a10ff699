// CDocumentLoader: reads the rest of a large file on a worker thread into a
// Scintilla document of its own, through Scintilla's background loader, while
// the view shows the file's start. The document's growth, its line index and
// the page faults of its buffers are all the worker's; the view swaps the
// finished document in with one message.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

// The loader SCI_CREATELOADER returns, declared as the Scintilla inside
// QScintilla 2.13 (3.10) declares it, QScintilla's headers not shipping it:
// the same name at global scope (so the type checks of the sanitizer build
// know it as the library's) and the same methods in the same order. Only
// AddData may be called on a thread other than the GUI thread.
class ILoader {
 public:
  virtual int Release() = 0;
  // Appends to the document; 0 when it was taken (else an SC_STATUS_ code).
  virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
  // The document, for SCI_SETDOCPOINTER, holding one reference.
  virtual void* ConvertToDocument() = 0;

 protected:
  ~ILoader() = default;
};

class CDocumentLoader {
 public:
  // Bytes read and appended at a time.
  static constexpr std::size_t PIECE_BYTES = std::size_t{1} << 20;

  // Takes `loader` and the file open for reading at `fd` (closed when done);
  // `head`, what was already read of it, goes in first. `progressed` is called
  // on the worker after each piece and once more when it is done.
  CDocumentLoader(ILoader* loader, int fd, std::string head,
                  std::function<void()> progressed);
  // Stops the worker after its current piece; a document not taken is
  // released.
  ~CDocumentLoader();
  CDocumentLoader(const CDocumentLoader&) = delete;
  CDocumentLoader& operator=(const CDocumentLoader&) = delete;

  std::size_t BytesLoaded() const { return m_bytesLoaded.load(std::memory_order_relaxed); }
  bool IsDone() const { return m_bDone.load(std::memory_order_acquire); }
  // Waits until the worker is done, then hands over the document with its one
  // reference (SCI_SETDOCPOINTER, then SCI_RELEASEDOCUMENT). Once only.
  void* TakeDocument();
  // Whether reading broke off (or the document refused a piece); what came
  // before is in the document. Valid once done.
  bool ReadFailed() const { return m_bReadFailed; }

 private:
  void Run(std::string head);
  bool Append(const char* data, std::size_t length);

  ILoader* m_loader;
  const int m_fd;
  std::function<void()> m_progressed;
  std::atomic<bool> m_bStop{false};
  std::atomic<bool> m_bDone{false};
  std::atomic<std::size_t> m_bytesLoaded{0};
  bool m_bReadFailed = false;  // written by the worker before m_bDone
  std::thread m_worker;
};
