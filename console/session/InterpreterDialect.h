// The program's commands and the editor's requests are written in the forms of
// interpreter 3.2; newer interpreters want some of them in other forms.
#pragma once

#include <string>

// `text` as the interpreter of `version` (1000*major + 100*minor + patch; 0 when
// not known yet) understands it. From 3.3 on:
//   "pkg describe all;###"              -> "pkg describe;###"
//   "dbstop('f',3)", "dbstop(3)"        -> "dbstop('f','3')", "dbstop('3')"
//   "dbclear('f',3)", "dbclear(3)"      -> "dbclear('f','3')", "dbclear('3')"
//   "dbclear('f',dbstatus('f').line)"   -> "dbclear('f')"
//   "pkg install FILE -auto -global -verbose;###"
//                                       -> "pkg install -verbose FILE;###"
// (today's interpreters no longer load packages automatically, and write into
// the system's package prefix only for root: "-global" stays for `asRoot`).
// A name must be an identifier and a line plain digits; any other text, and
// every text for older interpreters, is returned unchanged.
std::string AdaptForInterpreter(const std::string& text, long version, bool asRoot);
// As above, for this process.
std::string AdaptForInterpreter(const std::string& text, long version);
