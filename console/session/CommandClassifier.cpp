#include "console/session/CommandClassifier.h"

#include "common/Text.h"

#include <optional>

using text::Contains;
using text::EndsWith;
using text::StartsWith;

namespace {

// The text of a quoted Octave string: 'it''s' or "a\"b" give it's and a"b.
std::optional<std::string> Unquote(std::string_view s) {
  if (s.size() < 2 || (s.front() != '\'' && s.front() != '"') || s.back() != s.front())
    return std::nullopt;
  const char quote = s.front();
  std::string inner;
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    if (s[i] == quote && i + 2 < s.size() && s[i + 1] == quote) {
      ++i;
    } else if (quote == '"' && s[i] == '\\' && i + 2 < s.size()) {
      ++i;
    } else if (s[i] == quote) {
      return std::nullopt;  // the string ends early: more than one argument
    }
    inner += s[i];
  }
  return inner;
}

}  // namespace

std::optional<std::string> TypedDirectory(std::string_view typed) {
  std::string t = text::Trim(typed);
  while (!t.empty() && (t.back() == ';' || t.back() == ' ' || t.back() == '\t')) t.pop_back();
  for (std::string_view name : {"cd", "chdir"}) {
    if (!StartsWith(t, name)) continue;
    const std::string_view after = std::string_view(t).substr(name.size());
    if (!after.empty() && after.front() != ' ' && after.front() != '(') return std::nullopt;
    const std::string rest = text::Trim(after);
    // "cd" alone goes home, as the interpreter's own does.
    if (rest.empty() || rest == "()") return std::string("~");
    if (rest.front() == '(') {
      if (rest.back() != ')') return std::nullopt;
      return Unquote(text::Trim(std::string_view(rest).substr(1, rest.size() - 2)));
    }
    if (const auto quoted = Unquote(rest)) return quoted;
    return text::RemoveChars(rest, "'\"");
  }
  return std::nullopt;
}

ClassifiedCommand ClassifyCommand(std::string_view input) {
  ClassifiedCommand c;
  c.text = std::string(input);
  const std::string& t = c.text;
  const bool own = EndsWith(t, kOwnEnding);

  if (t == "exit" || t == "quit") {
    c.kind = CommandKind::Exit;
  } else if (StartsWith(t, "clear")) {
    c.kind = CommandKind::Clear;
    c.refreshTest = true;
  } else if (t == "clc" || t == "home") {
    c.kind = CommandKind::ClearConsole;
  } else if (StartsWith(t, "doc ") || t == "doc") {
    c.kind = CommandKind::Doc;
    const std::string topic = t.substr(3);
    c.argument = text::Trim(own ? topic.substr(0, topic.find(kOwnEnding)) : topic);
  } else if (t == kPathQuery) {
    c.kind = CommandKind::PathQuery;
  } else if (t == kPackageQuery) {
    c.kind = CommandKind::PackageQuery;
  } else if (StartsWith(t, "help ")) {
    c.kind = own ? CommandKind::EditorHelp : CommandKind::Help;
    c.silence = own;
  } else if (const auto folder = own ? std::nullopt : TypedDirectory(t)) {
    c.kind = CommandKind::ChangeDirectory;
    c.argument = *folder;
  } else if ((StartsWith(t, "pkg install") || StartsWith(t, "pkg uninstall") ||
              StartsWith(t, "pkg load") || StartsWith(t, "pkg unload")) &&
             own) {
    c.kind = CommandKind::PackageChange;
    c.refreshTest = true;
  } else if ((StartsWith(t, "rmpath") || StartsWith(t, "addpath")) && own) {
    c.kind = CommandKind::PathChange;
    c.refreshTest = true;
  } else if (StartsWith(t, "getvalue:")) {
    c.kind = CommandKind::Value;
    c.text = t.substr(9);
    c.silence = true;  // a tip only reads: no echo, no history entry
  } else if (StartsWith(t, "completion_matches_editor")) {
    c.kind = CommandKind::EditorCompletion;
    c.text = "completion_matches('')";
    c.silence = true;
  } else if (StartsWith(t, "completion_matches") && EndsWith(t, "###")) {
    c.kind = CommandKind::Completion;
  } else if (StartsWith(t, kMatrixExportStart) && EndsWith(t, kMatrixExportEnd) &&
             Contains(t, std::string(kExchangeFileName) + "', ")) {
    // Expected when dispatched, so that the answer of a command queued before
    // it is never taken for the export's.
    c.kind = CommandKind::MatrixExport;
  } else {
    c.refreshTest = true;
  }
  return c;
}

bool MayChangeWorkspace(std::string_view t) {
  return t != WORKSPACE_QUERY && !Contains(t, "matrix_temp.csv") &&
         !Contains(t, "while(length(dbstatus") && !Contains(t, "dbclear(") &&
         !Contains(t, "dbstop(");
}
