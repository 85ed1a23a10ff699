#include "common/UserDirs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>

#include "tests/common/TestFiles.h"

#ifdef _WIN32

#include <windows.h>

namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool StartsWithDrive(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         path[2] == '\\';
}

}  // namespace

TEST(UserDirs, CreatesNestedFoldersAndEndsThemWithABackslash) {
  CTempDir dir;
  ASSERT_TRUE(StartsWithDrive(dir.Path())) << dir.Path();
  const std::string created = dir.File("a\\b/c");
  EXPECT_EQ(EnsurePrivateDir(created + "\\\\"), created + "\\");
  EXPECT_TRUE(IsFolder(dir.File("a\\b\\c")));
  EXPECT_EQ(EnsurePrivateDir(created), created + "\\") << "an existing folder is taken as it is";
}

TEST(UserDirs, RefusesFilesLinksAndDriveRoots) {
  CTempDir dir;
  std::ofstream(dir.File("file")) << "x";
  EXPECT_EQ(EnsurePrivateDir(dir.File("file")), "");
  EXPECT_EQ(EnsurePrivateDir("C:\\"), "");
  EXPECT_EQ(EnsurePrivateDir("C:"), "");
  const std::string target = dir.File("target");
  ASSERT_TRUE(std::filesystem::create_directory(target));
  std::error_code error;
  std::filesystem::create_directory_symlink(target, dir.File("link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  EXPECT_EQ(EnsurePrivateDir(dir.File("link")), "");
}

TEST(UserDirs, DefaultDataDirIsUnderTheRoamingApplicationData) {
  const char* appData = std::getenv("APPDATA");
  ASSERT_NE(appData, nullptr);
  const std::string data = DefaultDataDir("Calyx");
  EXPECT_EQ(data, std::string(appData) + "\\Marrowby\\Calyx\\");
  EXPECT_TRUE(StartsWithDrive(data)) << data;
  EXPECT_TRUE(IsFolder(data));
}

TEST(UserDirs, LongPathNameResolvesExistingPathsOnly) {
  CTempDir dir;
  ASSERT_TRUE(std::filesystem::create_directory(dir.File("Long Folder Name")));
  EXPECT_EQ(LongPathName(dir.File("Long Folder Name\\..\\.\\Long Folder Name\\")),
            LongPathName(dir.File("Long Folder Name")));
  EXPECT_TRUE(LongPathName(dir.File("Long Folder Name")).ends_with("\\Long Folder Name"));
  char shortName[MAX_PATH];
  if (::GetShortPathNameA(dir.File("Long Folder Name").c_str(), shortName, sizeof shortName) > 0) {
    EXPECT_EQ(LongPathName(shortName), LongPathName(dir.File("Long Folder Name")));
  }
  EXPECT_EQ(LongPathName("Q:\\no\\such\\..\\path"), "Q:\\no\\such\\..\\path");
}

TEST(UserDirs, ProgramFolderHoldsTheTestProgram) {
  const std::string folder = ProgramFolder();
  EXPECT_TRUE(StartsWithDrive(folder)) << folder;
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(std::filesystem::exists(folder + "\\calyx_common_test.exe"));
}

#else

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

#endif  // _WIN32
