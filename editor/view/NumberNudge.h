// Changing the number at the caret by the cell toolbar's step or factor:
// which text is the number, the new value, and how it is written back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quire_cells {

enum class NudgeOp { Increment, Decrement, Multiply, Divide };

// The whole of `text` as a decimal number ("2.5", "-3", ".5"), whatever the
// locale; nullopt when it is not one.
std::optional<double> ParseDecimal(std::string_view text);

// `value` written as "%f" does, with trailing zeros and then a trailing "."
// removed: 3.5 gives "3.5", 5 gives "5".
std::string FormatNudged(double value);

// Where the number lies in the word found with the number characters
// "0123456789.-": a "-" right after a name, a closing bracket or a digit is
// the operator, not the sign ("x-1" holds the number 1).
struct SNumberText {
  size_t offset = 0;
  std::string text;
};
std::optional<SNumberText> NumberInWord(std::string_view word, char before);

// The new text of `number` for `op` with the amount's text (step or factor);
// nullopt when nothing is to change: not a number, an amount that is not one,
// or a divide by 0.
std::optional<std::string> Nudged(std::string_view number, NudgeOp op, std::string_view amount);

}  // namespace quire_cells
