// A file link clicked while no editor runs starts one on the file, as
// "quire FILE:LINE", and says so when it cannot.
#include "console/shell/LinkOpener.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "console/command/HistoryStore.h"
#include "console/headless/MemoryViews.h"
#include "console/session/SessionCore.h"
#include "tests/common/TestFiles.h"

namespace {

// No editor answers the link.
class CNoEditorHost : public CMemoryHost {
 public:
  bool SendToEditor(const std::string&, bool) override { return false; }
};

class LinkOpenerTest : public ::testing::Test {
 protected:
  CTempDir dir;
  CMemoryViews memory;
  CNoEditorHost host;
  CHistoryStore history;
  std::unique_ptr<CSessionCore> core;
  QStringList reports;

  LinkOpenerTest() { core = std::make_unique<CSessionCore>(memory.Views(), "", history); }

  // A stand-in editor that writes the arguments it was started with.
  std::string StandInEditor() {
    const std::string program = dir.Path() + "/quire";
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args.tmp\" && mv \"$0.args.tmp\" \"$0.args\"\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    return program;
  }
};

TEST_F(LinkOpenerTest, AFileLinkStartsTheEditorOnTheFileAndLineWhenNoneRuns) {
  const std::string program = StandInEditor();
  CLinkOpener opener(*core, host, [this](const QString& message) { reports << message; }, nullptr, program);
  opener.OpenFileAt("/work/a b/f.m", 12);
  QFile args(QString::fromStdString(program + ".args"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return args.exists(); }, 20000));
  ASSERT_TRUE(args.open(QIODevice::ReadOnly));
  // One argument, spaces and all.
  EXPECT_EQ(args.readAll(), QByteArray("/work/a b/f.m:12\n"));
  EXPECT_TRUE(reports.isEmpty());
}

TEST_F(LinkOpenerTest, AnEditorThatCannotBeStartedIsReported) {
  CLinkOpener opener(*core, host, [this](const QString& message) { reports << message; }, nullptr,
                     dir.Path() + "/no-such-quire");
  opener.OpenFileAt("/work/f.m", 3);
  ASSERT_EQ(reports.size(), 1);
  EXPECT_EQ(reports.front(), QStringLiteral("Quire could not be started to show /work/f.m:3"));
}

}  // namespace
