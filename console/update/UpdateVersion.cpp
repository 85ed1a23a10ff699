#include "console/update/UpdateVersion.h"

#include <cctype>
#include <vector>

#include "common/Text.h"

namespace update_version {

namespace {

// The parts of a version, or nullopt when it is not one. Parts are compared
// without their leading zeros, so any number of digits is fine.
std::optional<std::vector<std::string>> Parts(std::string_view version) {
  if (version.empty()) return std::nullopt;
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t dot = std::min(version.find('.', start), version.size());
    std::string_view part = version.substr(start, dot - start);
    if (part.empty()) return std::nullopt;
    for (char c : part) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    while (part.size() > 1 && part.front() == '0') part.remove_prefix(1);
    parts.emplace_back(part);
    if (dot == version.size()) return parts;
    start = dot + 1;
  }
}

int CompareNumbers(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
}

}  // namespace

std::string Trim(std::string_view published) { return text::Trim(published); }

std::optional<int> Compare(std::string_view a, std::string_view b) {
  const auto left = Parts(a);
  const auto right = Parts(b);
  if (!left || !right) return std::nullopt;
  for (size_t i = 0; i < std::max(left->size(), right->size()); ++i) {
    const std::string x = i < left->size() ? (*left)[i] : "0";
    const std::string y = i < right->size() ? (*right)[i] : "0";
    if (const int order = CompareNumbers(x, y); order != 0) return order;
  }
  return 0;
}

bool IsNewer(std::string_view published, std::string_view local) {
  const std::optional<int> order = Compare(published, local);
  return order && *order > 0;
}

}  // namespace update_version
