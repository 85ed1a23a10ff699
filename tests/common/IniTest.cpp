#include "common/Ini.h"

#include <gtest/gtest.h>

#include <thread>

#include "common/AtomicFile.h"
#include "tests/common/TestFiles.h"

namespace {

using Items = std::vector<std::string>;

class IniTest : public ::testing::Test {
 protected:
  void SetUp() override { m_ini.SetPath(m_dir.File("user.ini")); }
  std::string FileContent() const {
    std::string content;
    ReadWholeFile(m_ini.Path(), content);
    return content;
  }
  Items ReadArray(const std::string& key, const char* separator) const {
    Items items{"stale"};
    m_ini.GetArray(key, items, separator);
    return items;
  }

  CTempDir m_dir;
  CIni m_ini;
};

}  // namespace

TEST_F(IniTest, WritesWindowsLayoutAndReadsKeysIgnoringCase) {
  EXPECT_EQ(m_ini.GetString("Width"), "");  // no file yet
  EXPECT_EQ(ReadArray("Width", ","), Items{});
  ASSERT_TRUE(m_ini.WriteString("Width", "640"));
  ASSERT_TRUE(m_ini.WriteString("Height", "480"));
  ASSERT_TRUE(m_ini.WriteString("WIDTH", "800"));
  EXPECT_EQ(FileContent(), "[User]\r\nWIDTH=800\r\nHeight=480\r\n");
  EXPECT_EQ(m_ini.GetString("width"), "800");
  EXPECT_EQ(m_ini.GetString("Depth"), "");
}

TEST_F(IniTest, ArraysSplitTrimAndDropEmptyPieces) {
  ASSERT_TRUE(m_ini.WriteString("List", " a ,  b ,, c"));
  EXPECT_EQ(ReadArray("List", ","), (Items{"a", "b", "c"}));
  EXPECT_EQ(ReadArray("List", nullptr), (Items{"a", "b", "c"}));
  EXPECT_EQ(ReadArray("List", ""), (Items{"a ,  b ,, c"}));

  ASSERT_TRUE(m_ini.WriteArray("History", {"x = [1, 2]", "%-- 1/2/24 --%", "y"}, "|;|"));
  EXPECT_EQ(ReadArray("History", "|;|"), (Items{"x = [1, 2]", "%-- 1/2/24 --%", "y"}));
}

TEST_F(IniTest, ArraysWithoutSeparatorUseCommasAndEmptyArrayWritesEmptyValue) {
  ASSERT_TRUE(m_ini.WriteArray("A", {"1", "2"}, nullptr));
  ASSERT_TRUE(m_ini.WriteArray("B", {"3", "4"}, ""));
  ASSERT_TRUE(m_ini.WriteArray("C", {}, nullptr));
  EXPECT_EQ(FileContent(), "[User]\r\nA=1,2\r\nB=3,4\r\nC=\r\n");
}

TEST_F(IniTest, LongValuesLineBreaksAndBadKeys) {
  const std::string longValue(700, 'v');
  ASSERT_TRUE(m_ini.WriteString("Long", longValue));
  EXPECT_EQ(m_ini.GetString("Long"), longValue);
  ASSERT_TRUE(m_ini.WriteString("Broken", "one\r\ntwo\nthree"));
  EXPECT_EQ(m_ini.GetString("Broken"), "onetwothree");
  EXPECT_FALSE(m_ini.WriteString("a=b", "x"));
  EXPECT_FALSE(m_ini.WriteString("", "x"));
}

TEST_F(IniTest, OtherSectionsAndLinesSurviveAndLfFilesAreRead) {
  ASSERT_TRUE(WriteFileAtomically(m_ini.Path(),
                                  "; note\n[Other]\nHistory=theirs\n\n[user]\nKeep = kept \nOdd line\n\n[Last]\nz=9"));
  EXPECT_EQ(m_ini.GetString("keep"), "kept");
  ASSERT_TRUE(m_ini.WriteString("History", "ours"));
  ASSERT_TRUE(m_ini.WriteString("Keep", "changed"));
  EXPECT_EQ(FileContent(), "; note\r\n[Other]\r\nHistory=theirs\r\n\r\n[user]\r\nKeep=changed\r\nOdd line\r\n"
                           "History=ours\r\n\r\n[Last]\r\nz=9\r\n");
  EXPECT_EQ(m_ini.GetString("History"), "ours");
}

TEST_F(IniTest, FailedWriteReturnsFalseAndKeepsOldFile) {
  ASSERT_TRUE(m_ini.WriteString("Key", "old"));
  const std::string before = FileContent();
  {
    CBlockedRewrite blocked(m_ini.Path());
    EXPECT_FALSE(m_ini.WriteString("Key", std::string(100000, 'n')));
  }
  EXPECT_EQ(FileContent(), before);

  CIni elsewhere;
  elsewhere.SetPath(m_dir.File("missing/user.ini"));
  EXPECT_FALSE(elsewhere.WriteString("Key", "v"));
  elsewhere.SetPath(m_dir.Path());  // exists but cannot be read as a file
  EXPECT_FALSE(elsewhere.WriteString("Key", "v"));
}

TEST_F(IniTest, NamedSectionsKeepTheirOwnKeys) {
  ASSERT_TRUE(m_ini.WriteArray("OpenFiles", {"/a.m", "/b.m"}, "|;|"));
  ASSERT_TRUE(m_ini.WriteArray("KeyWords", {"sin", "cos"}, ",", "System"));
  ASSERT_TRUE(m_ini.WriteString("OpenFiles", "theirs", "system"));
  EXPECT_EQ(FileContent(), "[User]\r\nOpenFiles=/a.m|;|/b.m\r\n[System]\r\nKeyWords=sin,cos\r\n"
                           "OpenFiles=theirs\r\n");
  EXPECT_EQ(ReadArray("OpenFiles", "|;|"), (Items{"/a.m", "/b.m"}));
  Items words;
  m_ini.GetArray("KeyWords", words, ",", "SYSTEM");
  EXPECT_EQ(words, (Items{"sin", "cos"}));
  EXPECT_EQ(m_ini.GetString("KeyWords"), "");  // not in [User]
  EXPECT_EQ(m_ini.GetString("OpenFiles", "Missing"), "");
  EXPECT_FALSE(m_ini.WriteString("Key", "v", "Bad]Name"));
  EXPECT_FALSE(m_ini.WriteString("Key", "v", ""));
}

TEST_F(IniTest, ConcurrentWritersKeepEachOthersKeys) {
  constexpr int kWrites = 20;
  auto writer = [this](const std::string& prefix) {
    for (int i = 0; i < kWrites; ++i) m_ini.WriteString(prefix + std::to_string(i), prefix);
  };
  std::thread first(writer, "first");
  std::thread second(writer, "second");
  first.join();
  second.join();
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(m_ini.GetString("first" + std::to_string(i)), "first");
    EXPECT_EQ(m_ini.GetString("second" + std::to_string(i)), "second");
  }
}
