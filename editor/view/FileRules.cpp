#include "editor/view/FileRules.h"

#include <algorithm>
#include <cstdio>

namespace {

struct LexerRow {
  int lexer;
  std::string_view extensions;  // "|"-separated
};

// Tried in this order; the first row that lists the extension wins ("mak" and
// "cpp" appear twice and "e" has two rows).
constexpr LexerRow LEXER_ROWS[] = {
    {2, "py"},
    {3, "c|cc|cpp|cxx|cs|h|hh|hpp|hxx|sma|dlg|rc|rc2|idl|odl|mak|js|java"},
    {4, "htm|html|shtml|htt|cfm|tpl|hta"},
    {5, "xml|gcl|xsl|svg|xul|xsd|dtd|xslt|axl"},
    {6, "pl|pm|cgi|pod"},
    {7, "sql|spec|body|sps|spb|sf|sp"},
    {8, "vb|bas|frm|cls|ctl|pag|dsr|dob"},
    {9, "properties"},
    {10, "err"},
    {11, "iface|mak"},
    {12, "bat|cmd|nt"},
    {13, "xcode"},
    {14, "tex|sty"},
    {15, "lua"},
    {16, "diff"},
    {17, "conf"},
    {18, "pas|inc|pp"},
    {19, "ave"},
    {20, "ada|ads|adb"},
    {21, "lsp|lisp|scm|smd|ss"},
    {22, "rb"},
    {23, "e"},
    {24, "e"},
    {25, "tcl"},
    {26, "tab|spf"},
    {27, "ant"},
    {28, "vbs|dsm"},
    {31, "bc|cln"},
    {LEXER_OCTAVE, "m"},
    {33, "sol"},
    {34, "asm"},
    {35, "cpp"},
    {36, "f|for|f90|f95"},
    {37, "f77"},
    {38, "css"},
    {39, "pov"},
    {40, "lt|lot"},
    {41, "src|em"},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

int LexerForExtension(std::string_view extension) {
  for (const LexerRow& row : LEXER_ROWS) {
    std::string_view rest = row.extensions;
    while (!rest.empty()) {
      const size_t bar = rest.find('|');
      if (EqualIgnoringCase(rest.substr(0, bar), extension)) return row.lexer;
      rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
  }
  return LEXER_NULL;
}

std::string_view LineEndText(int mode) {
  if (mode == LINE_ENDS_CRLF) return "\r\n";
  return mode == LINE_ENDS_CR ? "\r" : "\n";
}

int PlatformLineEnds() {
#ifdef _WIN32
  return LINE_ENDS_CRLF;
#else
  return LINE_ENDS_LF;
#endif
}

int LineEndsOf(std::string_view text) {
  const size_t end = text.find_first_of("\r\n");
  if (end == std::string_view::npos) return PlatformLineEnds();
  if (text[end] == '\n') return LINE_ENDS_LF;
  return end + 1 < text.size() && text[end + 1] == '\n' ? LINE_ENDS_CRLF : LINE_ENDS_CR;
}

int DecimalDigits(long count) {
  int digits = 1;
  for (long rest = count < 0 ? -count : count; rest >= 10; rest /= 10) ++digits;
  return digits;
}

std::string StatusPaneText(long line, long column, long selectionLength) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "Line: %ld    Col: %ld    Sel: %ld", line, column,
                selectionLength);
  return buffer;
}

size_t LoadPieceEnd(std::string_view text, size_t from, size_t pieceBytes) {
  const size_t limit = std::min(text.size(), from + std::max<size_t>(pieceBytes, 1));
  if (limit == text.size()) return limit;
  const size_t lineFeed = text.rfind('\n', limit - 1);
  if (lineFeed != std::string_view::npos && lineFeed >= from) return lineFeed + 1;
  size_t end = limit;
  const auto continuation = [&](size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
  while (end > from + 1 && continuation(end)) --end;
  if (end > from + 1 && text[end - 1] == '\r' && text[end] == '\n') --end;
  return end;
}
