#include "common/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "tests/common/TestFiles.h"

namespace {

#ifndef _WIN32
mode_t PermissionBits(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}
#endif

std::string Content(const std::string& path) {
  std::string content;
  EXPECT_TRUE(ReadWholeFile(path, content));
  return content;
}

size_t EntryCount(const std::string& folder) {
  const std::filesystem::directory_iterator entries(folder);
  return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

}  // namespace

TEST(AtomicFile, NewFileIsPrivateAndReplacedFileKeepsItsMode) {
  CTempDir dir;
  const std::string path = dir.File("data.ini");
  // Bytes go out as given: no line-end translation, a zero byte kept.
  const std::string binary("nul\0inside\r\nand\n", 17);
  ASSERT_TRUE(WriteFileAtomically(path, binary));
  EXPECT_EQ(Content(path), binary);
#ifndef _WIN32
  EXPECT_EQ(PermissionBits(path), 0600u);
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
#endif
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(Content(path), "new");
#ifndef _WIN32
  EXPECT_EQ(PermissionBits(path), 0644u);
#endif
  EXPECT_EQ(EntryCount(dir.Path()), 1u);  // no temporary left behind
}

TEST(AtomicFile, FailedWriteLeavesOldFileAndNoTemporary) {
  CTempDir dir;
  const std::string path = dir.File("keep.txt");
  ASSERT_TRUE(WriteFileAtomically(path, "old content"));
  {
    CBlockedRewrite blocked(path);
    EXPECT_FALSE(WriteFileAtomically(path, std::string(100000, 'x')));
  }
  EXPECT_EQ(Content(path), "old content");
  EXPECT_EQ(EntryCount(dir.Path()), 1u);
  EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/folder.txt"), "x"));
  std::string read = "stale";
  EXPECT_FALSE(ReadWholeFile(dir.File("missing.txt"), read));
  EXPECT_EQ(read, "");
}
