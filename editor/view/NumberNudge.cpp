#include "editor/view/NumberNudge.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace quire_cells {

std::optional<double> ParseDecimal(std::string_view text) {
  // from_chars takes no "+"; a leading "." needs a digit before it.
  std::string digits(text);
  if (digits.find_first_of("0123456789") == std::string::npos) return std::nullopt;
  const bool negative = digits[0] == '-';
  if (negative) digits.erase(0, 1);
  if (!digits.empty() && digits[0] == '.') digits.insert(0, "0");
  if (!digits.empty() && digits.back() == '.') digits += '0';  // "2." is 2
  if (digits.empty() || !(std::isdigit(static_cast<unsigned char>(digits[0])))) return std::nullopt;
  double value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, std::chars_format::fixed);
  if (error != std::errc() || stop != end) return std::nullopt;
  return negative ? -value : value;
}

std::string FormatNudged(double value) {
  char buffer[400];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  std::string text = error == std::errc() ? std::string(buffer, end) : std::string("0");
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  // "-0.000000" of a tiny negative value is 0.
  return text == "-0" ? std::string("0") : text;
}

std::optional<SNumberText> NumberInWord(std::string_view word, char before) {
  const bool operand = std::isalnum(static_cast<unsigned char>(before)) || before == '_' || before == ')' ||
                       before == ']' || before == '}' || before == '\'';
  size_t offset = 0;
  if (!word.empty() && word[0] == '-' && operand) offset = 1;
  const std::string_view number = word.substr(offset);
  if (!ParseDecimal(number)) return std::nullopt;
  return SNumberText{offset, std::string(number)};
}

std::optional<std::string> Nudged(std::string_view number, NudgeOp op, std::string_view amount) {
  const std::optional<double> x = ParseDecimal(number);
  const std::optional<double> by = ParseDecimal(amount);
  if (!x || !by) return std::nullopt;
  double result = *x;
  switch (op) {
    case NudgeOp::Increment: result = *x + *by; break;
    case NudgeOp::Decrement: result = *x - *by; break;
    case NudgeOp::Multiply: result = *x * *by; break;
    case NudgeOp::Divide:
      if (*by == 0) return std::nullopt;
      result = *x / *by;
      break;
  }
  if (!std::isfinite(result)) return std::nullopt;
  return FormatNudged(result);
}

}  // namespace quire_cells
