#include "console/session/CommandClassifier.h"

#include "common/Text.h"

using text::Contains;
using text::EndsWith;
using text::StartsWith;

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
  } else if ((StartsWith(t, "cd ") || StartsWith(t, "chdir ")) && !own) {
    c.kind = CommandKind::ChangeDirectory;
    c.argument = text::RemoveChars(t.substr(t.find(' ') + 1), "'\"");
  } else if ((StartsWith(t, "pkg install") || StartsWith(t, "pkg uninstall")) && own) {
    c.kind = CommandKind::PackageChange;
    c.refreshTest = true;
  } else if ((StartsWith(t, "rmpath") || StartsWith(t, "addpath")) && own) {
    c.kind = CommandKind::PathChange;
    c.refreshTest = true;
  } else if (StartsWith(t, "getvalue:")) {
    c.kind = CommandKind::Value;
    c.text = t.substr(9);
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
