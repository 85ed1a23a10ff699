// Links found in the interpreter's output, in today's forms and the old ones.
#include "console/session/ConsoleLinks.h"

#include <gtest/gtest.h>

namespace {

using namespace console_links;

// Each link as its text and its target.
std::vector<std::pair<std::string, std::string>> Links(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> found;
  for (const LinkRange& link : FindLinks(text))
    found.emplace_back(std::string(text.substr(link.begin, link.end - link.begin)), link.target);
  return found;
}

using Found = std::vector<std::pair<std::string, std::string>>;

TEST(ConsoleLinks, WebAddressesEndBeforeTheSentenceAroundThem) {
  EXPECT_EQ(Links("Additional information about Octave is available at https://www.octave.org.\n"),
            (Found{{"https://www.octave.org", "https://www.octave.org"}}));
  EXPECT_EQ(Links("see (http://a.org/x_(y)) or 'https://b.org/p?q=1&r=2', then http://"),
            (Found{{"http://a.org/x_(y)", "http://a.org/x_(y)"},
                   {"https://b.org/p?q=1&r=2", "https://b.org/p?q=1&r=2"}}));
  EXPECT_EQ(Links("<http://c.org/a>\thttp://d.org"),
            (Found{{"http://c.org/a", "http://c.org/a"}, {"http://d.org", "http://d.org"}}));
}

TEST(ConsoleLinks, AParseErrorNamesItsFileAndLine) {
  EXPECT_EQ(Links("error: parse error near line 2 of file /tmp/d/parse bad.m\n\n  syntax error\n"),
            (Found{{"line 2 of file /tmp/d/parse bad.m", "line 2 of file /tmp/d/parse bad.m"}}));
  // The old form, and a Windows path.
  EXPECT_EQ(Links("parse error near line 15 of file C:\\work\\f.m\r\n"),
            (Found{{"line 15 of file C:\\work\\f.m", "line 15 of file C:\\work\\f.m"}}));
  // A parse error typed at the prompt names no file.
  EXPECT_TRUE(Links("error: parse error:\n\n  syntax error\n\n>>> 1 +* 2\n").empty());
  EXPECT_TRUE(Links("baseline 3 of file x\nline 3 of file \n").empty());
}

TEST(ConsoleLinks, EachFrameOfACalledFromListIsALinkToItsFunction) {
  const std::string error =
      "error: 'undefined_thing' undefined near line 3, column 7\n"
      "error: called from\n"
      "    withsub>helper at line 5 column 3\n"
      "    badf at line 3 column 5\n"
      "    @<anonymous> at line 1 column 10\n"
      "    run at line 78 column 7\n>> ";
  EXPECT_EQ(Links(error), (Found{{"withsub>helper at line 5 column 3", "line 5 of function withsub>helper"},
                                 {"badf at line 3 column 5", "line 3 of function badf"},
                                 {"run at line 78 column 7", "line 78 of function run"}}));
  // Old interpreters named the file itself.
  EXPECT_EQ(Links("error: called from:\nerror:   /home/u/my f.m at line 3, column 5\n"),
            (Found{{"/home/u/my f.m at line 3, column 5", "line 3 of file /home/u/my f.m"}}));
  // Text that only looks like a frame is left alone.
  EXPECT_TRUE(Links("badf at line 3 column 5\n    two words at line 3 column 5\n"
                    "    f at line 3 column 5 and more\n    f at line x column 5\n")
                  .empty());
}

TEST(ConsoleLinks, AnErrorNamedAfterAFunctionLinksWhereItsFramesShowIt) {
  EXPECT_EQ(Links("error: strsplit: S and DEL must be string values\nerror: called from\n"
                  "    strsplit at line 188 column 5\n"),
            (Found{{"strsplit", "line 188 of function strsplit"},
                   {"strsplit at line 188 column 5", "line 188 of function strsplit"}}));
  // A subfunction, and a file of the old form.
  EXPECT_EQ(Links("error: helper: bad\nerror: called from\n    withsub>helper at line 5 column 3\n")[0],
            (std::pair<std::string, std::string>{"helper", "line 5 of function withsub>helper"}));
  EXPECT_EQ(Links("error: f: bad\nerror: called from:\nerror:   /u/f.m at line 2, column 1\n")[0],
            (std::pair<std::string, std::string>{"f", "line 2 of file /u/f.m"}));
  // A built-in function has no frame and so no file: no link.
  EXPECT_TRUE(Links("error: ones: invalid data type specified\n").empty());
  EXPECT_TRUE(Links("error: X(3,_): out of bound 2\n").empty());
}

TEST(ConsoleLinks, TargetsSayWhatAClickOpens) {
  EXPECT_EQ(ParseTarget("https://octave.org/x"),
            (LinkTarget{LinkTarget::Kind::WebAddress, "https://octave.org/x", 0}));
  EXPECT_EQ(ParseTarget("line 12 of file /a b/f.m"), (LinkTarget{LinkTarget::Kind::File, "/a b/f.m", 12}));
  EXPECT_EQ(ParseTarget(FunctionPositionTarget("f>g", 4)), (LinkTarget{LinkTarget::Kind::Function, "f>g", 4}));
  EXPECT_EQ(ParseTarget("asin"), (LinkTarget{LinkTarget::Kind::HelpTopic, "asin", 0}));
  EXPECT_EQ(ParseTarget("line x of file /f.m").kind, LinkTarget::Kind::HelpTopic);
}

TEST(ConsoleLinks, TheFileOfAFunctionComesFromTheInterpreter) {
  // A subfunction is defined in its parent's file; names are quoted.
  EXPECT_EQ(FunctionFileQuery("withsub>helper"), "disp(which('withsub'))");
  EXPECT_EQ(FunctionFileQuery("it's"), "disp(which('it''s'))");
  EXPECT_EQ(FunctionFileOfAnswer("/tmp/d/badf.m\n>> "), "/tmp/d/badf.m");
  EXPECT_EQ(FunctionFileOfAnswer("C:\\o\\f.m\r\n>> "), "C:\\o\\f.m");
  // Built in, unknown, or not Octave code: nothing to open.
  EXPECT_EQ(FunctionFileOfAnswer("libinterp/corefcn/data.cc\n>> "), std::nullopt);
  EXPECT_EQ(FunctionFileOfAnswer("\n>> "), std::nullopt);
  EXPECT_EQ(FunctionFileOfAnswer("/usr/lib/x/__fltk__.oct\n>> "), std::nullopt);
  EXPECT_EQ(FunctionFileOfAnswer(""), std::nullopt);
}

}  // namespace
