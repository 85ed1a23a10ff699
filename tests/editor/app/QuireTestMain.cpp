// Quire's window tests: one application object, no display, and settings, user
// files, link endpoints and runtime files in folders of this run only.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  if (!home.isValid()) return 2;
  QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
  qputenv("MARROWBY_LINK_DIR", (home.path() + QStringLiteral("/link")).toLocal8Bit());
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Marrowby"));
  QApplication::setApplicationName(QStringLiteral("Quire"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
