#include "common/OctaveQuote.h"

namespace octave_quote {

namespace {

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string EscapeSingle(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  for (char c : s) {
    switch (c) {
      case '\'': out += "''"; break;
      case '\n': out += "' char(10) '"; break;
      case '\r': out += "' char(13) '"; break;
      default: out += c;
    }
  }
  return out;
}

std::string SingleQuoted(std::string_view s) {
  const std::string literal = "'" + EscapeSingle(s) + "'";
  return HasLineBreak(s) ? "[" + literal + "]" : literal;
}

std::string DoubleQuoted(std::string_view s) {
  std::string out = "\"";
  out.reserve(s.size() + 2);
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace octave_quote
