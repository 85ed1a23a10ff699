// Loading and saving: line ends, lexer by extension, undo and save point, and
// saves that fail without harming the file on disk.
#include "ScintillaFixture.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "editor/view/DocumentLoader.h"
#include "editor/view/FileRules.h"
#include "tests/common/TestFiles.h"

namespace fs = std::filesystem;
using Sci = QsciScintillaBase;

namespace {

class ScintillaFiles : public ScintillaFixture {
 protected:
  void SetUp() override {
    ScintillaFixture::SetUp();
    std::string pattern = (fs::temp_directory_path() / "quire-view-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }

  std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(path, content)) << path;
    return content;
  }
  // A file of more than three load pieces: CR LF lines with a two-byte
  // character, a line longer than a piece and a NUL byte.
  static std::string LargeText() {
    std::string text;
    while (text.size() < CScintillaWnd::LOAD_PIECE_BYTES * 2) text += "x = 'caf\xc3\xa9'; % note\r\n";
    text += std::string(CScintillaWnd::LOAD_PIECE_BYTES + 7, 'y') + "\xc3\xa9" + std::string(1, '\0') + "\r\n";
    while (text.size() < CScintillaWnd::LOAD_PIECE_BYTES * 4) text += "%% cell\r\nz = 2;\r\n";
    return text;
  }
  size_t EntriesInFolder() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {}));
  }

  fs::path m_dir;
};

}  // namespace

TEST_F(ScintillaFiles, EachFileKeepsItsOwnLineEnds) {
  // A CR LF file stays CR LF in the control, on Enter and on disk.
  const std::string crlf = "function f\r\n    x = 1;\r\nend\r\n";
  const std::string path = Write("f.m", crlf);
  ASSERT_TRUE(m_wnd.LoadFile(path));
  EXPECT_EQ(m_wnd.GetText(), crlf);
  EXPECT_EQ(m_wnd.GetLineCount(), 4);
  ASSERT_TRUE(m_wnd.SaveFile(path));
  EXPECT_EQ(Read(path), crlf);
  EXPECT_FALSE(m_wnd.CanUndo());
  EnterAtEndOf(2);
  QTest::keyClicks(&m_wnd, "y = 2;");
  ASSERT_TRUE(m_wnd.SaveFile(path));
  EXPECT_EQ(Read(path), "function f\r\n    x = 1;\r\n    y = 2;\r\nend\r\n");

  // A line-feed file stays line feeds, and Enter indents once per line.
  const std::string lf = "function g\n    x = 1;\nend\n";
  ASSERT_TRUE(m_wnd.LoadFile(Write("g.m", lf)));
  EXPECT_EQ(m_wnd.GetText(), lf);
  EnterAtEndOf(2);
  QTest::keyClicks(&m_wnd, "y = 2;");
  EnterAtEndOf(3);
  QTest::keyClicks(&m_wnd, "z = 3;");
  EXPECT_EQ(m_wnd.GetText(), "function g\n    x = 1;\n    y = 2;\n    z = 3;\nend\n");
  // So does a cell break.
  m_wnd.InsertCellBreak();
  EXPECT_EQ(m_wnd.GetText(), "function g\n    x = 1;\n    y = 2;\n    z = 3;\n    %% \nend\n");

  // Mixed line ends are neither converted on load nor on save.
  const std::string mixed = "a\nb\rc\r\nd";
  const std::string mixedPath = Write("h.m", mixed);
  ASSERT_TRUE(m_wnd.LoadFile(mixedPath));
  EXPECT_EQ(m_wnd.GetText(), mixed);
  EXPECT_EQ(m_wnd.GetLineCount(), 4);
  ASSERT_TRUE(m_wnd.SaveFile(mixedPath));
  EXPECT_EQ(Read(mixedPath), mixed);
}

TEST_F(ScintillaFiles, EveryByteSurvivesLoadAndSave) {
  const std::string content("x = \"\xc3\xa9\";\n\0tail\n", 16);
  const std::string path = Write("bytes.m", content);
  ASSERT_TRUE(m_wnd.LoadFile(path));
  ASSERT_TRUE(m_wnd.SaveFile(path));
  EXPECT_EQ(Read(path), content);
}

