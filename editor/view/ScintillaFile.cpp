// CScintillaWnd's files: a file is read and set into the control with its
// own line ends. Of a large one the first piece shows at once while a worker
// thread reads all of it into a document of its own (Scintilla's background
// loader), which then takes the shown one's place: the window keeps answering
// however large the file. Saving writes the whole text atomically.
#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "common/Text.h"
#include "editor/view/DocumentLoader.h"
#include "editor/view/FileRules.h"
#include "editor/view/ScintillaWnd.h"

namespace {

using Base = QsciScintillaBase;

// Opens a file for reading; -1 when it cannot be opened or is a folder.
// `size` is its size on disk (0 when unknown).
int OpenForReading(const std::string& path, size_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  size = info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0;
  return fd;
}

// Reads into `out` until it holds more than `bytes` bytes or the file ends.
// True when the file ended (or reading broke off: `readError`).
bool ReadHead(int fd, size_t bytes, std::string& out, bool& readError) {
  readError = false;
  out.resize(bytes + 1);
  size_t got = 0;
  while (got < out.size()) {
    const ssize_t count = ::read(fd, out.data() + got, out.size() - got);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      readError = count < 0;
      out.resize(got);
      return true;
    }
    got += static_cast<size_t>(count);
  }
  return false;
}

// Where a save of `path` writes: the target of a symbolic link, so the link
// stays a link.
std::string SaveTarget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const std::filesystem::path target = std::filesystem::canonical(path, error);
  return error ? path : target.string();
}

}  // namespace

bool CScintillaWnd::LoadFile(const std::string& path) {
  if (path.empty()) return true;
  size_t size = 0;
  const int fd = OpenForReading(path, size);
  if (fd < 0) return false;
  std::string head;
  bool readError = false;
  const bool whole = ReadHead(fd, LOAD_PIECE_BYTES, head, readError);

  // A file still loading is dropped.
  m_loader.reset();
  SetLexer(GetLexerForExtension(text::FileExtension(path)));
  Send(Base::SCI_CANCEL);
  Send(Base::SCI_SETREADONLY, 0);
  Send(Base::SCI_SETUNDOCOLLECTION, 0);
  Send(Base::SCI_SETIDLESTYLING, Base::SC_IDLESTYLING_ALL);
  m_wordsTimer.stop();
  m_bReadingWords = false;
  m_bLoading = true;
  m_pendingGoto = {};
  // Set with the file's own line ends: converting them afterwards costs an
  // insertion per line.
  m_loadLineEnds = LineEndsOf(head);
  // Created before the shown text is replaced: created after it, the loader
  // leaves the view unable to scroll that text (Scintilla 3.10).
  ILoader* loader = nullptr;
  if (!whole) {
    loader = reinterpret_cast<ILoader*>(
        Send(Base::SCI_CREATELOADER, head.size(), Base::SC_DOCUMENTOPTION_DEFAULT));
    if (!loader) {  // no room for a second document
      ::close(fd);
      EndLoading();
      return false;
    }
  }
  Send(Base::SCI_SETEOLMODE, static_cast<uintptr_t>(m_loadLineEnds));
  Send(Base::SCI_CLEARALL);
  if (whole) {
    ::close(fd);
    // Appended with its length, so that a NUL byte cannot cut the text short.
    SendText(Base::SCI_APPENDTEXT, head.size(), head.data());
    GotoPosition(0);
    setFocus();
    EndLoading();
    NotifyCellsChanged();
    return !readError;
  }
  // The first piece now, for the first screen; all of the file goes into a
  // document of the worker's own. Its room grows on the worker as it fills.
  SendText(Base::SCI_APPENDTEXT, LoadPieceEnd(head, 0, LOAD_PIECE_BYTES), head.data());
  GotoPosition(0);
  setFocus();
  // Typing would land in a text about to be replaced: it waits.
  Send(Base::SCI_SETREADONLY, 1);
  m_loadBytes = std::max(size, head.size());
  m_loader = std::make_unique<CDocumentLoader>(loader, fd, std::move(head), [this] {
    QMetaObject::invokeMethod(this, &CScintillaWnd::OnLoaderProgress, Qt::QueuedConnection);
  });
  emit loadProgress(LoadPercent());
  NotifyCellsChanged();
  return true;
}

void CScintillaWnd::OnLoaderProgress() {
  if (!m_loader) return;  // told late, of a load that is over
  if (m_loader->IsDone())
    SwapInLoadedDocument();
  else
    emit loadProgress(LoadPercent());
}

