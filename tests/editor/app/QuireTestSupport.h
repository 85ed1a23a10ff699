// Helpers of Quire's window tests: files in a folder of the test, a stand-in
// console endpoint that records what Quire sends, and a started application.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/Ini.h"
#include "common/UserDirs.h"
#include "common/link/Link.h"
#include "editor/app/LinkRules.h"
#include "editor/app/MainFrame.h"
#include "editor/app/Questions.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"
#include "tests/editor/app/TestQuestions.h"

// Listens as the console (" - Calyx") and keeps every text it receives.
class CConsoleStandIn {
 public:
  CConsoleStandIn() {
    m_endpoint.Open(quire_link::kConsoleTitle, [this](const std::string& text) {
      std::lock_guard lock(m_mutex);
      m_texts.push_back(text);
    });
  }
  std::vector<std::string> Texts() {
    std::lock_guard lock(m_mutex);
    return m_texts;
  }
  void Clear() {
    std::lock_guard lock(m_mutex);
    m_texts.clear();
  }

 private:
  calyx_link::CLinkEndpoint m_endpoint;
  std::mutex m_mutex;
  std::vector<std::string> m_texts;
};

class QuireTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();
    ::unlink((DefaultDataDir("Quire") + "userfiles.dat").c_str());
  }
  void TearDown() override {
    app.reset();
  }

  void Start(const QStringList& files = {}, bool show = false) {
    app = std::make_unique<CQuireApp>(&questions);
    ASSERT_EQ(app->InitInstance(files, {show, false}), CQuireApp::Start::Running);
    frame = app->Frame();
  }
  // Closes the window as the user does and ends the application.
  void Stop() {
    frame->close();
    app->ExitInstance();
    app.reset();
    frame = nullptr;
  }

  std::string WriteFile(const std::string& name, const std::string& content) {
    const QString path = m_dir.filePath(QString::fromStdString(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content.data(), static_cast<qint64>(content.size()));
    return path.toStdString();
  }
  std::string Folder() const { return m_dir.path().toStdString(); }
  static std::string ReadFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (CQuireDoc* doc : frame->Documents()) titles.push_back(doc->Title());
    return titles;
  }

  QTemporaryDir m_dir;
  std::unique_ptr<CQuireApp> app;
  CMainFrame* frame = nullptr;
  // No test may end up waiting for a person.
  CTestQuestions questions;
  std::vector<std::string>& startQuestions = questions.startQuestions;
  std::vector<std::string>& largeFileQuestions = questions.largeFileQuestions;
  std::vector<std::string>& warnings = questions.warnings;
  std::vector<std::string>& tips = questions.tips;
  std::vector<std::string>& started = questions.started;
};