TEST_F(ScintillaFiles, LexerFollowsTheExtension) {
  const struct {
    const char* name;
    int lexer;
  } cases[] = {{"a.m", LEXER_OCTAVE}, {"B.M", LEXER_OCTAVE}, {"c.py", 2}, {"Makefile", LEXER_NULL}};
  for (const auto& c : cases) {
    m_wnd.SetLexer(LEXER_MATLAB);
    ASSERT_TRUE(m_wnd.LoadFile(Write(c.name, "x\n"))) << c.name;
    EXPECT_EQ(m_wnd.GetLexer(), c.lexer) << c.name;
  }
}

TEST_F(ScintillaFiles, LoadStartsCleanAtTheTop) {
  SetLines("old text");
  QSignalSpy modified(&m_wnd, &CScintillaWnd::textModified);
  ASSERT_TRUE(m_wnd.LoadFile(Write("h.m", "a = 1;\nb = 2;\n")));
  EXPECT_EQ(modified.count(), 0);
  EXPECT_FALSE(m_wnd.CanUndo());
  EXPECT_EQ(Message(Sci::SCI_GETMODIFY), 0);
  EXPECT_EQ(m_wnd.GetCurrentPosition(), 0);
  EXPECT_FALSE(m_wnd.IsLoading());

  QTest::keyClicks(&m_wnd, "c");
  EXPECT_EQ(modified.count(), 1);
  EXPECT_EQ(Message(Sci::SCI_GETMODIFY), 1);
  EXPECT_TRUE(m_wnd.CanUndo());
  ASSERT_TRUE(m_wnd.SaveFile(PathOf("h.m")));
  EXPECT_EQ(Message(Sci::SCI_GETMODIFY), 0);
}

TEST_F(ScintillaFiles, FailedLoadKeepsTheText) {
  SetLines("keep me");
  EXPECT_FALSE(m_wnd.LoadFile(PathOf("missing.m")));
  EXPECT_EQ(Lines(), "keep me");
  EXPECT_FALSE(m_wnd.LoadFile(m_dir.string()));  // a folder
  EXPECT_EQ(Lines(), "keep me");
  EXPECT_FALSE(m_wnd.IsLoading());
  // Undo still records what is typed next.
  Message(Sci::SCI_EMPTYUNDOBUFFER);
  QTest::keyClicks(&m_wnd, "x");
  EXPECT_TRUE(m_wnd.CanUndo());

  // No path at all: nothing to do, and that is no failure.
  EXPECT_TRUE(m_wnd.LoadFile(""));
  EXPECT_EQ(Lines(), "xkeep me");
}

TEST_F(ScintillaFiles, SaveIntoAMissingFolderFails) {
  SetLines("a");
  EXPECT_FALSE(m_wnd.SaveFile(PathOf("no/such/folder/f.m")));
  EXPECT_FALSE(m_wnd.SaveFile(""));
  EXPECT_EQ(Lines(), "a");
  EXPECT_EQ(EntriesInFolder(), 0u);
}

TEST_F(ScintillaFiles, FailedSaveLeavesTheOldFileIntact) {
  const std::string old = "old = 1;\n";
  const std::string path = Write("k.m", old);
  std::string big;
  for (int i = 0; i < 2000; ++i) big += "x = " + std::to_string(i) + ";\n";
  SetLines(big);
  {
    CFileSizeLimit limit(1024);
    EXPECT_FALSE(m_wnd.SaveFile(path));
  }
  EXPECT_EQ(Read(path), old);
  EXPECT_EQ(EntriesInFolder(), 1u);  // no temporary file left behind
  EXPECT_EQ(Lines(), big);
  EXPECT_TRUE(m_wnd.SaveFile(path));
  EXPECT_EQ(Read(path), big);
}

TEST_F(ScintillaFiles, SaveThroughALinkWritesItsTarget) {
  const std::string target = Write("real.m", "a\n");
  const std::string link = PathOf("link.m");
  fs::create_symlink(target, link);
  SetLines("b\n");
  ASSERT_TRUE(m_wnd.SaveFile(link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(target), "b\n");
}

TEST_F(ScintillaFiles, NewFileGetsTheUsualPermissions) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  SetLines("a");
  const std::string path = PathOf("new.m");
  ASSERT_TRUE(m_wnd.SaveFile(path));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);

  // An existing file keeps its own.
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(m_wnd.SaveFile(path));
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ScintillaFiles, ReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
  const std::string path = Write("ro.m", "old\n");
  ::chmod(path.c_str(), 0444);
  SetLines("new");
  EXPECT_FALSE(m_wnd.SaveFile(path));
  EXPECT_EQ(Read(path), "old\n");
}

