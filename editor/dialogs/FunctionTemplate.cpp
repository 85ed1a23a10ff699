#include "editor/dialogs/FunctionTemplate.h"

#include "common/Text.h"

namespace quire {

std::string FormatInputs(std::string_view inputs) {
  std::string formatted;
  for (const std::string& piece : text::SplitNonEmpty(text::RemoveChars(std::string(inputs), " "), ","))
    formatted += "@var{" + piece + "}, ";
  // Everything before the last ",": the trailing ", " goes.
  const size_t last = formatted.rfind(',');
  return last == std::string::npos ? std::string() : formatted.substr(0, last);
}

std::string FormatDescription(std::string_view description) {
  std::string text = text::ReplaceAll(std::string(description), "\n", "\n## ");
  // Every 60th step moves to the next blank and breaks the comment line there;
  // the inserted text is walked over like the rest.
  size_t p = 1;
  for (size_t c = 1; p < text.size(); ++p, ++c) {
    if (c % 60 != 0) continue;
    const size_t blank = text.find(' ', p);
    if (blank != std::string::npos) p = blank;
    text.insert(p, "\n##");
  }
  return text;
}

std::string FormatSeeAlso(std::string_view seeAlso) {
  return text::ReplaceAll(text::RemoveChars(std::string(seeAlso), " "), ",", ", ");
}

std::string FormatOutputs(std::string_view outputs) {
  if (outputs.empty()) return {};
  const size_t comma = outputs.find(',');
  if (comma == std::string_view::npos || comma == 0) return std::string(outputs) + " = ";
  return "[" + std::string(outputs) + "] = ";
}

std::string GenerateFunctionFile(const SFunctionFields& f) {
  return "## -*- texinfo -*-\n"
         "## @deftypefn {Function File} {} " + f.name + " (" + FormatInputs(f.inputs) + ")\n"
         "## " + FormatDescription(f.description) + "\n"
         "##\n"
         "## @example\n"
         "## @group\n"
         "## " + f.example + "\n"
         "##      @result{} " + f.result + "\n"
         "## @end group\n"
         "## @end example\n"
         "##\n"
         "## @seealso{" + FormatSeeAlso(f.seeAlso) + "}\n"
         "## @end deftypefn\n"
         "\n"
         "## Author: " + f.author + "\n"
         "\n"
         "function " + FormatOutputs(f.outputs) + f.name + " (" + f.inputs + ")\n"
         "\n"
         "\n"
         "endfunction\n";
}

}  // namespace quire
