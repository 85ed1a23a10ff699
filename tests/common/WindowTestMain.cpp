// The main of every widget and window test: one application object for the
// whole run, off screen unless a platform is chosen, the programs' organisation
// name, and a private home (settings, user data, the link's folder, runtime
// files, the interpreter's own files) in the C locale, so that the user's own
// are never touched and never change a result. TEST_APPLICATION_NAME names the
// program whose settings the tests use.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/UserDirs.h"
#include "tests/common/PrivateEnvironment.h"

#ifndef TEST_APPLICATION_NAME
#define TEST_APPLICATION_NAME "Calyx"
#endif

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const CPrivateEnvironment environment;
  if (!environment.IsValid()) return 2;
  ::setenv("MARROWBY_LINK_DIR", environment.Folder("link").c_str(), 1);
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
  QApplication::setApplicationName(QStringLiteral(TEST_APPLICATION_NAME));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
