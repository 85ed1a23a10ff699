// What a click on a link in the console opens. The window's implementation
// reaches the desktop's browser, the editor and the interpreter; tests give
// their own.
#pragma once

#include <string>

class IConsoleLinkOpener {
 public:
  virtual ~IConsoleLinkOpener() = default;
  virtual void OpenWebAddress(const std::string& address) = 0;
  // Shows the file at `path` in the editor, at `line`.
  virtual void OpenFileAt(const std::string& path, long line) = 0;
  // Asks the interpreter which file defines `name`, then shows it at `line`.
  virtual void OpenFunctionAt(const std::string& name, long line) = 0;
};
