// The update check against a web server of the test's own on the loopback
// address, and the comparison of versions.
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

#include "console/session/SessionViews.h"
#include "console/update/AutoUpdater.h"
#include "console/update/DialogCheckUpdate.h"
#include "console/update/UpdateSchedule.h"
#include "console/update/UpdateVersion.h"
#include "tests/common/TestPrompts.h"

namespace {

TEST(UpdateVersion, VersionsCompareAsNumbersPartByPart) {
  EXPECT_TRUE(update_version::IsNewer("1.10.0", "1.9.9"));
  EXPECT_TRUE(update_version::IsNewer("2", "1.99.99"));
  EXPECT_TRUE(update_version::IsNewer("0.1.1", "0.1"));
  EXPECT_FALSE(update_version::IsNewer("1.2.3", "1.2.3"));
  EXPECT_FALSE(update_version::IsNewer("1.2", "1.2.0"));
  EXPECT_FALSE(update_version::IsNewer("1.2.3", "1.10.0"));  // older is not newer
  EXPECT_FALSE(update_version::IsNewer("01.002", "1.2"));
  EXPECT_TRUE(update_version::IsNewer("1.123456789012345678901", "1.9"));
  for (const char* notVersion : {"", "1.", ".1", "1..2", "1.2a", "v1.2", "<html>", "1.2 3"}) {
    SCOPED_TRACE(notVersion);
    EXPECT_FALSE(update_version::Compare(notVersion, "1.0"));
    EXPECT_FALSE(update_version::IsNewer(notVersion, "0.1"));
  }
  EXPECT_EQ(update_version::Trim(" \t1.2.3\r\n"), "1.2.3");
}

class CMapSettings : public ISettings {
 public:
  int GetInt(const std::string& section, const std::string& key, int fallback) override {
    auto found = ints.find(section + "/" + key);
    return found == ints.end() ? fallback : found->second;
  }
  std::string GetString(const std::string&, const std::string&, const std::string& fallback) override {
    return fallback;
  }
  void SetInt(const std::string& section, const std::string& key, int value) override {
    ints[section + "/" + key] = value;
  }
  void SetString(const std::string&, const std::string&, const std::string&) override {}
  std::map<std::string, int> ints;
};

std::time_t Noon(int year, int month, int day) {
  std::tm when{};
  when.tm_year = year - 1900;
  when.tm_mon = month - 1;
  when.tm_mday = day;
  when.tm_hour = 12;
  when.tm_isdst = -1;
  return std::mktime(&when);
}

TEST(UpdateSchedule, OncePerDayAndNeverWhenSwitchedOff) {
  CMapSettings settings;
  EXPECT_TRUE(TakeDailyUpdateCheck(settings, Noon(2026, 12, 7)));
  EXPECT_EQ(settings.ints["General/LastUpdateYear"], 2026);
  EXPECT_EQ(settings.ints["General/LastUpdateMonth"], 12);
  EXPECT_EQ(settings.ints["General/LastUpdateDay"], 7);
  EXPECT_FALSE(TakeDailyUpdateCheck(settings, Noon(2026, 12, 7) + 3600));  // the same day again
  EXPECT_TRUE(TakeDailyUpdateCheck(settings, Noon(2026, 12, 8)));

  CMapSettings off;
  off.ints["General/AutoUpdate"] = 0;
  EXPECT_FALSE(TakeDailyUpdateCheck(off, Noon(2026, 12, 7)));
  EXPECT_EQ(off.ints.size(), 1u);  // the date keys stay as they are
}

// Answers every request the same way: a body with a status, or never.
class CManifestServer {
 public:
  enum class Mode { Answer, Silent };
  CManifestServer(Mode mode, QByteArray status = "200 OK", QByteArray body = {})
      : m_mode(mode), m_status(std::move(status)), m_body(std::move(body)) {
    m_server.listen(QHostAddress::LocalHost);
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++requests;
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
          m_request += socket->readAll();
          if (m_mode == Mode::Silent || !m_request.contains("\r\n\r\n")) return;
          socket->write("HTTP/1.1 " + m_status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                        QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
          socket->disconnectFromHost();
        });
      }
    });
  }
  QString Url() const { return QStringLiteral("http://127.0.0.1:%1/version.txt").arg(m_server.serverPort()); }
  int requests = 0;

 private:
  QTcpServer m_server;
  Mode m_mode;
  QByteArray m_status;
  QByteArray m_body;
  QByteArray m_request;
};

class UpdateCheckTest : public ::testing::Test {
 protected:
  // Runs one check and waits for its outcome.
  UpdateOutcome Check(const QString& url, bool automatic, int timeoutMs = 15000) {
    updater = std::make_unique<CAutoUpdater>(
        UpdateSource{url, QStringLiteral("https://calyx.example/download"), QStringLiteral("0.9.1"), timeoutMs},
        prompts, &window);
    QSignalSpy checked(updater.get(), &CAutoUpdater::Checked);
    updater->CheckForUpdate(automatic);
    EXPECT_TRUE(checked.wait(30000));
    return checked.isEmpty() ? UpdateOutcome{} : checked.first().first().value<UpdateOutcome>();
  }

