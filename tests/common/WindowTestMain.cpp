// The main of the window tests: one application object for the whole run, no
// display needed, and settings, user data and the link's folder kept in folders
// of this run so that the user's own are never touched.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  if (!home.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
  qputenv("MARROWBY_LINK_DIR", (home.path() + QStringLiteral("/link")).toLocal8Bit());
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Calyx"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
