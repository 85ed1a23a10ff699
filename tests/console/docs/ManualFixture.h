// Small manual folders written by the tests, in both layouts: today's (XREF
// redirection files with a Refresh line) and the old one (doc_002d files whose
// first line holds the target).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

inline void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string TodaysRedirect(const std::string& name, const std::string& target) {
  return "<!DOCTYPE html>\n<html>\n<head>\n<title>XREF" + name +
         "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"octave.css\">\n\n"
         "<meta http-equiv=\"Refresh\" content=\"0; url=" + target +
         "\">\n</head>\n<body>\n<p>The node you are looking for is at <a href=\"" + target +
         "\">XREF" + name + "</a>.</p>\n</body>\n";
}

inline std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body><h2>" + title + "</h2>" + body +
         "</body></html>\n";
}

// Today's layout: an index, two pages, the redirections of sin, cos and
// num2str, and a page whose name holds an encoded "-".
inline void WriteTodaysManual(const std::string& folder) {
  WriteFile(folder + "/index.html",
            Page("GNU Octave", "<a href=\"Trigonometry.html\">Trigonometry</a> "
                               "<a href=\"XREFcos.html\">cos</a> <a href=\"https://www.octave.org/\">web</a>"));
  WriteFile(folder + "/Trigonometry.html",
            Page("Trigonometry", "<p>intro</p><dl><dt><a name=\"XREFsin\"></a>sin (x)</dt><dd>Sine.</dd>"
                                 "<dt><a name=\"XREFcos\"></a>cos (x)</dt><dd>Cosine. See "
                                 "<a href=\"XREFnum2str.html\">num2str</a>.</dd></dl>"));
  WriteFile(folder + "/Converting-Numerical-Data-to-Strings.html",
            Page("Converting Numerical Data to Strings",
                 "<a name=\"XREFnum2str\"></a>num2str (x): also see sin."));
  WriteFile(folder + "/Built_002din-Data-Types.html", Page("Built-in Data Types", "<p>double, single</p>"));
  WriteFile(folder + "/XREFsin.html", TodaysRedirect("sin", "Trigonometry.html#XREFsin"));
  WriteFile(folder + "/XREFcos.html", TodaysRedirect("cos", "Trigonometry.html#XREFcos"));
  WriteFile(folder + "/XREFnum2str.html",
            TodaysRedirect("num2str", "Converting-Numerical-Data-to-Strings.html#XREFnum2str"));
}

// The old layout: targets on the first line, "-" written as "%2d".
inline void WriteOldManual(const std::string& folder) {
  WriteFile(folder + "/index.html", Page("GNU Octave", "<a href=\"Utility-Functions.html\">Utility</a>"));
  WriteFile(folder + "/Utility-Functions.html",
            Page("Utility Functions", "<a name=\"doc_002dnum_005felements\"></a>num_elements (a)"));
  WriteFile(folder + "/doc_002dnum_005felements.html",
            "<html><head><meta http-equiv=\"refresh\" content=\"0;url=Utility-Functions.html#doc%2dnum_005felements\">\n"
            "</head></html>\n");
}
