// CScintillaWnd's files: a file is read whole and set into the control with
// its own line ends; a large one in pieces across event-loop turns, so the
// window shows its start at once and keeps answering while the rest comes.
// Saving writes the whole text atomically.
#include <QElapsedTimer>
#include <QTimer>

#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "common/Text.h"
#include "editor/view/FileRules.h"
#include "editor/view/ScintillaWnd.h"

namespace {

using Base = QsciScintillaBase;

// Pieces are appended one after another within an event-loop turn until this
// much time went by (a piece takes 3-15 ms), so the window answers between.
constexpr qint64 kLoadTurnMilliseconds = 12;

// Reads the whole file into `out`. False when it cannot be opened (a folder
// cannot); `readError` when reading broke off, `out` then holds what came.
bool ReadFileKeepingPart(const std::string& path, std::string& out, bool& readError) {
  out.clear();
  readError = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return false;
  }
  if (info.st_size > 0) out.reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      readError = true;
      break;
    }
    out.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return true;
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
  std::string content;
  bool readError = false;
  if (!ReadFileKeepingPart(path, content, readError)) return false;

  m_loadTimer.stop();
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
  Send(Base::SCI_SETEOLMODE, static_cast<uintptr_t>(LineEndsOf(content)));
  Send(Base::SCI_CLEARALL);
  // Room for the whole text at once: grown piece by piece, the buffer would be
  // copied whole again and again.
  Send(Base::SCI_ALLOCATE, content.size() + 1);
  m_loadText = std::move(content);
  // The first piece now, for the first screen; the rest while the loop runs.
  m_loadOffset = LoadPieceEnd(m_loadText, 0, LOAD_PIECE_BYTES);
  SendText(Base::SCI_APPENDTEXT, m_loadOffset, m_loadText.data());
  GotoPosition(0);
  setFocus();
  if (m_loadOffset < m_loadText.size()) {
    // Typing would land in the middle of a text still coming: it waits.
    Send(Base::SCI_SETREADONLY, 1);
    m_loadTimer.start();
    emit loadProgress(LoadPercent());
  } else {
    EndLoading();
  }
  NotifyCellsChanged();
  return !readError;
}

void CScintillaWnd::AppendLoadPieces() {
  QElapsedTimer turn;
  turn.start();
  do {
    const size_t end = LoadPieceEnd(m_loadText, m_loadOffset, LOAD_PIECE_BYTES);
    // Appended with its length, so that a NUL byte cannot cut the text short.
    Send(Base::SCI_SETREADONLY, 0);
    SendText(Base::SCI_APPENDTEXT, end - m_loadOffset, m_loadText.data() + m_loadOffset);
    m_loadOffset = end;
  } while (m_loadOffset < m_loadText.size() && turn.elapsed() < kLoadTurnMilliseconds);
  ApplyPendingGoto();
}

void CScintillaWnd::OnLoadTurn() {
  AppendLoadPieces();
  if (m_loadOffset < m_loadText.size()) {
    Send(Base::SCI_SETREADONLY, 1);
    emit loadProgress(LoadPercent());
    return;
  }
  EndLoading();
  NotifyCellsChanged();
}

int CScintillaWnd::LoadPercent() const {
  return m_loadText.empty() ? 100 : static_cast<int>(100.0 * static_cast<double>(m_loadOffset) /
                                                     static_cast<double>(m_loadText.size()));
}

void CScintillaWnd::FinishLoading() {
  if (!m_bLoading) return;
  const size_t rest = m_loadText.size() - m_loadOffset;
  Send(Base::SCI_SETREADONLY, 0);
  SendText(Base::SCI_APPENDTEXT, rest, m_loadText.data() + m_loadOffset);
  m_loadOffset = m_loadText.size();
  EndLoading();
  NotifyCellsChanged();
}

void CScintillaWnd::EndLoading() {
  m_loadTimer.stop();
  std::string().swap(m_loadText);
  m_loadOffset = 0;
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
