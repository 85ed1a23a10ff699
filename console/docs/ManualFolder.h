// Where the installed manual is, and which page a help request opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace manual {

// The folders that may hold the manual, in the order they are tried: the
// user's choice alone when there is one; otherwise, beside the interpreter's
// folder, the old layout ("../doc/octave/html/interpreter/") and a prefix's
// ("../share/doc/octave/octave.html/"), then the system's. Each ends with "/".
std::vector<std::string> ManualFolderCandidates(const std::string& chosenFolder,
                                                const std::string& interpreterFolder);

// The first candidate that holds "index.html", ending with "/"; empty when
// none does.
std::string FindManualFolder(const std::vector<std::string>& candidates);

// What a help request opens: the page (relative to the manual folder, with its
// anchor) and the text the topic search looks for.
struct HelpTarget {
  std::string page;
  std::string searchText;
  bool operator==(const HelpTarget&) const = default;
};

// The start page, for an empty term and for "Octave".
inline constexpr const char* kStartPage = "index.html";

// Blanks are dropped from the term; an empty term or "Octave" opens the start
// page and searches for "index"; otherwise the term's redirection file (either
// layout) names the page, and the start page stands in when there is none.
HelpTarget ResolveHelpTerm(const std::string& folder, std::string_view term);

// The target of the redirection file at `path`; empty when it cannot be read
// or names none.
std::string ReadRedirect(const std::string& path);

// The page shown when no candidate holds the manual: where it was looked for
// and how to install it.
std::string MissingManualPage(const std::vector<std::string>& candidates);

}  // namespace manual
