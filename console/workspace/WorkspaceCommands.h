// The Octave texts of the Workspace pane's actions, built from the selected
// names and the chosen files. Pure functions: no Qt, no session.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace workspace_commands {

// The file dialogs' filter, as (description, extension) pairs in their order.
struct FileFilter {
  std::string description;  // "Matlab File (*.mat)"
  std::string extension;    // "mat"
};
const std::vector<FileFilter>& WorkspaceFileFilters();
inline constexpr std::string_view kDefaultExtension = "mat";

// The format option of save for a file extension: "fhdf5" → "float-hdf5",
// "txt" → "ascii", "bin" → "binary", "fbin" → "float-binary", others unchanged.
std::string SaveFormat(std::string_view extension);

// save("-FORMAT", "PATH", "a", "b"); — nothing when the path has no extension
// or a name is not an identifier. No names saves every variable.
std::optional<std::string> SaveCommand(std::string_view path, const std::vector<std::string>& names);
// load("PATH"); — nothing when the file has no extension.
std::optional<std::string> LoadCommand(std::string_view path);

// NEW = OLD; clear OLD; — nothing unless both are identifiers.
std::optional<std::string> RenameCommand(std::string_view newName, std::string_view oldName);
// One "NAMESUFFIX = NAME;" per name, in order — nothing when any result is not
// an identifier.
std::optional<std::vector<std::string>> DuplicateCommands(const std::vector<std::string>& names,
                                                          std::string_view suffix);
// clear a b ; — nothing for no names or a name that is not an identifier.
std::optional<std::string> DeleteCommand(const std::vector<std::string>& names);
// The question asked before deleting.
std::string DeleteQuestion(const std::vector<std::string>& names);

// The plot function of a plot command id (32850 to 32863).
std::optional<std::string> PlotFunction(int commandId);
inline constexpr int kPlotFirstId = 32850;
inline constexpr int kPlotLastId = 32863;
// figure; F(a); hold on; F(b); hold off; — nothing for no names or a bad name.
std::optional<std::string> PlotCommand(std::string_view function, const std::vector<std::string>& names);

}  // namespace workspace_commands
