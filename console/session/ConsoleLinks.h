// Links in the interpreter's output: web addresses, and the places the
// interpreter names in its messages (a parse error's file and line, the frames
// of an error's "called from" list, an error named after a function whose file
// the list shows). Pure functions: text in, ranges and targets out.
//
// A link's target is a text. Web addresses are themselves; a file position is
// "line N of file PATH", the form the editor opens; a function's position is
// "line N of function NAME", which is turned into a file position once the
// interpreter has said where NAME is defined. Anything else names a help topic.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console_links {

struct LinkRange {
  size_t begin;        // bytes of the text
  size_t end;
  std::string target;  // what a click opens
  bool operator==(const LinkRange&) const = default;
};

// Every link in `text`, in order; ranges never overlap.
std::vector<LinkRange> FindLinks(std::string_view text);

struct LinkTarget {
  enum class Kind { WebAddress, File, Function, HelpTopic };
  Kind kind = Kind::HelpTopic;
  std::string name;  // the address, the file's path, the function or the topic
  long line = 0;     // File and Function
  bool operator==(const LinkTarget&) const = default;
};

LinkTarget ParseTarget(std::string_view target);

// The editor's console message that opens `path` at `line`.
std::string FilePositionTarget(std::string_view path, long line);
std::string FunctionPositionTarget(std::string_view name, long line);

// The question that prints the file defining `name` (a subfunction "f>g" is
// in the file of "f"), and the file read from its answer; nothing when the
// answer names no file of Octave code (a built-in function, an unknown name).
std::string FunctionFileQuery(std::string_view name);
std::optional<std::string> FunctionFileOfAnswer(std::string_view answer);

}  // namespace console_links