  CTestPrompts prompts;
  QWidget window;
  std::unique_ptr<CAutoUpdater> updater;
};

TEST_F(UpdateCheckTest, ANewerVersionIsShownAlsoByTheAutomaticCheck) {
  CManifestServer server(CManifestServer::Mode::Answer, "200 OK", "0.10.0");
  const UpdateOutcome outcome = Check(server.Url(), true);
  EXPECT_TRUE(outcome.checked);
  EXPECT_TRUE(outcome.newer);
  ASSERT_NE(updater->Dialog(), nullptr);
  EXPECT_EQ(updater->Dialog()->windowTitle(), "Check For Updates");
  EXPECT_EQ(updater->Dialog()->LocalVersion(), "0.9.1");
  EXPECT_EQ(updater->Dialog()->PublishedVersion(), "0.10.0");
  EXPECT_TRUE(updater->Dialog()->SaysNewer());
  EXPECT_EQ(server.requests, 1);
}

TEST_F(UpdateCheckTest, EqualOrOlderVersionsAreNotCalledNewer) {
  for (const QByteArray& published : {QByteArray("0.9.1\n"), QByteArray(" 0.9.1\r\n"), QByteArray("0.9.0")}) {
    SCOPED_TRACE(published.toStdString());
    CManifestServer server(CManifestServer::Mode::Answer, "200 OK", published);
    // Automatic: nothing to tell.
    EXPECT_TRUE(Check(server.Url(), true).checked);
    EXPECT_EQ(updater->Dialog(), nullptr);
    // The command: the dialog without the newer text.
    const UpdateOutcome outcome = Check(server.Url(), false);
    EXPECT_TRUE(outcome.checked);
    EXPECT_FALSE(outcome.newer);
    EXPECT_EQ(outcome.published, QString::fromLatin1(published.trimmed()));
    ASSERT_NE(updater->Dialog(), nullptr);
    EXPECT_FALSE(updater->Dialog()->SaysNewer());
  }
  EXPECT_TRUE(prompts.information.isEmpty());
}

TEST_F(UpdateCheckTest, FailuresAreSilentWhenAutomaticAndExplainedOnCommand) {
  CManifestServer empty(CManifestServer::Mode::Answer, "200 OK", "");
  CManifestServer missing(CManifestServer::Mode::Answer, "404 Not Found", "no such file");
  CManifestServer page(CManifestServer::Mode::Answer, "200 OK", "<html>moved</html>");
  QTcpServer closed;
  closed.listen(QHostAddress::LocalHost);
  const QString refused = QStringLiteral("http://127.0.0.1:%1/version.txt").arg(closed.serverPort());
  closed.close();

  for (const QString& url : {empty.Url(), missing.Url(), page.Url(), refused}) {
    SCOPED_TRACE(url.toStdString());
    prompts.information.clear();
    const UpdateOutcome automatic = Check(url, true);
    EXPECT_FALSE(automatic.checked);
    EXPECT_FALSE(automatic.failure.isEmpty());
    EXPECT_TRUE(prompts.information.isEmpty());
    EXPECT_EQ(updater->Dialog(), nullptr);

    const UpdateOutcome command = Check(url, false);
    EXPECT_FALSE(command.checked);
    ASSERT_EQ(prompts.information.size(), 1);
    EXPECT_TRUE(prompts.information.first().startsWith(QStringLiteral("Calyx could not check for updates: ")));
    EXPECT_TRUE(prompts.information.first().endsWith(command.failure));
    EXPECT_EQ(updater->Dialog(), nullptr);
  }
  EXPECT_EQ(missing.requests, 2);
}

TEST_F(UpdateCheckTest, AServerThatNeverAnswersEndsTheCheckAfterTheTimeout) {
  CManifestServer silent(CManifestServer::Mode::Silent);
  const UpdateOutcome outcome = Check(silent.Url(), false, 500);
  EXPECT_FALSE(outcome.checked);
  EXPECT_TRUE(outcome.failure.contains(QStringLiteral("did not answer")));
  ASSERT_EQ(prompts.information.size(), 1);
}

TEST_F(UpdateCheckTest, ABuildWithoutAnAddressDoesNotCheck) {
  CAutoUpdater unconfigured(UpdateSource{}, prompts, &window);
  EXPECT_FALSE(unconfigured.Configured());
  unconfigured.CheckForUpdate(true);
  EXPECT_TRUE(prompts.information.isEmpty());
  unconfigured.CheckForUpdate(false);
  ASSERT_EQ(prompts.information.size(), 1);
  EXPECT_TRUE(prompts.information.first().contains(QStringLiteral("does not check for updates")));
}

}  // namespace
