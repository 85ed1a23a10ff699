#include "console/shell/QtSettings.h"

#include <QCoreApplication>
#include <QSettings>

namespace {
QSettings Store(const QString& application) {
  return QSettings(QCoreApplication::organizationName(), application);
}
QString Key(const std::string& section, const std::string& key) {
  return QString::fromStdString(section + "/" + key);
}
}  // namespace

CQtSettings::CQtSettings(const QString& application) : m_application(application) {}

int CQtSettings::GetInt(const std::string& section, const std::string& key, int fallback) {
  bool ok = false;
  const int value = Store(m_application).value(Key(section, key)).toInt(&ok);
  return ok ? value : fallback;
}

std::string CQtSettings::GetString(const std::string& section, const std::string& key,
                                   const std::string& fallback) {
  const QVariant value = Store(m_application).value(Key(section, key));
  return value.isValid() ? value.toString().toStdString() : fallback;
}

void CQtSettings::SetInt(const std::string& section, const std::string& key, int value) {
  Store(m_application).setValue(Key(section, key), value);
}

void CQtSettings::SetString(const std::string& section, const std::string& key,
                            const std::string& value) {
  Store(m_application).setValue(Key(section, key), QString::fromStdString(value));
}