TEST_F(ScintillaFiles, LargeFileComesInPiecesWholeAndUnchanged) {
  const std::string content = LargeText();
  const std::string path = Write("large.m", content);
  QSignalSpy modified(&m_wnd, &CScintillaWnd::textModified);
  QSignalSpy finished(&m_wnd, &CScintillaWnd::loadFinished);
  QSignalSpy progress(&m_wnd, &CScintillaWnd::loadProgress);
  ASSERT_TRUE(m_wnd.LoadFile(path));
  // The start shows at once, the rest comes while the event loop runs.
  EXPECT_TRUE(m_wnd.IsLoading());
  EXPECT_GT(m_wnd.GetLength(), 0);
  EXPECT_LT(static_cast<size_t>(m_wnd.GetLength()), content.size());
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_FALSE(m_wnd.IsLoading());
  EXPECT_GE(progress.count(), 1);
  EXPECT_TRUE(m_wnd.GetText() == content);
  EXPECT_EQ(m_wnd.LineEnd(), "\r\n");
  EXPECT_EQ(modified.count(), 0);
  EXPECT_FALSE(m_wnd.CanUndo());
  EXPECT_EQ(Message(Sci::SCI_GETMODIFY), 0);
  ASSERT_TRUE(m_wnd.SaveFile(PathOf("copy.m")));
  EXPECT_TRUE(Read(PathOf("copy.m")) == content);
  // Now the text takes edits again.
  QTest::keyClicks(&m_wnd, "q");
  EXPECT_EQ(modified.count(), 1);
  EXPECT_EQ(m_wnd.GetText(), "q" + content);
}

TEST_F(ScintillaFiles, EditsWaitForTheWholeFileAndASaveWritesItAll) {
  const std::string content = LargeText();
  const std::string path = Write("large.m", content);
  QSignalSpy modified(&m_wnd, &CScintillaWnd::textModified);
  ASSERT_TRUE(m_wnd.LoadFile(path));
  ASSERT_TRUE(m_wnd.IsLoading());
  // Typed keys, a paste and a deletion would land in a text still coming.
  QTest::keyClicks(&m_wnd, "abc");
  QTest::keyClick(&m_wnd, Qt::Key_Delete);
  m_wnd.Clear();
  EXPECT_EQ(modified.count(), 0);
  // A save in the middle finishes the load first and writes the whole file.
  ASSERT_TRUE(m_wnd.SaveFile(PathOf("copy.m")));
  EXPECT_FALSE(m_wnd.IsLoading());
  EXPECT_TRUE(Read(PathOf("copy.m")) == content);
  EXPECT_TRUE(m_wnd.GetText() == content);
  EXPECT_EQ(modified.count(), 0);
  EXPECT_FALSE(m_wnd.CanUndo());
}

TEST_F(ScintillaFiles, PlaceBeyondTheLoadedTextIsReachedWhenItComes) {
  const std::string content = LargeText();
  QSignalSpy finished(&m_wnd, &CScintillaWnd::loadFinished);
  ASSERT_TRUE(m_wnd.LoadFile(Write("large.m", content)));
  ASSERT_TRUE(m_wnd.IsLoading());
  const long lines = static_cast<long>(std::count(content.begin(), content.end(), '\n'));
  m_wnd.GotoLine(static_cast<int>(lines));
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(m_wnd.GetCurrentLine(), lines);
  // A file loaded over one still loading replaces it whole.
  ASSERT_TRUE(m_wnd.LoadFile(Write("large2.m", content)));
  ASSERT_TRUE(m_wnd.LoadFile(Write("small.m", "a = 1;\n")));
  EXPECT_FALSE(m_wnd.IsLoading());
  EXPECT_EQ(m_wnd.GetText(), "a = 1;\n");
}

