#include "console/session/ValueRequest.h"

#include <algorithm>

#include "common/Text.h"
#include "common/OctaveText.h"

namespace {

std::string EscapeHtml(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

bool IsListedVariableOrField(std::string_view expression, const std::vector<ListRow>& workspaceRows) {
  const std::vector<std::string> parts = text::SplitNonEmpty(expression, ".");
  // Empty parts ("a..b", "a.") would have been dropped: count the dots too.
  if (parts.empty() || std::count(expression.begin(), expression.end(), '.') + 1 !=
                           static_cast<long>(parts.size()))
    return false;
  if (!std::all_of(parts.begin(), parts.end(),
                   [](const std::string& part) { return octave_text::IsIdentifier(part); }))
    return false;
  return std::any_of(workspaceRows.begin(), workspaceRows.end(), [&](const ListRow& row) {
    return !row.columns.empty() && row.columns[0] == parts.front();
  });
}

std::string ValueTipText(std::string collected) {
  collected = text::ReplaceAll(std::move(collected), "\ndebug> ", "");
  collected = text::ReplaceAll(std::move(collected), "\n>> ", "");
  while (text::EndsWith(collected, "\n")) collected.pop_back();

  // Cut at a line end within both bounds, never inside a character.
  size_t keep = 0;
  size_t lines = 0;
  while (keep < collected.size() && lines < kValueTipMaxLines) {
    const size_t end = std::min(collected.find('\n', keep), collected.size());
    if (end > kValueTipMaxBytes) {
      if (keep == 0) keep = text::CompleteUtf8Prefix(std::string_view(collected).substr(0, kValueTipMaxBytes));
      break;
    }
    keep = end == collected.size() ? end : end + 1;
    ++lines;
  }
  std::string note;
  if (keep < collected.size()) {
    const long more = std::count(collected.begin() + static_cast<long>(keep), collected.end(), '\n') + 1;
    note = "\n<i>… cut: " + std::to_string(more) + (more == 1 ? " more line" : " more lines") + "</i>";
    collected.resize(keep);
    while (text::EndsWith(collected, "\n")) collected.pop_back();
  }

  std::string html = EscapeHtml(collected);
  const size_t equals = html.find('=');
  if (equals != std::string::npos && equals > 0 && html.find('\n') > equals) {
    const std::string name = html.substr(0, equals);
    html = "<b>" + name + "</b>" + html.substr(equals);
  }
  return "<pre>" + html + note + "</pre>";
}
