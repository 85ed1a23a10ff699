// Settings, read at every use with the caller's default: the interface through
// which the session and the windows reach the program's stored options.
#pragma once

#include <string>

class ISettings {
 public:
  virtual ~ISettings() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int fallback) = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& fallback) = 0;
  virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
  virtual void SetString(const std::string& section, const std::string& key,
                         const std::string& value) = 0;
};
