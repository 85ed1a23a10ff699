// One Quire per user and display, between real processes: a later start hands
// its file to the running one and ends.
#include "editor/app/SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "common/link/Link.h"

namespace {

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_runtime.isValid());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    m_savedDisplay = qgetenv("DISPLAY");
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    qputenv("DISPLAY", ":quire-test");
  }
  void TearDown() override {
    for (QProcess* process : {&m_first, &m_second}) {
      if (process->state() == QProcess::NotRunning) continue;
      process->kill();
      process->waitForFinished(5000);
    }
    qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
    qputenv("DISPLAY", m_savedDisplay);
  }
  void StartQuire(QProcess& process, const QStringList& files) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(QUIRE_PATH), files);
    ASSERT_TRUE(process.waitForStarted(5000));
  }
  std::string QuireTitle() { return calyx_link::FindTitleContaining("Quire"); }

  QTemporaryDir m_runtime;
  QTemporaryDir m_files;
  QByteArray m_savedRuntime;
  QByteArray m_savedDisplay;
  QProcess m_first;
  QProcess m_second;
};

}  // namespace

TEST_F(SingleInstanceTest, SecondStartHandsItsFileToTheFirstAndEnds) {
  StartQuire(m_first, {});
  // Up and serving once its window publishes its caption.
  ASSERT_TRUE(QTest::qWaitFor([&] { return QuireTitle() == "Quire"; }, 15000));
  EXPECT_TRUE(QFileInfo::exists(CSingleInstance::ServerPath()));

  const QString file = m_files.filePath(QStringLiteral("handed.m"));
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write("x = 1;\n");
  out.close();

  StartQuire(m_second, {file});
  ASSERT_TRUE(m_second.waitForFinished(15000));
  EXPECT_EQ(m_second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(m_second.exitCode(), 0);
  // The first one opened the file: its caption names it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return QuireTitle() == "Quire - [handed.m]"; }, 15000));
  EXPECT_EQ(m_first.state(), QProcess::Running);

  // Without a file the later start only brings the first to the front.
  StartQuire(m_second, {});
  ASSERT_TRUE(m_second.waitForFinished(15000));
  EXPECT_EQ(m_second.exitCode(), 0);
  EXPECT_EQ(QuireTitle(), "Quire - [handed.m]");
  EXPECT_EQ(m_first.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, AnotherDisplayGetsItsOwnQuire) {
  StartQuire(m_first, {});
  ASSERT_TRUE(QTest::qWaitFor([&] { return QuireTitle() == "Quire"; }, 15000));
  const QString firstServer = CSingleInstance::ServerPath();
  qputenv("DISPLAY", ":quire-other");
  const QString otherServer = CSingleInstance::ServerPath();
  EXPECT_NE(otherServer, firstServer);
  StartQuire(m_second, {});
  // It is the first there: it serves that display instead of handing over and ending.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return QFileInfo::exists(otherServer) || m_second.state() == QProcess::NotRunning; },
      15000));
  EXPECT_TRUE(QFileInfo::exists(otherServer));
  EXPECT_EQ(m_second.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, SocketLeftByACrashedQuireIsTakenOver) {
  const QString path = CSingleInstance::ServerPath();
  ASSERT_FALSE(path.isEmpty());
  QFile stale(path);
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();

  CSingleInstance instance;
  EXPECT_EQ(instance.ClaimOrHandOver({}), CSingleInstance::Claim::First);

  // A later start in this process is answered once the events are handled.
  QSignalSpy requests(&instance, &CSingleInstance::openRequested);
  QProcess later;
  StartQuire(later, {QStringLiteral("/tmp/some file.m")});
  ASSERT_TRUE(QTest::qWaitFor([&] { return requests.count() == 1; }, 15000));
  EXPECT_EQ(requests.at(0).at(0).toStringList(), QStringList{QStringLiteral("/tmp/some file.m")});
  ASSERT_TRUE(later.waitForFinished(15000));
  EXPECT_EQ(later.exitCode(), 0);
}
