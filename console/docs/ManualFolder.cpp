#include "console/docs/ManualFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/Text.h"
#include "console/docs/ManualNames.h"

namespace manual {
namespace {

// Redirection files are a few hundred bytes; a page this large is not one.
constexpr std::streamsize kRedirectReadLimit = 16 * 1024;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::vector<std::string> ManualFolderCandidates(const std::string& chosenFolder,
                                                const std::string& interpreterFolder) {
  if (!text::Trim(chosenFolder).empty()) return {WithSlash(text::Trim(chosenFolder))};
  std::vector<std::string> candidates;
  if (!interpreterFolder.empty()) {
    const std::filesystem::path parent =
        std::filesystem::path(WithSlash(interpreterFolder)).parent_path().parent_path();
    candidates.push_back(WithSlash((parent / "doc/octave/html/interpreter").lexically_normal().string()));
    candidates.push_back(WithSlash((parent / "share/doc/octave/octave.html").lexically_normal().string()));
  }
#ifndef _WIN32
  const std::string system = "/usr/share/doc/octave/octave.html/";
  if (std::find(candidates.begin(), candidates.end(), system) == candidates.end()) {
    candidates.push_back(system);
  }
#endif
  return candidates;
}

std::string FindManualFolder(const std::vector<std::string>& candidates) {
  for (const std::string& candidate : candidates) {
    const std::string folder = WithSlash(candidate);
    std::error_code error;
    if (std::filesystem::is_regular_file(folder + kStartPage, error)) return folder;
  }
  return {};
}

std::string ReadRedirect(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string content(static_cast<size_t>(kRedirectReadLimit), '\0');
  file.read(content.data(), kRedirectReadLimit);
  content.resize(static_cast<size_t>(file.gcount()));
  return ParseRedirect(content);
}

HelpTarget ResolveHelpTerm(const std::string& folder, std::string_view term) {
  const std::string word = text::RemoveChars(std::string(term), " ");
  if (word.empty() || word == "Octave") return {kStartPage, "index"};
  const std::string encoded = EncodeName(word);
  for (const std::string& name : RedirectFileNames(encoded)) {
    const std::string target = ReadRedirect(WithSlash(folder) + name);
    if (!target.empty()) return {target, encoded};
  }
  return {kStartPage, encoded};
}

std::string MissingManualPage(const std::vector<std::string>& candidates) {
  std::ostringstream page;
  page << "<html><body><h2>The Octave manual was not found</h2>"
          "<p>Calyx shows GNU Octave's own HTML manual, but none of these folders holds it "
          "(there is no <code>index.html</code> in them):</p><ul>";
  for (const std::string& folder : candidates) page << "<li><code>" << text::EscapeHtml(folder) << "</code></li>";
  page << "</ul><p>On Debian and Ubuntu the manual is the package <b>octave-doc</b>:</p>"
          "<pre>sudo apt-get install octave-doc</pre>"
          "<p>If the manual is somewhere else, choose its folder under "
          "<b>File &rarr; Options &rarr; Octave</b> (Octave Manual Folder); left empty, the "
          "folder is found beside the interpreter.</p></body></html>";
  return page.str();
}

}  // namespace manual
