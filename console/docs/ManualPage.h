// Changes made to a manual page's HTML before it is parsed. No Qt here.
#pragma once

#include <string>
#include <string_view>

namespace manual {

// makeinfo writes an index (the Function Index: over 4,000 rows) as one table
// whose letter groups start with a heading row (<tr><th id="..._letter-X">).
// Qt parses and lays out a table as a whole, in time growing faster than its
// rows, so each letter group becomes a table of its own (opened as the
// original was); pages without such rows come back unchanged.
std::string SplitIndexTable(std::string_view html);

// makeinfo marks a function's description with an empty element before it
// (<span id="XREFsin"></span><dl class="def"><dt id="index-sin">...). Qt
// gives such a name to the next text, unless that text's element has a name
// of its own: then the first name is lost and the page cannot open at it. So
// an empty named element (span or a) followed by opening tags moves behind
// them, onto the text both names mark.
std::string MoveEmptyAnchors(std::string_view html);

// Both changes, as the page loader makes them.
std::string PrepareHtml(std::string_view html);

}  // namespace manual
