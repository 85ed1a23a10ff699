// Cuts the interpreter's output stream into pieces that patterns can be matched
// on: whole lines, or text that ends with a prompt. The rest of a line is held
// until more arrives or the output goes quiet, so that a pattern split between
// two reads is still seen whole.
#pragma once

#include <string>
#include <string_view>

class COutputSegmenter {
 public:
  // Adds output; returns what can be interpreted now (possibly empty).
  std::string Feed(std::string_view output);
  // Everything still held, for when the output has gone quiet.
  std::string Flush();
  bool HasPending() const { return !m_pending.empty(); }

 private:
  std::string m_pending;
  size_t m_lineEnd = 0;  // just after the last line feed in m_pending; 0 when none
};
