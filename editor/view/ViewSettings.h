// The editor preferences the view works with, as plain values. The application
// reads them from its settings store; the view asks for them whenever it needs
// one, so a changed preference counts from the next use on.
#pragma once

struct ViewSettings {
  int tabSize = 4;                 // "TabSize": tab width and indentation unit
  bool useSpaces = true;           // "UseSpaces": indent with blanks, not tabs
  bool smartIndent = true;         // "SmarIndent": smart indentation on Enter
  int comment = 0;                 // "Comment": 0 "#", 1 "%", 2 "##", 3 "%%"
  bool showAllCharacters = false;  // "ShowAllCharacters": show blanks and line ends
  bool callTips = true;            // "CalltipsEnabled": call tips while typing
  bool autoComplete = true;        // "AutoCompleteEnabled": completion list while typing
};