namespace {

// Octave lines of about `bytes` bytes, each ending in `eol`.
std::string OctaveLines(size_t bytes, const std::string& eol) {
  std::string text;
  for (int i = 0; text.size() < bytes; ++i) text += "x(" + std::to_string(i) + ") = 1;  % c" + eol;
  return text;
}

// Lines as Scintilla counts them: CR LF, CR and LF each end one.
long LinesIn(const std::string& text) {
  long lines = 1;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
  return lines;
}

long OpenFileCount() {
  return static_cast<long>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

}  // namespace

TEST_F(ScintillaFiles, LargeFilesComeWholeWhateverTheirBytes) {
  // What is read before the worker starts, and where the worker's first piece ends.
  const size_t head = CScintillaWnd::LOAD_PIECE_BYTES + 1;
  const size_t firstPieceEnd = head + CDocumentLoader::PIECE_BYTES;
  std::string crlf = OctaveLines(firstPieceEnd + 4096, "\r\n");
  // A CR LF cut in two where a piece ends, a lone CR and a lone LF.
  for (size_t at : {head - 1, firstPieceEnd - 1}) crlf.replace(at, 2, "\r\n");
  crlf.replace(head + 100, 1, "\r");
  crlf.replace(head + 200, 1, "\n");
  static const char oddLine[] = "s = '\xff\xfe\x80\xc3'; \0 % \xe9t\xc3\xa9\n";
  std::string odd;  // NUL bytes and bytes that are not UTF-8
  while (odd.size() < firstPieceEnd + 4096) odd.append(oddLine, sizeof oddLine - 1);
  const struct {
    const char* name;
    std::string content;
  } cases[] = {{"lf.m", OctaveLines(firstPieceEnd + 4096, "\n")}, {"crlf.m", crlf}, {"odd.m", odd}};
  for (const auto& c : cases) {
    QSignalSpy finished(&m_wnd, &CScintillaWnd::loadFinished);
    ASSERT_TRUE(m_wnd.LoadFile(Write(c.name, c.content))) << c.name;
    ASSERT_TRUE(m_wnd.IsLoading()) << c.name;
    ASSERT_TRUE(finished.wait(30000)) << c.name;
    EXPECT_TRUE(m_wnd.GetText() == c.content) << c.name;
    EXPECT_EQ(m_wnd.GetLineCount(), LinesIn(c.content)) << c.name;
    EXPECT_EQ(Message(Sci::SCI_GETMODIFY), 0) << c.name;
    ASSERT_TRUE(m_wnd.SaveFile(PathOf("copy.m"))) << c.name;
    EXPECT_TRUE(Read(PathOf("copy.m")) == c.content) << c.name;
  }
  // An empty file after a large one.
  ASSERT_TRUE(m_wnd.LoadFile(Write("empty.m", "")));
  EXPECT_FALSE(m_wnd.IsLoading());
  EXPECT_EQ(m_wnd.GetText(), "");
}

TEST_F(ScintillaFiles, ALargeFileIsStyledFoldedAndSetUpLikeASmallOne) {
  constexpr int kCommentStyle = 1;
  m_settings.tabSize = 3;
  const std::string tail = "if x\n  s.field = 'caf\xc3\xa9';\n  % a late comment\nend\n";
  const std::string content = OctaveLines(CScintillaWnd::LOAD_PIECE_BYTES * 3, "\n") + tail;
  QSignalSpy finished(&m_wnd, &CScintillaWnd::loadFinished);
  ASSERT_TRUE(m_wnd.LoadFile(Write("late.m", content)));
  ASSERT_TRUE(m_wnd.IsLoading());
  ASSERT_TRUE(finished.wait(30000));
  const auto lineStart = [this](long line0) { return Message(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line0)); };
  const long ifLine = m_wnd.GetLineCount() - 5;
  const long comment = lineStart(ifLine + 2) + 2;
  EXPECT_EQ(m_wnd.GetStyleAt(comment), kCommentStyle);
  EXPECT_NE(m_wnd.GetStyleAt(lineStart(ifLine + 1) + 2), kCommentStyle);
  EXPECT_TRUE(Message(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(ifLine)) & Sci::SC_FOLDLEVELHEADERFLAG);
  EXPECT_EQ(Message(Sci::SCI_GETTABWIDTH), 3);
  // "." joins a field to its name; "é" is one character of two bytes.
  m_wnd.GotoPosition(lineStart(ifLine + 1) + 3);
  EXPECT_EQ(m_wnd.GetCaretWord(), "s.field");
  const long accent = static_cast<long>(content.size() - tail.size() + tail.find('\xc3'));
  EXPECT_EQ(Message(Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(accent)), accent + 2);
}

