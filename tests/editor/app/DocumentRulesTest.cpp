#include "editor/app/DocumentRules.h"

#include <gtest/gtest.h>

#include <set>

using namespace quire;
using Items = std::vector<std::string>;

TEST(NameProposal, TakesTheDeclaredNameAfterCommentLines) {
  // The comment mentions "function " before the declaration does.
  EXPECT_EQ(ProposeFunctionName("% a function that adds\r\nfunction [s, d] = foo (a)\r\n  s = a;\r\n"),
            "foo");
  EXPECT_EQ(ProposeFunctionName("# function bar ()\nfunction r=baz(x)\n"), "baz");
  EXPECT_EQ(ProposeFunctionName("function show\n  disp(1)\nendfunction\n"), "show");
  EXPECT_EQ(ProposeFunctionName("function value = get_x # getter\n"), "get_x");
  EXPECT_EQ(ProposeFunctionName("\tfunction  noArgs ( )"), "noArgs");
}

TEST(NameProposal, NothingWithoutADeclarationOrWithAnUnusableName) {
  EXPECT_EQ(ProposeFunctionName("x = 1;\ny = 2;\n"), "");
  EXPECT_EQ(ProposeFunctionName("% function only in a comment ()\n"), "");
  EXPECT_EQ(ProposeFunctionName(""), "");
  // A name that would leave the folder or is no Octave name is not proposed.
  EXPECT_EQ(ProposeFunctionName("function ../../etc/x ()\n"), "");
  EXPECT_EQ(ProposeFunctionName("function [a] = ()\n"), "");
  // "endfunction " is not a declaration.
  EXPECT_EQ(ProposeFunctionName("endfunction \nfunction later ()\n"), "later");
}

TEST(UntitledNumbering, OneMoreThanTheHighestNumber) {
  EXPECT_EQ(NextUntitledTitle({}), "Untitled1");
  EXPECT_EQ(NextUntitledTitle({"Untitled1", "f.m", "Untitled3"}), "Untitled4");
  EXPECT_EQ(NextUntitledTitle({"Untitled3*", "Untitled"}), "Untitled4");
  EXPECT_EQ(NextUntitledTitle({"untitled7", "MyUntitled9"}), "Untitled1");
}

TEST(ScriptName, TitleUpToTheFirstDot) {
  EXPECT_EQ(ScriptNameOf("foo.m"), "foo");
  EXPECT_EQ(ScriptNameOf("foo.bar.m*"), "foo");
  EXPECT_EQ(ScriptNameOf("Untitled2*"), "Untitled2");
  EXPECT_EQ(ScriptNameOf("Untitled2"), "Untitled2");
  EXPECT_EQ(ScriptNameOf(".hidden.m"), ".hidden.m");
}

TEST(FrameCaption, NamesTheActiveDocumentOnly) {
  EXPECT_EQ(FrameCaption(std::nullopt), "Quire");
  EXPECT_EQ(FrameCaption(std::string("f.m*")), "Quire - [f.m*]");
}

TEST(WindowPlacement, MaximizedOrKeptInsideTheDesktop) {
  const SRect desktop{0, 0, 1920, 1050};
  EXPECT_EQ(PlaceWindow({0, 0, -1, -1}, desktop), (SPlacement{true, desktop}));
  EXPECT_EQ(PlaceWindow({100, 50, 800, 600}, desktop), (SPlacement{false, {100, 50, 800, 600}}));
  // Too narrow: full desktop width from the left edge; height kept.
  EXPECT_EQ(PlaceWindow({100, 50, 150, 600}, desktop), (SPlacement{false, {0, 50, 1920, 600}}));
  // Too low and off the bottom: desktop height less 50 from the top edge.
  EXPECT_EQ(PlaceWindow({100, 900, 800, 150}, desktop), (SPlacement{false, {100, 0, 800, 1000}}));
  // Off the desktop: back to its edges first.
  EXPECT_EQ(PlaceWindow({-500, 5000, 800, 600}, desktop), (SPlacement{false, {0, 0, 800, 600}}));
  // Wider than the right edge allows.
  EXPECT_EQ(PlaceWindow({1500, 10, 800, 600}, desktop), (SPlacement{false, {0, 10, 1920, 600}}));
  const SRect shifted{1920, 30, 1280, 994};
  EXPECT_EQ(PlaceWindow({0, 0, 300, 300}, shifted), (SPlacement{false, {1920, 30, 300, 300}}));

  EXPECT_EQ(SavedPlacement(true, {5, 6, 7, 8}), (SRect{0, 0, -1, -1}));
  EXPECT_EQ(SavedPlacement(false, {5, 6, 700, 800}), (SRect{5, 6, 700, 800}));
}

TEST(TabSide, StoredIdsAndUnknownValues) {
  EXPECT_EQ(TabSideFromId(32835), TabSide::Top);
  EXPECT_EQ(TabSideFromId(32836), TabSide::Right);
  EXPECT_EQ(TabSideFromId(32837), TabSide::Left);
  EXPECT_EQ(TabSideFromId(32838), TabSide::Bottom);
  EXPECT_EQ(TabSideFromId(0), TabSide::Top);
  EXPECT_EQ(TabSideFromId(32839), TabSide::Top);
}

TEST(History, LeadingWhiteSpaceGoesEmptyEntriesAreSkipped) {
  EXPECT_EQ(CleanHistory({"  find me ", "", " \t", "\tx"}), (Items{"find me ", "x"}));
}

TEST(Reopen, ExistingFilesNotYetOpenInListOrder) {
  const std::set<std::string> onDisk = {"/d/a.m", "/d/B.m", "/d/c.m"};
  auto exists = [&](const std::string& p) { return onDisk.contains(p); };
  EXPECT_EQ(FilesToReopen({"/d/c.m", "/d/gone.m", "/d/a.m", "/d/B.m", "/d/c.m"}, {"/D/b.m"}, exists),
            (Items{"/d/c.m", "/d/a.m"}));
  EXPECT_EQ(FilesToReopen({}, {}, exists), Items{});
}

TEST(SessionLists, PathsAndCaretsOfSavedDocumentsRoundTrip) {
  const SSessionLists lists = SessionListsOf({{"/d/a.m", 12}, {"", 4}, {"/d/b.m", 0}});
  EXPECT_EQ(lists.files, (Items{"/d/a.m", "/d/b.m"}));
  EXPECT_EQ(lists.positions, (Items{"12", "0"}));
  EXPECT_EQ(SavedCaretPosition("/d/a.m", lists.files, lists.positions), 12);
  EXPECT_EQ(SavedCaretPosition("/d/b.m", lists.files, lists.positions), 0);
  EXPECT_EQ(SavedCaretPosition("/d/A.m", lists.files, lists.positions), std::nullopt);
  // A list shorter than the file list has no entry for the later files.
  EXPECT_EQ(SavedCaretPosition("/d/b.m", lists.files, {"7"}), std::nullopt);
}
