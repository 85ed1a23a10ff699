#include "console/docs/ManualIndex.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

namespace {

namespace fs = std::filesystem;

std::string UpperWithoutNul(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool ReadWhole(const fs::path& path, std::uintmax_t size, std::string& out) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  out.assign(static_cast<size_t>(size), '\0');
  file.read(out.data(), static_cast<std::streamsize>(size));
  out.resize(static_cast<size_t>(file.gcount()));
  return true;
}

}  // namespace

bool CManualIndex::Refresh(const std::string& folder, const std::atomic<bool>& cancel) {
  if (folder != m_folder) {
    m_pages.clear();
    m_folder = folder;
  }
  std::set<std::string> present;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (cancel) return false;
    const fs::path& path = it->path();
    if (path.extension() != ".html" || !it->is_regular_file(error)) continue;
    const std::uintmax_t size = it->file_size(error);
    const auto time = it->last_write_time(error);
    if (error) continue;
    const std::string name = path.filename().string();
    present.insert(name);
    const std::int64_t ticks = time.time_since_epoch().count();
    Page& page = m_pages[name];
    if (page.time == ticks && page.size == size) continue;
    std::string text;
    if (!ReadWhole(path, size, text)) {
      m_pages.erase(name);
      present.erase(name);
      continue;
    }
    page = {ticks, size, UpperWithoutNul(std::move(text))};
    ++m_pagesRead;
  }
  std::erase_if(m_pages, [&](const auto& entry) { return !present.count(entry.first); });
  return true;
}

std::optional<std::vector<std::string>> CManualIndex::Search(const std::string& folder,
                                                             const std::string& text,
                                                             const std::atomic<bool>& cancel) {
  if (!Refresh(folder, cancel)) return std::nullopt;
  std::vector<std::string> found;
  if (text.empty()) return found;
  const std::string wanted = UpperWithoutNul(text);
  const std::boyer_moore_horspool_searcher searcher(wanted.begin(), wanted.end());
  for (const auto& [name, page] : m_pages) {
    if (cancel) return std::nullopt;
    if (std::search(page.text.begin(), page.text.end(), searcher) != page.text.end()) {
      found.push_back(name);
    }
  }
  return found;
}