TEST_F(ScintillaFiles, WhatTheReaderDidWithTheFirstPieceStays) {
  m_wnd.resize(600, 300);
  m_wnd.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_wnd));
  const std::string content = OctaveLines(CScintillaWnd::LOAD_PIECE_BYTES * 6, "\n");
  QSignalSpy finished(&m_wnd, &CScintillaWnd::loadFinished);
  ASSERT_TRUE(m_wnd.LoadFile(Write("big.m", content)));
  ASSERT_TRUE(m_wnd.IsLoading());
  // The first piece scrolls, takes the caret and a breakpoint.
  m_wnd.GotoLine(300);
  EXPECT_GT(Message(Sci::SCI_GETFIRSTVISIBLELINE), 200);
  Message(Sci::SCI_SETFIRSTVISIBLELINE, 280);
  ASSERT_EQ(Message(Sci::SCI_GETFIRSTVISIBLELINE), 280);
  const int breakpoint = m_wnd.AddMarker(40, CScintillaWnd::BREAKPOINT_MARKER);
  ASSERT_EQ(breakpoint, 39);
  ASSERT_TRUE(m_wnd.IsLoading());
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_TRUE(m_wnd.GetText() == content);
  EXPECT_EQ(m_wnd.GetCurrentLine(), 300);
  EXPECT_EQ(Message(Sci::SCI_GETFIRSTVISIBLELINE), 280);
  EXPECT_TRUE(m_wnd.HasMarker(40, CScintillaWnd::BREAKPOINT_MARKER));
  EXPECT_EQ(m_wnd.GetBreakpoints(), std::vector<int>{39});
  EXPECT_EQ(m_wnd.FindNextBreakpoint(), -1);
}

TEST_F(ScintillaFiles, AClosedOrReplacedLoadLeavesNothingBehind) {
  const std::string path = Write("big.m", OctaveLines(size_t{8} << 20, "\n"));
  const long openBefore = OpenFileCount();
  for (int round = 0; round < 3; ++round) {
    auto view = std::make_unique<CScintillaWnd>();
    view->Init({});
    ASSERT_TRUE(view->LoadFile(path));
    ASSERT_TRUE(view->IsLoading());
    view.reset();
  }
  EXPECT_EQ(OpenFileCount(), openBefore);
  // Replaced by another file and by new text; the old load's late news change nothing.
  ASSERT_TRUE(m_wnd.LoadFile(path));
  ASSERT_TRUE(m_wnd.LoadFile(Write("small.m", "a = 1;\n")));
  EXPECT_EQ(OpenFileCount(), openBefore);
  ASSERT_TRUE(m_wnd.LoadFile(path));
  SetLines("b = 2;\n");
  EXPECT_FALSE(m_wnd.IsLoading());
  EXPECT_EQ(OpenFileCount(), openBefore);
  QCoreApplication::processEvents();
  EXPECT_EQ(Lines(), "b = 2;\n");
  EXPECT_FALSE(m_wnd.IsLoading());
}

TEST_F(ScintillaFiles, AReadBrokenOffKeepsWhatCameBefore) {
  // Read as a file, a folder fails at once: the loader's first read after the
  // part already read breaks off.
  auto* loader = reinterpret_cast<ILoader*>(Message(Sci::SCI_CREATELOADER, 16, Sci::SC_DOCUMENTOPTION_DEFAULT));
  ASSERT_NE(loader, nullptr);
  const int folder = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  std::atomic<int> told{0};
  CDocumentLoader load(loader, folder, "x = 1;\n", [&told] { ++told; });
  void* document = load.TakeDocument();
  EXPECT_TRUE(load.IsDone());
  EXPECT_TRUE(load.ReadFailed());
  EXPECT_EQ(load.BytesLoaded(), 7u);
  EXPECT_GE(told.load(), 1);
  m_wnd.SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, document);
  m_wnd.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, document);
  EXPECT_EQ(m_wnd.GetText(), "x = 1;\n");
}
