// Settings kept with QSettings under (the organisation, program): the registry on
// Windows, an ini file in the user's config folder elsewhere. Every read goes to
// the store with the caller's default; nothing is cached.
#pragma once

#include <QString>

#include "common/Settings.h"

class CQtSettings : public ISettings {
 public:
  explicit CQtSettings(const QString& application = QStringLiteral("Calyx"));

  int GetInt(const std::string& section, const std::string& key, int fallback) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) override;
  void SetInt(const std::string& section, const std::string& key, int value) override;
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;

 private:
  QString m_application;
};
