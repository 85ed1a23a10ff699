#include "console/workspace/WorkspaceCommands.h"

#include <algorithm>
#include <array>

#include "common/OctaveQuote.h"
#include "common/OctaveText.h"
#include "common/Text.h"

namespace workspace_commands {

namespace {

using octave_quote::DoubleQuoted;
using octave_text::IsIdentifier;
using text::FileExtension;

bool AllIdentifiers(const std::vector<std::string>& names) {
  return std::all_of(names.begin(), names.end(),
                     [](const std::string& name) { return IsIdentifier(name); });
}

}  // namespace

const std::vector<FileFilter>& WorkspaceFileFilters() {
  static const std::vector<FileFilter> filters = {
      {"Matlab File (*.mat)", "mat"},        {"Hdf5 Format (*.hdf5)", "hdf5"},
      {"Hdf5 Single Precision (*.fhdf5)", "fhdf5"}, {"Ascii File (*.txt)", "txt"},
      {"Binary (*.bin)", "bin"},             {"Float Binary (*.fbin)", "fbin"},
      {"Zip Format (*.zip)", "zip"}};
  return filters;
}

std::string SaveFormat(std::string_view extension) {
  if (extension == "fhdf5") return "float-hdf5";
  if (extension == "txt") return "ascii";
  if (extension == "bin") return "binary";
  if (extension == "fbin") return "float-binary";
  return std::string(extension);
}

std::optional<std::string> SaveCommand(std::string_view path, const std::vector<std::string>& names) {
  const std::string extension = FileExtension(path);
  if (extension.empty() || !AllIdentifiers(names)) return std::nullopt;
  // The extension is the user's text too: it stays inside its quotes.
  std::string command = "save(" + DoubleQuoted("-" + SaveFormat(extension)) + ", " + DoubleQuoted(path);
  if (!names.empty()) {
    // The variable list is comma-separated without blanks: "a","b".
    std::string list;
    for (const std::string& name : names) list += DoubleQuoted(name) + ",";
    list.pop_back();
    command += ", " + list;
  }
  return command + ");";
}

std::optional<std::string> LoadCommand(std::string_view path) {
  if (FileExtension(path).empty()) return std::nullopt;
  return "load(" + DoubleQuoted(path) + ");";
}

std::optional<std::string> RenameCommand(std::string_view newName, std::string_view oldName) {
  if (!IsIdentifier(newName) || !IsIdentifier(oldName)) return std::nullopt;
  const std::string to(newName), from(oldName);
  return to + " = " + from + "; clear " + from + ";";
}

std::optional<std::vector<std::string>> DuplicateCommands(const std::vector<std::string>& names,
                                                          std::string_view suffix) {
  std::vector<std::string> commands;
  for (const std::string& name : names) {
    const std::string copy = name + std::string(suffix);
    if (!IsIdentifier(name) || !IsIdentifier(copy)) return std::nullopt;
    commands.push_back(copy + " = " + name + ";");
  }
  return commands;
}

std::optional<std::string> DeleteCommand(const std::vector<std::string>& names) {
  if (names.empty() || !AllIdentifiers(names)) return std::nullopt;
  std::string list;
  for (const std::string& name : names) list += name + " ";
  return "clear " + list + ";";
}

std::string DeleteQuestion(const std::vector<std::string>& names) {
  if (names.size() == 1) return "Are you sure you want delete '" + names.front() + "'?";
  return "Are you sure you want delete selected variables?";
}

std::optional<std::string> PlotFunction(int commandId) {
  // Indexed by id - 32850.
  static constexpr std::array<const char*, 14> kFunctions = {
      "plot",  "bar", "imagesc", "stem",  "stairs", "hist",    "pie",
      "area",  "barh", "pareto", "rose",  "contour", "image",  "pcolor"};
  if (commandId < kPlotFirstId || commandId > kPlotLastId) return std::nullopt;
  return kFunctions[static_cast<size_t>(commandId - kPlotFirstId)];
}

std::optional<std::string> PlotCommand(std::string_view function,
                                       const std::vector<std::string>& names) {
  if (names.empty() || !AllIdentifiers(names) || !IsIdentifier(function)) return std::nullopt;
  const std::string f(function);
  std::string command = "figure; " + f + "(" + names.front() + ");";
  if (names.size() > 1) {
    command += " hold on;";
    for (size_t i = 1; i < names.size(); ++i) command += " " + f + "(" + names[i] + ");";
  }
  return command + " hold off;";
}

}  // namespace workspace_commands
