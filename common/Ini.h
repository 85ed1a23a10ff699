// The user data files: ini files whose values live in section [User] unless a
// caller names another section.
// Written the way Windows private-profile files are ("[User]", "key=value",
// CRLF line ends) so the same file can be shared with the Windows build; LF
// files are read as well. Section and key names compare case-insensitively.
// Other sections, other keys and unrelated lines are kept when writing.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class CIni {
 public:
  static inline const std::string kUserSection = "User";

  // Meant for setup: Path() hands out a reference that SetPath would change.
  void SetPath(const std::string& path);
  const std::string& Path() const;

  // The value with blanks and tabs around it trimmed (as Windows does); "" when
  // the key or the file is missing.
  std::string GetString(const std::string& key, const std::string& section = kUserSection) const;

  // Rewrites the whole file atomically, creating it and the section if needed.
  // Carriage returns and line feeds are removed from the value: one ini line
  // cannot hold them and they would turn the rest into lines of their own.
  // False for a key that cannot be written on one line (empty, or holding '=',
  // '[', CR or LF), when an existing file cannot be read, or when the write fails.
  bool WriteString(const std::string& key, const std::string& value,
                   const std::string& section = kUserSection);

  // Splits the value at every `separator` ("," when null; "" keeps the value
  // whole), trims each piece and drops the empty ones.
  void GetArray(const std::string& key, std::vector<std::string>& out, const char* separator,
                const std::string& section = kUserSection) const;

  // Joins the items with `separator` ("," when null or empty). Items holding the
  // separator will read back split.
  bool WriteArray(const std::string& key, const std::vector<std::string>& items, const char* separator,
                  const std::string& section = kUserSection);

 private:
  std::string m_path;
  // Writes read, change and rewrite the file under this lock, so two threads
  // writing different keys keep each other's values.
  mutable std::mutex m_mutex;
};
