// The pane's disk operations never replace anything and leave both sides intact
// when they fail.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "console/files/FileOperations.h"
#include "tests/common/TestFiles.h"

namespace {

namespace fo = file_operations;
namespace fs = std::filesystem;

std::string Read(const std::string& path) {
  return (std::ostringstream() << std::ifstream(path).rdbuf()).str();
}

TEST(FileOperations, NothingIsReplacedAndFailuresSayWhy) {
  CTempDir dir;
  std::ofstream(dir.File("a")) << "first";
  std::ofstream(dir.File("b")) << "second";
  chmod(dir.File("a").c_str(), 0640);

  EXPECT_NE(fo::Rename(dir.File("a"), dir.File("b")), "");
  EXPECT_NE(fo::CopyFile(dir.File("a"), dir.File("b")), "");
  EXPECT_NE(fo::Move(dir.File("a"), dir.File("b")), "");
  EXPECT_EQ(Read(dir.File("a")), "first");
  EXPECT_EQ(Read(dir.File("b")), "second");

  EXPECT_EQ(fo::CopyFile(dir.File("a"), dir.File("c")), "");
  EXPECT_EQ(Read(dir.File("c")), "first");
  EXPECT_EQ(fs::status(dir.File("c")).permissions(), fs::status(dir.File("a")).permissions());
  EXPECT_EQ(fo::Move(dir.File("c"), dir.File("d")), "");
  EXPECT_FALSE(fs::exists(dir.File("c")));
  EXPECT_EQ(Read(dir.File("d")), "first");

  EXPECT_EQ(fo::CreateFolder(dir.File("f")), "");
  EXPECT_NE(fo::CreateFolder(dir.File("f")), "");
  EXPECT_NE(fo::CopyFile(dir.File("f"), dir.File("g")), "");
  EXPECT_FALSE(fs::exists(dir.File("g")));
  std::ofstream(dir.File("f/inside")) << "x";
  EXPECT_NE(fo::Delete(dir.File("f")), "");
  EXPECT_TRUE(fs::exists(dir.File("f/inside")));
  EXPECT_EQ(fo::Delete(dir.File("f/inside")), "");
  EXPECT_EQ(fo::Delete(dir.File("f")), "");
  EXPECT_FALSE(fs::exists(dir.File("f")));
  EXPECT_NE(fo::Delete(dir.File("missing")), "");

  EXPECT_TRUE(fo::IsPlainName("New Folder"));
  for (const char* bad : {"", ".", "..", "a/b"}) EXPECT_FALSE(fo::IsPlainName(bad)) << bad;
}

}  // namespace
