// The file names of Octave's HTML manual: how a term becomes the name of the
// redirection file that leads to its description, how a redirection file names
// its target, and how a page's file name reads in the topic list. Two layouts
// exist: the old manual ("doc_002d" + name + ".html", target on the first line
// after "url=") and today's ("XREF" + name + ".html", target in a
// <meta http-equiv="Refresh" content="0; url=PAGE.html#ANCHOR"> line).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace manual {

// A term as makeinfo writes it into file names and anchors: letters and digits
// stay, every other byte becomes "_00" and its two lower-case hex digits
// ("num_elements" -> "num_005felements").
std::string EncodeName(std::string_view term);

// The names of the redirection files for an encoded term, today's first.
std::vector<std::string> RedirectFileNames(std::string_view encodedTerm);

// Whether a page's file name is a redirection file of either layout (or a
// figure redirection of the old one).
bool IsRedirectName(std::string_view fileName);

// The target ("PAGE.html#ANCHOR") named by a redirection file's text, with
// every "%" read as "_00"; empty when the text names none.
std::string ParseRedirect(std::string_view fileText);

// How a page's file name reads in the topic list: the redirection prefixes and
// code marks removed, "_00xx" decoded, "-" (and an encoded "-") shown as a
// blank, ".html" as a trailing blank ("XREFnum_005felements.html" ->
// "num_elements ").
std::string TopicText(std::string_view fileName);


// One row of the topic list: the text shown and the page's file name.
struct Topic {
  std::string text;
  std::string file;
  bool operator==(const Topic&) const = default;
};

// The rows for the pages found, sorted by their text ignoring case (then by
// file name, so that the order does not depend on the search's).
std::vector<Topic> TopicsOf(const std::vector<std::string>& files);

// The word that a help request on the console takes at `caret`: from the first
// separator at or after the caret back to the separator before it, separators
// at its end dropped. The separators are the completion separators and the
// line feed (a word never runs on from the line before).
std::u16string HelpWordAt(std::u16string_view consoleText, size_t caret);

}  // namespace manual
