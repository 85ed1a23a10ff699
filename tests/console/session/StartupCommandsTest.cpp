// The command lines that start the interpreter and make its `edit` start the
// editor, in each platform's own quoting.
#include "console/session/StartupCommands.h"

#include <gtest/gtest.h>

#include "console/session/CommandLine.h"

#ifdef _WIN32

TEST(StartupCommands, InterpreterPathIsOneQuotedWordWithItsBlanks) {
  const std::string line = InterpreterCommandLine("C:\\Program Files\\Octave\\bin\\");
  EXPECT_EQ(line, "\"C:\\Program Files\\Octave\\bin\\octave.exe\" --interactive --no-history");
  EXPECT_EQ(ProgramNameOf(line), "octave.exe");
  EXPECT_EQ(InterpreterCommandLine(kDefaultInterpreterFolder),
            "\"C:\\Octave\\3.2.4_gcc-4.4.0\\bin\\octave.exe\" --interactive --no-history");
}

TEST(StartupCommands, ProgramNamesFollowTheWindowsCommandLine) {
  EXPECT_EQ(ProgramNameOf("C:\\Octave\\bin\\octave.exe --interactive"), "octave.exe");
  EXPECT_EQ(ProgramNameOf("  \"D:\\a b\\fake_octave.exe\" --script \"C:\\x y\\s\""), "fake_octave.exe");
  EXPECT_EQ(ProgramNameOf("Z:/build/bin/fake_octave.exe --script s"), "fake_octave.exe");
  EXPECT_EQ(ProgramNameOf(""), "octave.exe");
}

TEST(StartupCommands, EditorRunsFromCmdWithDoubleQuotesAndForwardSlashes) {
  EXPECT_EQ(EditorSetupCommand(7300, "C:\\Calyx"), "EDITOR('C:/Calyx/Quire.exe'); edit mode async;");
  EXPECT_EQ(EditorSetupCommand(7300, "C:\\Program Files\\Calyx"),
            "EDITOR('\"C:/Program Files/Calyx/Quire.exe\"'); edit mode async;");
  EXPECT_EQ(EditorSetupCommand(3204, "C:\\it's"),
            "edit editor '\"C:/it''s/Quire.exe\" %s'; edit mode async;");
}

#else

TEST(StartupCommands, InterpreterPathIsOneWordWhateverItHolds) {
  EXPECT_EQ(InterpreterCommandLine("/usr/bin"),
            "\"/usr/bin\"/octave-cli --interactive --no-history --persist --eval \"PS1('>> ')\"");
  const std::vector<std::string> words = SplitCommandLine(InterpreterCommandLine("/opt/a \"b\"\\c"));
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(words[0], "/opt/a \"b\"\\c/octave-cli");
  EXPECT_EQ(words.back(), "PS1('>> ')");
}

TEST(StartupCommands, ProgramNamesAreTheFirstWordsFileName) {
  EXPECT_EQ(ProgramNameOf("/usr/bin/octave-cli --interactive"), "octave-cli");
  EXPECT_EQ(ProgramNameOf("'/a b/fake_octave' --script s"), "fake_octave");
  EXPECT_EQ(ProgramNameOf(""), "octave.exe");
}

TEST(StartupCommands, EditorRunsFromTheShellWithoutTheInterpretersPipes) {
  EXPECT_EQ(EditorSetupCommand(7300, "/opt/calyx"),
            "EDITOR('/opt/calyx/quire </dev/null >/dev/null 2>&1'); edit mode async;");
  EXPECT_EQ(EditorSetupCommand(3204, "/opt/it's"),
            "edit editor '''/opt/it''\\''''s/quire'' </dev/null >/dev/null 2>&1 %s'; edit mode async;");
}

#endif  // _WIN32
