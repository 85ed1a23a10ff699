#include "console/files/FileCommands.h"

#include <cctype>

#include "common/OctaveQuote.h"
#include "common/OctaveText.h"
#include "common/Text.h"

namespace file_commands {

namespace {

char Fold(char c, bool ignoreCase) {
  return ignoreCase ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
}

// Glob match with backtracking to the last "*".
bool Glob(std::string_view name, std::string_view pattern, bool ignoreCase) {
  size_t n = 0, p = 0;
  size_t starAt = std::string_view::npos, resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || Fold(pattern[p], ignoreCase) == Fold(name[n], ignoreCase))) {
      ++p;
      ++n;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

const char* const kDataExtensions[] = {".mat", ".hdf5", ".fhdf5", ".bin", ".fbin", ".zip"};

// From the last "." on; the whole name when it has none.
std::string_view Extension(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(dot);
}

bool IsDataFile(std::string_view name) {
  for (const char* extension : kDataExtensions) {
    if (Extension(name) == extension) return true;
  }
  return false;
}

std::string Quoted(const std::string& name) { return octave_quote::SingleQuoted(name); }

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern, bool ignoreCase) {
  if (Glob(name, pattern, ignoreCase)) return true;
  return text::EndsWith(pattern, ".*") && name.find('.') == std::string_view::npos &&
         Glob(name, pattern.substr(0, pattern.size() - 2), ignoreCase);
}

std::vector<std::string> FilterPatterns(std::string_view filter) {
  std::vector<std::string> patterns = text::SplitNonEmpty(filter, ";");
  for (std::string& pattern : patterns) pattern = text::Trim(pattern);
  std::erase_if(patterns, [](const std::string& pattern) { return pattern.empty(); });
  return patterns;
}

bool MatchesPatterns(std::string_view name, const std::vector<std::string>& patterns) {
  if (patterns.empty()) return true;
  for (const std::string& pattern : patterns) {
    if (MatchesPattern(name, pattern, true)) return true;
  }
  return false;
}

bool MatchesFilter(std::string_view name, std::string_view filter) {
  return MatchesPatterns(name, FilterPatterns(filter));
}

std::string SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKb = 1024, kMb = kKb * 1024, kGb = kMb * 1024;
  if (bytes < kMb) return std::to_string(bytes / kKb + 1) + " KB";
  if (bytes < kGb) return std::to_string(bytes / kMb) + " MB";
  return std::to_string(bytes / kGb) + " GB";
}

std::string FallbackTypeName(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return "File";
  std::string extension(name.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension + " File";
}

bool IsIgnoredChange(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.front() == '~') return true;
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text::Contains(lower, ".tmp") || text::Contains(lower, ".bak");
}

OpenPlan PlanOpen(const std::vector<Selected>& selection) {
  OpenPlan plan;
  for (const Selected& row : selection) {
    if (row.folder) {
      plan.folder = row.name;
      plan.enterFolder = true;
      break;
    }
    plan.command += (IsDataFile(row.name) ? "load " : "edit ") + Quoted(row.name) + "; ";
  }
  return plan;
}

std::string OpenAsTextCommand(const std::vector<Selected>& selection) {
  std::string command;
  for (const Selected& row : selection) {
    if (!row.folder) command += "edit " + Quoted(row.name) + "; ";
  }
  return command;
}

std::string LoadCommand(const std::vector<Selected>& selection) {
  std::string command;
  for (const Selected& row : selection) command += "load " + Quoted(row.name) + "; ";
  return command;
}

std::string RunCommand(const std::string& folder, const std::string& name) {
  const size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  if (octave_text::IsIdentifier(stem)) return "run " + stem;
  const std::string path = folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
  return "run(" + Quoted(path) + ")";
}

std::string DuplicateName(const std::string& suffix, const std::string& name) {
  return suffix + " " + name;
}

std::string DeleteQuestion(const std::vector<Selected>& selection) {
  if (selection.size() == 1) return "Are you sure you want delete '" + selection.front().name + "'?";
  return "Are you sure you want delete selected files?";
}

}  // namespace file_commands
