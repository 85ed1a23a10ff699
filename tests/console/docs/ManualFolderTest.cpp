#include "console/docs/ManualFolder.h"

#include <gtest/gtest.h>

#include "tests/common/TestFiles.h"
#include "tests/console/docs/ManualFixture.h"

using namespace manual;

TEST(ManualFolderTest, CandidatesBesideTheInterpreterThenTheSystemsOrTheUsersChoiceAlone) {
  EXPECT_EQ(ManualFolderCandidates("", "/opt/octave-3.2/bin"),
            (std::vector<std::string>{"/opt/octave-3.2/doc/octave/html/interpreter/",
                                      "/opt/octave-3.2/share/doc/octave/octave.html/",
                                      "/usr/share/doc/octave/octave.html/"}));
  EXPECT_EQ(ManualFolderCandidates("", "/usr/bin/"),
            (std::vector<std::string>{"/usr/doc/octave/html/interpreter/", "/usr/share/doc/octave/octave.html/"}));
  EXPECT_EQ(ManualFolderCandidates(" /srv/manual ", "/usr/bin"), std::vector<std::string>{"/srv/manual/"});
}

TEST(ManualFolderTest, TheFirstCandidateHoldingTheStartPageIsTheManual) {
  CTempDir dir;
  WriteFile(dir.File("old/doc/octave/html/interpreter/index.html"), "x");
  WriteFile(dir.File("new/share/doc/octave/octave.html/index.html"), "x");
  WriteFile(dir.File("bare/share/doc/octave/octave.html/Trigonometry.html"), "x");
  EXPECT_EQ(FindManualFolder(ManualFolderCandidates("", dir.File("old/bin"))),
            dir.File("old/doc/octave/html/interpreter/"));
  EXPECT_EQ(FindManualFolder({dir.File("bare/share/doc/octave/octave.html/"), dir.File("new/share/doc/octave/octave.html/")}),
            dir.File("new/share/doc/octave/octave.html/"));
  EXPECT_EQ(FindManualFolder({dir.File("bare/share/doc/octave/octave.html/"), dir.File("nowhere/")}), "");
  EXPECT_EQ(FindManualFolder({}), "");
}

TEST(ManualFolderTest, HelpTermsOpenTheirPageAtTheAnchorInTodaysManual) {
  CTempDir dir;
  WriteTodaysManual(dir.Path());
  EXPECT_EQ(ResolveHelpTerm(dir.Path(), "sin"), (HelpTarget{"Trigonometry.html#XREFsin", "sin"}));
  EXPECT_EQ(ResolveHelpTerm(dir.Path() + "/", " num2str "),
            (HelpTarget{"Converting-Numerical-Data-to-Strings.html#XREFnum2str", "num2str"}));
  // No redirection file: the start page, still searched for the term.
  EXPECT_EQ(ResolveHelpTerm(dir.Path(), "no_such"), (HelpTarget{"index.html", "no_005fsuch"}));
  for (const char* term : {"", "   ", "Octave", " Oct ave "}) {
    EXPECT_EQ(ResolveHelpTerm(dir.Path(), term), (HelpTarget{"index.html", "index"})) << term;
  }
}

TEST(ManualFolderTest, HelpTermsFollowTheOldManualsRedirections) {
  CTempDir dir;
  WriteOldManual(dir.Path());
  EXPECT_EQ(ResolveHelpTerm(dir.Path(), "num_elements"),
            (HelpTarget{"Utility-Functions.html#doc_002dnum_005felements", "num_005felements"}));
  EXPECT_EQ(ReadRedirect(dir.File("doc_002dnum_005felements.html")), "Utility-Functions.html#doc_002dnum_005felements");
  EXPECT_EQ(ReadRedirect(dir.File("missing.html")), "");
}

TEST(ManualFolderTest, MissingManualPageNamesTheFoldersAndThePackage) {
  const std::string page = MissingManualPage({"/usr/share/doc/octave/octave.html/", "/tmp/a<b>&/"});
  EXPECT_NE(page.find("/usr/share/doc/octave/octave.html/"), std::string::npos);
  EXPECT_NE(page.find("/tmp/a&lt;b&gt;&amp;/"), std::string::npos);
  EXPECT_NE(page.find("octave-doc"), std::string::npos);
  EXPECT_EQ(page.find("a<b>"), std::string::npos);
}
