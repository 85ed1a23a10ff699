#include "editor/app/LinkRules.h"

#include <algorithm>

#include "common/OctaveQuote.h"
#include "common/OctaveText.h"
#include "common/Text.h"
#include "editor/view/CallTipRules.h"

namespace quire_link {

namespace {

using text::Contains;
using text::StartsWith;
using text::TrimLeft;
using text::TrimRight;

std::string_view TextAfter(std::string_view s, std::string_view marker) {
  const size_t at = s.find(marker);
  return at == std::string_view::npos ? std::string_view() : s.substr(at + marker.size());
}

std::string Quoted(std::string_view s) { return octave_quote::EscapeSingle(s); }

}  // namespace

MessageKind ClassifyMessage(std::string_view s) {
  if (Contains(s, "UpdatePreferences")) return MessageKind::UpdatePreferences;
  if (Contains(s, "parameters:")) return MessageKind::Help;
  if (Contains(s, "completion:")) return MessageKind::Completion;
  return MessageKind::Other;
}

SHelpAnswer ParseHelpAnswer(std::string_view s) {
  SHelpAnswer answer;
  bool describing = false;
  // The answer starts after the marker, so a usage line right behind it counts.
  for (const std::string& piece : text::SplitNonEmpty(TextAfter(s, "parameters:"), "\n")) {
    const std::string_view line = TrimLeft(piece);
    if (std::optional<std::string> usage = quire_tips::UsageOf(line)) {
      answer.lines.push_back(std::move(*usage));
      answer.html += "<font color=#000000><b>" + text::EscapeHtml(answer.lines.back()) + "</b></font>\n";
    } else if (!answer.lines.empty()) {
      if (!describing) answer.html += "<hr><font color=#202050>\n";
      describing = true;
      answer.html += text::EscapeHtml(TrimRight(line)) + "\n";
      if (text::EndsWith(TrimRight(line), ".")) break;
    }
  }
  return answer;
}

std::string DescribeTipHtml(const SHelpAnswer& answer, std::string_view word) {
  if (answer.html.empty())
    return "'<b>" + text::EscapeHtml(word) + "</b>' is not a command or has no description.";
  return answer.html + "</font>";
}

std::vector<std::string> ParseCompletionWords(std::string_view s) {
  const std::vector<std::string> pieces = text::SplitNonEmpty(s, "\n");
  std::vector<std::string> words;
  // The first piece is the "completion:" line, the last the prompt.
  for (size_t i = 1; i + 1 < pieces.size(); ++i) {
    std::string word = text::Trim(pieces[i]);
    if (!word.empty()) words.push_back(std::move(word));
  }
  return words;
}

std::optional<SConsoleLink> ParseConsoleLink(std::string_view s) {
  if (!StartsWith(s, "line ") || !Contains(s, "file ")) return std::nullopt;
  SConsoleLink link;
  link.file = text::Trim(TextAfter(s, "file "));
  const std::string_view number = s.substr(5);
  link.line = text::ParseLeadingInt(number.substr(0, number.find(' ')));
  return link;
}

bool IsErrorMessage(std::string_view s) { return Contains(s, "error:"); }

bool IsValueMessage(std::string_view s) { return StartsWith(s, "varvalue:"); }

std::string ValueTipHtml(std::string_view s, std::string_view tipWord) {
  std::string tip(s.substr(std::min<size_t>(9, s.size())));
  // Only the name the console marked in bold: an "ans" inside a value or a
  // longer name stays as it is.
  if (Contains(tip, "<b>ans </b>"))
    tip = text::ReplaceAll(tip, "<b>ans </b>", "<b>" + text::EscapeHtml(tipWord) + " </b>");
  return tip;
}

SDebugMessage ParseDebugMessage(std::string_view s) {
  SDebugMessage message;
  // A text that only mentions "debug" is not a stop, and a stop in a file
  // named after "dbended" is not an end.
  message.stop = Contains(s, "debug") && Contains(s, "Line=") && Contains(s, "Path=") &&
                 !StartsWith(s, "dbended");
  if (!message.stop) {
    message.ended = Contains(s, "dbended");
    return message;
  }
  const std::string_view afterPath = TextAfter(s, "Path=");
  message.path = text::Trim(afterPath.substr(0, afterPath.find('\n')));
  const std::string_view afterLine = TextAfter(s, "Line=");
  message.line = text::ParseLeadingInt(afterLine.substr(0, afterLine.find('\n')));
  return message;
}

ErrorAction DecideErrorAction(std::string_view errorText, std::string_view lastTargetName) {
  const std::string_view error = TrimLeft(errorText);
  if (!lastTargetName.empty()) {
    const std::string name(lastTargetName);
    if (StartsWith(error, "error: `" + name + "' undefined") ||
        StartsWith(error, "error: '" + name + "' undefined"))
      return ErrorAction::OfferPathFix;
  }
  if (Contains(error, "add_breakpoint:") || Contains(error, "add_breakpoints_in_function:"))
    return ErrorAction::ClearBreakpointsAndOffer;
  return ErrorAction::None;
}

std::string FolderOf(std::string_view path) {
#ifdef _WIN32
  const size_t last = path.find_last_of("/\\");
#else
  const size_t last = path.rfind('/');
#endif
  if (last == std::string_view::npos) return {};
  // A file at the root lives in "/", not in "".
  return last == 0 ? std::string(path.substr(0, 1)) : std::string(path.substr(0, last));
}

std::string RunFileCommand(std::string_view path) {
  const std::string_view file = path.substr(path.find_last_of('/') + 1);
  if (text::EndsWith(file, ".m")) {
    const std::string_view name = file.substr(0, file.size() - 2);
    if (octave_text::IsIdentifier(name)) return std::string(name);
  }
  return "run(" + octave_quote::SingleQuoted(path) + ")";
}

std::string SetBreakpointCommand(std::string_view name, long line, bool debugging) {
  const std::string number = std::to_string(line);
  return debugging ? "dbstop(" + number + ")" : "dbstop('" + Quoted(name) + "'," + number + ")";
}

std::string ClearBreakpointCommand(std::string_view name, long line, bool debugging) {
  const std::string number = std::to_string(line);
  return debugging ? "dbclear(" + number + ")" : "dbclear('" + Quoted(name) + "'," + number + ")";
}

std::string ClearFileBreakpointsCommand(std::string_view name) {
  const std::string quoted = Quoted(name);
  return "dbclear('" + quoted + "',dbstatus('" + quoted + "').line)";
}

std::string ChangeDirectoryCommand(std::string_view folder) { return "cd '" + Quoted(folder) + "'"; }

}  // namespace quire_link
