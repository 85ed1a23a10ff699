#include "common/Ini.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "common/AtomicFile.h"
#include "common/Text.h"

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// Lines of the file with their CR/LF ends removed; empty lines are kept so a
// rewrite changes nothing but the written key.
std::vector<std::string> SplitKeepingEmpty(const std::string& content) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = end + 1;
  }
  return lines;
}

// The section name of a "[name]" line.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string trimmed = text::Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const size_t close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  return text::Trim(std::string_view(trimmed).substr(1, close - 1));
}

bool IsKeyLine(const std::string& line, const std::string& key) {
  const size_t equals = line.find('=');
  return equals != std::string::npos && EqualsIgnoringCase(text::Trim(line.substr(0, equals)), key);
}

struct SSection {
  size_t begin = 0;  // first line after the header
  size_t end = 0;    // header of the next section, or the line count
  bool found = false;
};

SSection FindSection(const std::vector<std::string>& lines, const std::string& wanted) {
  SSection section;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string> name = SectionName(lines[i]);
    if (!name) continue;
    if (section.found) {
      section.end = i;
      return section;
    }
    if (EqualsIgnoringCase(*name, wanted)) {
      section.found = true;
      section.begin = i + 1;
    }
  }
  section.end = lines.size();
  return section;
}

std::optional<size_t> FindKeyLine(const std::vector<std::string>& lines, const SSection& section,
                                  const std::string& key) {
  if (!section.found) return std::nullopt;
  for (size_t i = section.begin; i < section.end; ++i)
    if (IsKeyLine(lines[i], key)) return i;
  return std::nullopt;
}

const char* SeparatorOr(const char* separator, const char* fallback) {
  return separator ? separator : fallback;
}

}  // namespace

void CIni::SetPath(const std::string& path) {
  std::lock_guard lock(m_mutex);
  m_path = path;
}

const std::string& CIni::Path() const { return m_path; }

std::string CIni::GetString(const std::string& key, const std::string& section) const {
  std::lock_guard lock(m_mutex);
  std::string content;
  if (!ReadWholeFile(m_path, content)) return {};
  const std::vector<std::string> lines = SplitKeepingEmpty(content);
  const std::optional<size_t> at = FindKeyLine(lines, FindSection(lines, section), key);
  if (!at) return {};
  const std::string& line = lines[*at];
  return text::Trim(std::string_view(line).substr(line.find('=') + 1));
}

bool CIni::WriteString(const std::string& key, const std::string& value, const std::string& sectionName) {
  if (key.empty() || key.find_first_of("=[\r\n") != std::string::npos) return false;
  // A section name that cannot stand on one header line would break the file.
  if (sectionName.empty() || sectionName.find_first_of("[]\r\n") != std::string::npos) return false;
  std::lock_guard lock(m_mutex);
  std::string content;
  if (!ReadWholeFile(m_path, content)) {
    std::error_code error;
    // Never replace a file we failed to read: its other values would be lost.
    if (std::filesystem::exists(m_path, error) || error) return false;
  }
  std::vector<std::string> lines = SplitKeepingEmpty(content);
  const std::string keyLine = key + "=" + text::RemoveChars(value, "\r\n");

  const SSection section = FindSection(lines, sectionName);
  if (const std::optional<size_t> at = FindKeyLine(lines, section, key)) {
    lines[*at] = keyLine;
  } else if (section.found) {
    // After the section's last non-empty line, so blank lines between sections stay.
    size_t insertAt = section.end;
    while (insertAt > section.begin && text::Trim(lines[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
  } else {
    lines.push_back("[" + sectionName + "]");
    lines.push_back(keyLine);
  }
  return WriteFileAtomically(m_path, text::Join(lines, "\r\n") + "\r\n");
}

void CIni::GetArray(const std::string& key, std::vector<std::string>& out, const char* separator,
                    const std::string& section) const {
  out.clear();
  const std::string value = GetString(key, section);
  for (std::string_view piece : text::SplitNonEmptyViews(value, SeparatorOr(separator, ","))) {
    std::string trimmed = text::Trim(piece);
    if (!trimmed.empty()) out.push_back(std::move(trimmed));
  }
}

bool CIni::WriteArray(const std::string& key, const std::vector<std::string>& items, const char* separator,
                      const std::string& section) {
  const char* joiner = SeparatorOr(separator, ",");
  return WriteString(key, text::Join(items, *joiner ? joiner : ","), section);
}
