#include "console/files/CurrentDirectory.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/Ini.h"
#include "common/OctaveQuote.h"
#include "common/Text.h"
#include "common/UserDirs.h"
#include "console/session/SessionViews.h"

namespace current_directory {

namespace {

#ifdef _WIN32
// Windows takes either slash; paths are written with backslashes.
constexpr char kSeparator = '\\';
constexpr std::string_view kSeparators = "\\/";
#else
constexpr char kSeparator = '/';
constexpr std::string_view kSeparators = "/";
#endif

bool IsSeparator(char c) { return kSeparators.find(c) != std::string_view::npos; }

// Length of the root that starts `path`: "/" here; on Windows "C:\", a share
// "\\server\share\" or the current drive's "\". 0 for a relative path.
size_t RootLength(std::string_view path) {
#ifdef _WIN32
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return 3;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    const size_t server = path.find_first_of(kSeparators, 2);
    if (server == std::string_view::npos) return path.size();
    const size_t share = path.find_first_of(kSeparators, server + 1);
    return share == std::string_view::npos ? path.size() : share + 1;
  }
#endif
  return !path.empty() && IsSeparator(path.front()) ? 1 : 0;
}

bool IsAbsolute(std::string_view path) { return RootLength(path) > 0; }

std::string Join(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (joined.empty() || !IsSeparator(joined.back())) joined += kSeparator;
  joined += name;
  return joined;
}

// The root with the platform's separators and a separator at its end.
std::string CleanRoot(std::string_view root) {
  std::string clean;
  for (const char c : root) clean += IsSeparator(c) ? kSeparator : c;
  if (!clean.empty() && clean.back() != kSeparator) clean += kSeparator;
  return clean;
}

}  // namespace

std::string CleanPath(std::string_view path) {
  const size_t rootLength = RootLength(path);
  std::string rest(path.substr(rootLength));
  std::replace_if(rest.begin(), rest.end(), IsSeparator, kSeparator);
  std::vector<std::string> steps;
  for (const std::string& step : text::SplitNonEmpty(rest, std::string_view(&kSeparator, 1))) {
    if (step == ".") continue;
    if (step == "..") {
      if (!steps.empty() && steps.back() != "..") {
        steps.pop_back();
      } else if (rootLength == 0) {
        steps.push_back(step);
      }
      continue;
    }
    steps.push_back(step);
  }
  std::string clean = CleanRoot(path.substr(0, rootLength));
  clean += text::Join(steps, std::string_view(&kSeparator, 1));
  return clean.empty() ? std::string(".") : clean;
}

Resolution Resolve(std::string_view text, std::string_view saved, std::string_view home) {
  const std::string typed = text::Trim(text);
  if (typed == ".") return {Resolution::Kind::ShowSaved, std::string(saved)};
  if (typed == "..") {
    const std::string savedClean = CleanPath(saved);
    // The root and a folder without a separator have no parent to go to.
    const size_t root = RootLength(savedClean);
    if (savedClean.size() <= root || (root == 0 && savedClean.find(kSeparator) == std::string::npos))
      return {Resolution::Kind::ShowSaved, std::string(saved)};
  }
  std::string path;
  if (typed == "~" || (typed.size() >= 2 && typed[0] == '~' && IsSeparator(typed[1]))) {
    path = Join(home, typed.substr(std::min<size_t>(typed.size(), 2)));
  } else if (IsAbsolute(typed)) {
    path = typed;
  } else {
    path = Join(saved, typed);
  }
  return {Resolution::Kind::Target, CleanPath(path)};
}

bool AddRecent(std::vector<std::string>& recent, const std::string& folder,
               const std::function<bool(const std::string&, const std::string&)>& sameFolder) {
  for (const std::string& entry : recent) {
    if (sameFolder(entry, folder)) return false;
  }
  recent.push_back(folder);
  return true;
}

bool TrimRecent(std::vector<std::string>& recent, int maxDirs) {
  const size_t keep = static_cast<size_t>(std::max(maxDirs, 0));
  if (recent.size() <= keep) return false;
  recent.erase(recent.begin(), recent.end() - static_cast<std::ptrdiff_t>(keep));
  return true;
}

bool RemoveRecent(std::vector<std::string>& recent, const std::string& folder) {
  const auto found = std::find(recent.begin(), recent.end(), folder);
  if (found == recent.end()) return false;
  recent.erase(found);
  return true;
}

std::string CannotChangeMessage(const std::string& folder) {
  return "Cannot CD to \n" + folder + "\n(Name is not a directory)";
}

std::string ChangeCommand(const std::string& folder) {
  return "cd " + octave_quote::SingleQuoted(folder) + ";###";
}

}  // namespace current_directory

namespace {

bool IsFolder(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Two texts name one folder when they resolve to the same real path.
bool SameFolder(const std::string& a, const std::string& b) {
  return a == b || LongPathName(a) == LongPathName(b);
}

}  // namespace

CDirectoryChanger::CDirectoryChanger(Services services) : m_services(std::move(services)) {}

std::string CDirectoryChanger::SavedFolder() const {
  return m_services.settings->GetString("Octave", "workpath", m_services.defaultFolder());
}

void CDirectoryChanger::FillBox() {
  std::vector<std::string> recent;
  m_services.userData->GetArray(current_directory::kRecentKey, recent,
                                current_directory::kRecentSeparator);
  m_services.box->SetItems(recent);
  m_services.box->SetText(SavedFolder());
}

int CDirectoryChanger::Change(const std::string& text) {
  using current_directory::Resolution;
  const std::string saved = SavedFolder();
  const std::string typed = text::Trim(text).empty() ? m_services.defaultFolder() : text;
  const Resolution resolved = current_directory::Resolve(typed, saved, m_services.home);
  if (resolved.kind == Resolution::Kind::ShowSaved) {
    m_services.box->SetText(saved);
    return 0;
  }
  // A file is no folder to change into, whatever its name.
  if (!IsFolder(resolved.folder)) return Refuse(resolved.folder);

  m_services.settings->SetString("Octave", "workpath", resolved.folder);
  m_services.enqueue(current_directory::ChangeCommand(resolved.folder));
  Remember(resolved.folder);
  if (m_services.changed) m_services.changed(resolved.folder);
  m_services.box->SetText(resolved.folder);
  return 1;
}

int CDirectoryChanger::Refuse(const std::string& folder) {
  m_services.showError(current_directory::CannotChangeMessage(folder));
  m_services.box->RemoveItem(folder);
  std::vector<std::string> recent;
  m_services.userData->GetArray(current_directory::kRecentKey, recent,
                                current_directory::kRecentSeparator);
  if (current_directory::RemoveRecent(recent, folder))
    m_services.userData->WriteArray(current_directory::kRecentKey, recent,
                                    current_directory::kRecentSeparator);
  m_services.box->SetText(SavedFolder());
  m_services.box->TakeFocus();
  return 0;
}

void CDirectoryChanger::Remember(const std::string& folder) {
  std::vector<std::string> recent;
  m_services.userData->GetArray(current_directory::kRecentKey, recent,
                                current_directory::kRecentSeparator);
  bool changed = false;
  if (current_directory::AddRecent(recent, folder, SameFolder)) {
    changed = true;
    m_services.box->AddItem(folder);
  }
  const int maxDirs =
      m_services.settings->GetInt("General", "MaxDirs", current_directory::kDefaultMaxDirs);
  // The box keeps showing trimmed entries until the next start.
  changed = current_directory::TrimRecent(recent, maxDirs) || changed;
  if (changed)
    m_services.userData->WriteArray(current_directory::kRecentKey, recent,
                                    current_directory::kRecentSeparator);
}
