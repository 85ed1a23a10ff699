#include "editor/app/DocumentRules.h"

#include <algorithm>
#include <cctype>
#include <set>

#include <sys/stat.h>

#include "common/OctaveText.h"
#include "common/Text.h"

namespace quire {

namespace {

// "function " as a word of its own, so "endfunction " does not count.
size_t FindFunctionKeyword(std::string_view line) {
  for (size_t at = line.find("function "); at != std::string_view::npos;
       at = line.find("function ", at + 1)) {
    if (at == 0 || !octave_text::IsNameCharacter(line[at - 1])) return at;
  }
  return std::string_view::npos;
}

std::string Lower(std::string s) {
  std::ranges::transform(s, s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

}  // namespace

std::string ProposeFunctionName(std::string_view text) {
  const std::string marked = text::ReplaceAll(std::string(text), "%", "#");
  for (const std::string& line : text::SplitLines(marked)) {
    const size_t keyword = FindFunctionKeyword(line);
    if (keyword == std::string::npos) continue;
    const size_t comment = line.find('#');
    if (comment != std::string::npos && comment < keyword) continue;
    std::string declaration = line.substr(keyword + 9);
    // The name ends at its parameter list; without one, at a comment or the
    // line's end.
    declaration = declaration.substr(0, declaration.find_first_of("(#\r"));
    declaration = text::RemoveChars(declaration, " \t");
    const size_t equals = declaration.rfind('=');
    if (equals != std::string::npos) declaration.erase(0, equals + 1);
    return octave_text::IsIdentifier(declaration) ? declaration : std::string();
  }
  return {};
}

std::string NextUntitledTitle(const std::vector<std::string>& titles) {
  long highest = 0;
  for (const std::string& title : titles) {
    if (text::StartsWith(title, "Untitled"))
      highest = std::max(highest, text::ParseLeadingInt(std::string_view(title).substr(8)));
  }
  return "Untitled" + std::to_string(highest + 1);
}

std::string ScriptNameOf(std::string_view title) {
  if (text::EndsWith(title, "*")) title.remove_suffix(1);
  const std::string_view name = title.substr(0, title.find('.'));
  return std::string(name.empty() ? title : name);
}

std::string FrameCaption(const std::optional<std::string>& activeTitle) {
  return activeTitle ? "Quire - [" + *activeTitle + "]" : std::string("Quire");
}

SPlacement PlaceWindow(const SRect& saved, const SRect& desktop) {
  if (saved.cx == -1 && saved.cy == -1) return {true, desktop};
  SRect r = saved;
  const int right = desktop.x + desktop.cx;
  const int bottom = desktop.y + desktop.cy;
  if (r.x < desktop.x || r.x >= right) r.x = desktop.x;
  if (r.y < desktop.y || r.y >= bottom) r.y = desktop.y;
  if (r.cx < 200 || r.x + r.cx > right) {
    r.x = desktop.x;
    r.cx = desktop.cx;
  }
  if (r.cy < 200 || r.y + r.cy > bottom) {
    r.y = desktop.y;
    r.cy = desktop.cy - 50;
  }
  return {false, r};
}

SRect SavedPlacement(bool maximized, const SRect& frame) {
  return maximized ? SRect{0, 0, -1, -1} : frame;
}

TabSide TabSideFromId(int id) {
  switch (id) {
    case static_cast<int>(TabSide::Right):
      return TabSide::Right;
    case static_cast<int>(TabSide::Left):
      return TabSide::Left;
    case static_cast<int>(TabSide::Bottom):
      return TabSide::Bottom;
    default:
      return TabSide::Top;
  }
}

std::vector<std::string> CleanHistory(const std::vector<std::string>& entries) {
  std::vector<std::string> cleaned;
  for (const std::string& entry : entries) {
    const std::string_view kept = text::TrimLeft(entry);
    if (!kept.empty()) cleaned.emplace_back(kept);
  }
  return cleaned;
}

std::vector<std::string> FilesToReopen(const std::vector<std::string>& listed,
                                       const std::vector<std::string>& alreadyOpen,
                                       const std::function<bool(const std::string&)>& exists) {
  std::set<std::string> taken;
  for (const std::string& path : alreadyOpen) taken.insert(Lower(path));
  std::vector<std::string> result;
  for (const std::string& path : listed) {
    if (!exists(path) || !taken.insert(Lower(path)).second) continue;
    result.push_back(path);
  }
  return result;
}

std::optional<long> SavedCaretPosition(const std::string& path,
                                       const std::vector<std::string>& openFiles,
                                       const std::vector<std::string>& positions) {
  const auto found = std::ranges::find(openFiles, path);
  if (found == openFiles.end()) return std::nullopt;
  const size_t index = static_cast<size_t>(found - openFiles.begin());
  if (index >= positions.size()) return std::nullopt;
  return std::max(0L, text::ParseLeadingInt(positions[index]));
}

SSessionLists SessionListsOf(const std::vector<SOpenDocument>& tabs) {
  SSessionLists lists;
  for (const SOpenDocument& tab : tabs) {
    if (tab.path.empty()) continue;
    lists.files.push_back(tab.path);
    lists.positions.push_back(std::to_string(tab.caret));
  }
  return lists;
}

FileKind KindOfFileToOpen(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return FileKind::Missing;
  if (!S_ISREG(info.st_mode)) return FileKind::NotAFile;
  return info.st_size > kAskBeforeOpeningBytes ? FileKind::Large : FileKind::Regular;
}

}  // namespace quire
