// A test fixture that runs the whole Calyx window with its session, started on
// the interpreter in a given folder (the stand-in or the real one). Settings are
// those of the run's private folders (see WindowTestMain.cpp).
#pragma once

#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "console/command/ConsoleView.h"
#include "console/session/SessionCore.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/MainFrame.h"
#include "tests/common/TestPrompts.h"

class CCalyxWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { QSettings().clear(); }
  void TearDown() override { app.reset(); }
  void Start(const QString& interpreterFolder, bool autoStart = true, const QString& startFolder = {}) {
    QSettings settings;
    settings.setValue(QStringLiteral("Octave/path"), interpreterFolder);
    settings.setValue(QStringLiteral("Octave/AutoStart"), autoStart ? 1 : 0);
    settings.sync();
    app = std::make_unique<CCalyxApp>(&prompts);
    ASSERT_TRUE(app->InitInstance(
        {.splash = false, .show = true, .startFolder = startFolder.toStdString()}));
    frame = app->Frame();
  }
  bool Connected() { return app->Core()->Signals().g_bConnected; }
  // Generous: the real interpreter starts slowly on a busy machine.
  bool WaitConnected(bool connected) {
    return QTest::qWaitFor([&] { return Connected() == connected; }, 60000);
  }
  bool ConsoleShows(const QString& text) {
    return QTest::qWaitFor([&] { return frame->Console()->toPlainText().contains(text); }, 60000);
  }
  // As a user types: the line, then Enter.
  void Type(const QString& line) {
    QTest::keyClicks(frame->Console(), line);
    QTest::keyClick(frame->Console(), Qt::Key_Return);
  }

  // Answers the window's questions; outlives every app a test starts.
  CTestPrompts prompts;
  std::unique_ptr<CCalyxApp> app;
  CMainFrame* frame = nullptr;
};
