#include "common/UserDirs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/common/TestFiles.h"

namespace {

mode_t FolderMode(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

}  // namespace

TEST(UserDirs, CreatesOrTightensToPrivateMode) {
  CTempDir dir;
  const std::string created = dir.File("a/b/c");
  EXPECT_EQ(EnsurePrivateDir(created + "//"), created + "/");
  EXPECT_EQ(FolderMode(created), 0700u);

  const std::string open = dir.File("open");
  ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(open.c_str(), 0755), 0);
  EXPECT_EQ(EnsurePrivateDir(open), open + "/");
  EXPECT_EQ(FolderMode(open), 0700u);
}

TEST(UserDirs, RefusesLinksFilesAndForeignFolders) {
  CTempDir dir;
  const std::string target = dir.File("target");
  const std::string link = dir.File("link");
  ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  EXPECT_EQ(EnsurePrivateDir(link), "");
  EXPECT_EQ(FolderMode(target), 0755u);  // not changed through the link
  ASSERT_EQ(::close(::creat(dir.File("file").c_str(), 0600)), 0);
  EXPECT_EQ(EnsurePrivateDir(dir.File("file")), "");
  EXPECT_EQ(EnsurePrivateDir("/"), "");

  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
  EXPECT_EQ(EnsurePrivateDir(target), "");
  EXPECT_EQ(FolderMode(target), 0755u);
}

TEST(UserDirs, DefaultDataDirFollowsXdgDataHome) {
  CTempDir dir;
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string previous = saved ? saved : "";
  ::setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
  const std::string data = DefaultDataDir("calyx");
  saved ? ::setenv("XDG_DATA_HOME", previous.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(data, dir.Path() + "/Marrowby/calyx/");
  EXPECT_EQ(FolderMode(data), 0700u);
}

TEST(UserDirs, LongPathNameResolvesExistingPathsOnly) {
  EXPECT_EQ(LongPathName("/tmp/../tmp"), "/tmp");
  EXPECT_EQ(LongPathName("/no/such/../path"), "/no/such/../path");
  CTempDir dir;
  const std::string link = dir.File("link");
  ASSERT_EQ(::symlink(dir.Path().c_str(), link.c_str()), 0);
  EXPECT_EQ(LongPathName(link + "/./"), LongPathName(dir.Path()));
}

TEST(UserDirs, ProgramFolderIsTheTestBinaryFolder) {
  EXPECT_EQ(ProgramFolder(), LongPathName(CALYX_TEST_BINARY_DIR));
}
