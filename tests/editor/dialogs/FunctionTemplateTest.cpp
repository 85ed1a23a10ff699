#include "editor/dialogs/FunctionTemplate.h"

#include <gtest/gtest.h>

#include "common/Text.h"

namespace {

using namespace quire;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "the last line ends with a line feed";
  return lines;
}

TEST(FunctionTemplateTest, TheInitialFormWithOutputZGivesTheWorkedExample) {
  SFunctionFields fields;
  fields.outputs = "z";
  const std::vector<std::string> lines = Lines(GenerateFunctionFile(fields));
  // The description wraps twice: two more lines than the twenty of the template.
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "## -*- texinfo -*-");
  EXPECT_EQ(lines[1], "## @deftypefn {Function File} {} foo (@var{x}, @var{y})");
  EXPECT_EQ(lines[2], "## The function foo subtracts @var{x} from @var{y}, then adds the");
  EXPECT_EQ(lines[3], "## remaining arguments to the result. If @var{y} is not supplied,");
  EXPECT_EQ(lines[4], "## then the number 19 is used by default.");
  EXPECT_EQ(lines[9], "##      @result{} [ 14, 16 ]");
  EXPECT_EQ(lines[13], "## @seealso{foo1, foo2}");
  EXPECT_EQ(lines[16], "## Author: Author Name");
  EXPECT_EQ(lines[18], "function z = foo (x, y)");
  EXPECT_EQ(lines.back(), "endfunction");
}

TEST(FunctionTemplateTest, InputsOutputsAndSeeAlsoFollowTheirRules) {
  EXPECT_EQ(FormatInputs("x,,y"), "@var{x}, @var{y}");
  EXPECT_EQ(FormatInputs(" a , b "), "@var{a}, @var{b}");
  EXPECT_EQ(FormatInputs(""), "");
  EXPECT_EQ(FormatInputs(" , "), "");
  EXPECT_EQ(FormatOutputs(""), "");
  EXPECT_EQ(FormatOutputs("r"), "r = ");
  EXPECT_EQ(FormatOutputs(",r"), ",r = ");
  EXPECT_EQ(FormatOutputs("a,b"), "[a,b] = ");
  EXPECT_EQ(FormatSeeAlso("sin ,cos,tan"), "sin, cos, tan");

  SFunctionFields fields;
  fields.inputs = "x,,y";
  fields.outputs = "a,b";
  const std::string text = GenerateFunctionFile(fields);
  EXPECT_TRUE(text::Contains(text, "\nfunction [a,b] = foo (x,,y)\n"));
  EXPECT_TRUE(text::Contains(text, "{} foo (@var{x}, @var{y})\n"));
}

TEST(FunctionTemplateTest, DescriptionLinesStayCommentLinesAndLongWordsBreakAtTheSixtiethStep) {
  EXPECT_EQ(FormatDescription("first line\nsecond line"), "first line\n## second line");
  const std::string unbroken(130, 'a');
  const std::string wrapped = FormatDescription(unbroken);
  EXPECT_EQ(wrapped.substr(0, 60), std::string(60, 'a'));
  EXPECT_EQ(wrapped.substr(60, 3), "\n##");
  EXPECT_EQ(text::ReplaceAll(wrapped, "\n##", ""), unbroken);
  SFunctionFields twoLines;
  twoLines.description = "one\ntwo";
  for (const std::string& line : Lines(GenerateFunctionFile(twoLines)))
    EXPECT_TRUE(line.empty() || text::StartsWith(line, "##") || text::StartsWith(line, "function") ||
                line == "endfunction")
        << line;
}

}  // namespace
