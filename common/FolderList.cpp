#include "common/FolderList.h"

#include "common/Ini.h"
#include "common/Text.h"

namespace folder_list {

namespace {

constexpr char kSeparator = ',';
constexpr char kQuote = '"';
constexpr std::string_view kBlanks = " \t\r\n";

bool NeedsQuotes(std::string_view folder) {
  return folder.find(kSeparator) != std::string_view::npos || folder.empty() ||
         folder.front() == kQuote || kBlanks.find(folder.front()) != std::string_view::npos ||
         kBlanks.find(folder.back()) != std::string_view::npos;
}

}  // namespace

std::string Encode(const std::vector<std::string>& folders) {
  std::vector<std::string> items;
  items.reserve(folders.size());
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    items.push_back(NeedsQuotes(folder)
                        ? kQuote + text::ReplaceAll(folder, "\"", "\"\"") + kQuote
                        : folder);
  }
  return text::Join(items, std::string_view(&kSeparator, 1));
}

std::vector<std::string> Decode(std::string_view value) {
  std::vector<std::string> folders;
  size_t pos = 0;
  while (pos < value.size()) {
    while (pos < value.size() && kBlanks.find(value[pos]) != std::string_view::npos) ++pos;
    std::string item;
    if (pos < value.size() && value[pos] == kQuote) {
      // A quoted item runs to the first quote that is not doubled.
      for (++pos; pos < value.size(); ++pos) {
        if (value[pos] != kQuote) {
          item += value[pos];
        } else if (pos + 1 < value.size() && value[pos + 1] == kQuote) {
          item += kQuote;
          ++pos;
        } else {
          ++pos;
          break;
        }
      }
      pos = std::min(value.find(kSeparator, pos), value.size());
    } else {
      const size_t end = std::min(value.find(kSeparator, pos), value.size());
      item = text::Trim(value.substr(pos, end - pos));
      pos = end;
    }
    if (!item.empty()) folders.push_back(std::move(item));
    ++pos;  // past the separator
  }
  return folders;
}

std::vector<std::string> Read(const CIni& ini, const std::string& key) {
  return Decode(ini.GetString(key));
}

bool Write(CIni& ini, const std::string& key, const std::vector<std::string>& folders) {
  return ini.WriteString(key, Encode(folders));
}

}  // namespace folder_list