int CScintillaWnd::LoadPercent() const {
  if (!m_loader || m_loadBytes == 0) return 100;
  return static_cast<int>(std::min<size_t>(100, 100 * m_loader->BytesLoaded() / m_loadBytes));
}

void CScintillaWnd::FinishLoading() {
  if (m_loader) SwapInLoadedDocument();
}

void CScintillaWnd::SwapInLoadedDocument() {
  void* document = m_loader->TakeDocument();
  const bool brokeOff = m_loader->ReadFailed();
  m_loader.reset();
  // What the reader did with the first piece meanwhile stays: its text is
  // the start of the new document, so positions and lines hold.
  const int lexer = GetLexer();
  const long anchor = Send(Base::SCI_GETANCHOR);
  const long caret = GetCurrentPosition();
  const long firstLine = Send(Base::SCI_GETFIRSTVISIBLELINE);
  const long xOffset = Send(Base::SCI_GETXOFFSET);
  std::vector<std::pair<long, long>> marked;  // line, marker mask
  for (long line = Send(Base::SCI_MARKERNEXT, 0, -1); line >= 0;
       line = Send(Base::SCI_MARKERNEXT, static_cast<uintptr_t>(line) + 1, -1))
    marked.emplace_back(line, Send(Base::SCI_MARKERGET, static_cast<uintptr_t>(line)));

  SendBuffer(Base::SCI_SETDOCPOINTER, 0, document);
  SendBuffer(Base::SCI_RELEASEDOCUMENT, 0, document);  // the view holds it now
  ApplyDocumentSettings(lexer);
  Send(Base::SCI_SETEOLMODE, static_cast<uintptr_t>(m_loadLineEnds));
  for (const auto& [line, mask] : marked)
    Send(Base::SCI_MARKERADDSET, static_cast<uintptr_t>(line), mask);
  Send(Base::SCI_SETSEL, static_cast<uintptr_t>(anchor), caret);
  Send(Base::SCI_SETFIRSTVISIBLELINE, static_cast<uintptr_t>(firstLine));
  Send(Base::SCI_SETXOFFSET, static_cast<uintptr_t>(xOffset));
  EndLoading();
  NotifyCellsChanged();
  if (brokeOff) emit readFailed();
}

void CScintillaWnd::EndLoading() {
  Send(Base::SCI_SETREADONLY, 0);
  Send(Base::SCI_SETUNDOCOLLECTION, 1);
  Send(Base::SCI_EMPTYUNDOBUFFER);
  Send(Base::SCI_SETSAVEPOINT);
  m_bLoading = false;
  ApplyPendingGoto();
  UpdateLineNumberMargin(false);
  StartReadingWords();
  emit loadFinished();
}

void CScintillaWnd::ApplyPendingGoto() {
  if (m_pendingGoto.line > 0 && (!m_bLoading || m_pendingGoto.line <= GetLineCount())) {
    Send(Base::SCI_GOTOLINE, static_cast<uintptr_t>(m_pendingGoto.line - 1));
    m_pendingGoto = {};
  } else if (m_pendingGoto.position >= 0 && (!m_bLoading || m_pendingGoto.position <= GetLength())) {
    Send(Base::SCI_GOTOPOS, static_cast<uintptr_t>(m_pendingGoto.position));
    m_pendingGoto = {};
  }
}

bool CScintillaWnd::SaveFile(const std::string& path) {
  if (path.empty()) return false;
  // Only the whole text is ever written.
  FinishLoading();
  const std::string target = SaveTarget(path);
  struct stat info {};
  const bool existed = ::stat(target.c_str(), &info) == 0;
  // Renaming over a file would succeed where writing into it is not allowed.
  if (existed && (S_ISDIR(info.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;
  if (!WriteFileAtomically(target, GetText())) return false;
  if (!existed) {
    // A new document gets the usual permissions, not those of a private file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(target.c_str(), 0666 & ~mask);
  }
  Send(Base::SCI_SETSAVEPOINT);
  return true;
}

int CScintillaWnd::GetLexerForExtension(std::string_view extension) {
  return LexerForExtension(extension);
}

void CScintillaWnd::SetLexer(int lexer) {
  Send(Base::SCI_SETLEXER, static_cast<uintptr_t>(lexer));
}

int CScintillaWnd::GetLexer() const { return static_cast<int>(Send(Base::SCI_GETLEXER)); }

void CScintillaWnd::SetMatlabLexer() { SetLexer(LEXER_MATLAB); }
