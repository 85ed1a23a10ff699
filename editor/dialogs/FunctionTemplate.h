// The text of a new Octave function file: a texinfo help block, an author line
// and an empty definition, filled from the new-function form's fields.
#pragma once

#include <string>
#include <string_view>

namespace quire {

struct SFunctionFields {
  std::string name = "foo";
  std::string author = "Author Name";
  std::string inputs = "x, y";
  std::string outputs;
  std::string description =
      "The function foo subtracts @var{x} from @var{y}, then adds the remaining arguments to the result. "
      "If @var{y} is not supplied, then the number 19 is used by default.";
  std::string example = "foo (1, [3, 5], 3, 9)";
  std::string result = "[ 14, 16 ]";
  std::string seeAlso = "foo1, foo2";
};

// "x, y" -> "@var{x}, @var{y}": blanks removed, empty pieces dropped.
std::string FormatInputs(std::string_view inputs);
// Every line a comment line; long text broken every 60 steps at the next blank.
std::string FormatDescription(std::string_view description);
// "a,b" -> "a, b" (blanks removed first).
std::string FormatSeeAlso(std::string_view seeAlso);
// "" -> "", "r" -> "r = ", "a,b" -> "[a,b] = ".
std::string FormatOutputs(std::string_view outputs);

// The whole file, twenty lines, each ending with a line feed.
std::string GenerateFunctionFile(const SFunctionFields& fields);

}  // namespace quire
