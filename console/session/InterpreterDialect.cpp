#include "console/session/InterpreterDialect.h"

#include <cctype>
#include <optional>
#include <string_view>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "common/OctaveText.h"
#include "console/session/CommandClassifier.h"

namespace {

constexpr long kNewForms = 3300;
// More digits than any file has lines are not a line.
constexpr size_t kMaxLineDigits = 9;
constexpr std::string_view kOldInstallOptions = " -auto -global -verbose;###";

bool IsLine(std::string_view s) {
  if (s.empty() || s.size() > kMaxLineDigits) return false;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// What `text` holds between `prefix` and `suffix`, when it has both.
std::optional<std::string_view> Between(std::string_view text, std::string_view prefix,
                                         std::string_view suffix) {
  if (text.size() < prefix.size() + suffix.size() || text.substr(0, prefix.size()) != prefix ||
      text.substr(text.size() - suffix.size()) != suffix) {
    return std::nullopt;
  }
  return text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
}

// "<command>(LINE)" -> "<command>('LINE')"; "<command>('NAME',LINE)" ->
// "<command>('NAME','LINE')".
std::optional<std::string> QuoteLine(std::string_view text, std::string_view command) {
  const std::string open = std::string(command) + "(";
  const std::optional<std::string_view> inside = Between(text, open, ")");
  if (!inside) return std::nullopt;
  if (IsLine(*inside)) return open + "'" + std::string(*inside) + "')";
  const std::optional<std::string_view> nameAndLine = Between(*inside, "'", "");
  if (!nameAndLine) return std::nullopt;
  const size_t separator = nameAndLine->find("',");
  if (separator == std::string_view::npos) return std::nullopt;
  const std::string_view name = nameAndLine->substr(0, separator);
  const std::string_view line = nameAndLine->substr(separator + 2);
  if (!octave_text::IsIdentifier(name) || !IsLine(line)) return std::nullopt;
  return open + "'" + std::string(name) + "','" + std::string(line) + "')";
}

// "dbclear('NAME',dbstatus('NAME').line)" -> "dbclear('NAME')".
std::optional<std::string> ClearWholeFile(std::string_view text) {
  const std::optional<std::string_view> inside = Between(text, "dbclear('", "').line)");
  if (!inside) return std::nullopt;
  const size_t separator = inside->find("',dbstatus('");
  if (separator == std::string_view::npos) return std::nullopt;
  const std::string_view name = inside->substr(0, separator);
  const std::string_view again = inside->substr(separator + std::string_view("',dbstatus('").size());
  if (!octave_text::IsIdentifier(name) || again != name) return std::nullopt;
  return "dbclear('" + std::string(name) + "')";
}

// The package dialog's install command in the form of interpreter 3.2.
std::optional<std::string> ModernInstall(std::string_view text, bool asRoot) {
  const std::optional<std::string_view> file = Between(text, "pkg install ", kOldInstallOptions);
  if (!file || file->empty()) return std::nullopt;
  return std::string(asRoot ? "pkg install -global -verbose " : "pkg install -verbose ") +
         std::string(*file) + std::string(kOwnEnding);
}

bool RunningAsRoot() {
#ifdef _WIN32
  return false;
#else
  return ::geteuid() == 0;
#endif
}

}  // namespace

std::string AdaptForInterpreter(const std::string& text, long version) {
  return AdaptForInterpreter(text, version, RunningAsRoot());
}

std::string AdaptForInterpreter(const std::string& text, long version, bool asRoot) {
  if (version < kNewForms) return text;
  if (std::optional<std::string> install = ModernInstall(text, asRoot)) return *install;
  // Interpreters newer than 3.2 describe every package without "all".
  if (text == kPackageQuery) return "pkg describe;###";
  if (std::optional<std::string> whole = ClearWholeFile(text)) return *whole;
  // Today's interpreters take the line of a breakpoint only as a string.
  for (std::string_view command : {"dbstop", "dbclear"}) {
    if (std::optional<std::string> quoted = QuoteLine(text, command)) return *quoted;
  }
  return text;
}
