// The text of every page of one manual folder, kept in memory so that a topic
// search reads no file twice: a page is read again only when its time or size
// has changed. Plain C++; one thread uses it at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CManualIndex {
 public:
  // The file names (not paths) of the "*.html" pages of `folder` (not its
  // subfolders) whose text holds `text`, ignoring case, in name order. Nothing
  // when `cancel` was set meanwhile.
  std::optional<std::vector<std::string>> Search(const std::string& folder, const std::string& text,
                                                 const std::atomic<bool>& cancel);

  // Pages read from disk since this index was made (for the benchmark).
  size_t PagesRead() const { return m_pagesRead; }

 private:
  struct Page {
    std::int64_t time = 0;
    std::uintmax_t size = 0;
    // Upper case, without NUL characters.
    std::string text;
  };

  // Brings the pages up to date with the folder; false when cancelled.
  bool Refresh(const std::string& folder, const std::atomic<bool>& cancel);

  std::string m_folder;
  std::map<std::string, Page> m_pages;
  size_t m_pagesRead = 0;
};
