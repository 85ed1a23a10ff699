#include "common/FolderList.h"

#include <gtest/gtest.h>

#include "common/Ini.h"
#include "common/PathCommands.h"
#include "tests/common/TestFiles.h"

namespace {

using Folders = std::vector<std::string>;

TEST(FolderList, OrdinaryNamesKeepTheFormatOfTheWindowsBuild) {
  EXPECT_EQ(folder_list::Encode({"C:\\a", "/home/u/m files", "/x"}), "C:\\a,/home/u/m files,/x");
  EXPECT_EQ(folder_list::Decode("C:\\a , C:\\b"), (Folders{"C:\\a", "C:\\b"}));
  EXPECT_EQ(folder_list::Decode(" a ,, \t b ,c"), (Folders{"a", "b", "c"}));
  EXPECT_EQ(folder_list::Decode(""), Folders{});
}

TEST(FolderList, EveryFolderReadsBackAsWritten) {
  const Folders folders = {"/data/a,b",    "/x/\"quoted\"", "\"starts",  " lead",
                           "trail\t",      "/plain",        "a,\"b\",c", "/d/\xc3\xa4,\xc3\xb6"};
  EXPECT_EQ(folder_list::Decode(folder_list::Encode(folders)), folders);
  // Only the names that need it are quoted.
  EXPECT_EQ(folder_list::Encode({"/data/a,b", "/plain"}), "\"/data/a,b\",/plain");
}

TEST(FolderList, RoundTripsThroughTheUserDataFile) {
  CTempDir dir;
  CIni ini;
  ini.SetPath(dir.File("userpaths.dat"));
  const Folders folders = {"/a,b", "/c", "/c"};  // the same folder twice stays twice
  ASSERT_TRUE(folder_list::Write(ini, "Paths", folders));
  EXPECT_EQ(folder_list::Read(ini, "Paths"), folders);
  ASSERT_TRUE(folder_list::Write(ini, "Paths", {}));
  EXPECT_EQ(folder_list::Read(ini, "Paths"), Folders{});
}

TEST(PathCommands, EachFolderIsItsOwnQuotedArgument) {
  EXPECT_EQ(path_commands::AddPath({"/a"}), "addpath('/a');");
  EXPECT_EQ(path_commands::AddPath({"/a b", "/c:d"}), "addpath('/a b', '/c:d');");
  EXPECT_EQ(path_commands::RemovePath({"/x');system('id"}), "rmpath('/x'');system(''id');");
  EXPECT_EQ(path_commands::RemovePath({"/a\nb"}), "rmpath(['/a' char(10) 'b']);");
  EXPECT_EQ(path_commands::AddPath({}), "");
  EXPECT_EQ(path_commands::RemovePath({}), "");
}

}  // namespace
