// Ending the session while the interpreter floods the console: exit and
// Disconnect, round after round, while the reader is inside its calls into the
// window's thread. No round may hang and no interpreter may outlive its window.
#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

#include "console/session/SessionCore.h"
#include "console/shell/CommandIds.h"
#include "tests/common/CalyxWindowTest.h"
#include "tests/fake/FakeInterpreterFolder.h"

namespace {

using SessionEndTest = CCalyxWindowTest;

TEST_F(SessionEndTest, ExitAndDisconnectDuringAFloodNeverHang) {
  CFakeInterpreter fake("on flood\n  flood 20000 a line of output\n\n");
  prompts.accept = true;
  // Until the reader is inside its calls into this thread.
  const auto flood = [&] {
    Type(QStringLiteral("flood"));
    return ConsoleShows(QStringLiteral("a line of output"));
  };
  // Fifty windows, each ended twice: Disconnect, Connect again, then exit.
  for (int round = 0; round < 100; round += 2) {
    Start(fake.Folder());
    ASSERT_TRUE(WaitConnected(true)) << round;
    ASSERT_TRUE(flood()) << round;
    const pid_t disconnected = app->Core()->Redirector().ChildPid();
    frame->Action(command_id::kDisconnect)->trigger();
    ASSERT_TRUE(WaitConnected(false)) << round;
    EXPECT_NE(kill(disconnected, 0), 0) << round;

    QAction* connect = frame->Action(command_id::kConnect);
    ASSERT_TRUE(QTest::qWaitFor([&] { return connect->isEnabled(); }, 5000)) << round;
    connect->trigger();
    ASSERT_TRUE(WaitConnected(true)) << round + 1;
    ASSERT_TRUE(flood()) << round + 1;
    const pid_t exited = app->Core()->Redirector().ChildPid();
    EXPECT_TRUE(frame->close()) << round + 1;
    app.reset();
    EXPECT_NE(kill(exited, 0), 0) << round + 1;
  }
}

}  // namespace
