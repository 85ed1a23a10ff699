// The search-path and package dialogs in the whole window: the exact texts they
// queue, against the stand-in interpreter, and the effect on the real one.
#include <QAction>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/FolderList.h"
#include "common/UserDirs.h"
#include "console/command/HistoryStore.h"
#include "console/pathpkg/OctavePackages.h"
#include "console/pathpkg/OctavePaths.h"
#include "console/shell/CommandIds.h"
#include "tests/common/CalyxWindowTest.h"
#include "tests/fake/FakeInterpreterFolder.h"

namespace {

using Folders = std::vector<std::string>;
constexpr int kRealWaitMs = 120000;

const char kPathAnswer[] =
    "on path;###\n"
    "  out \\nOctave's search path contains the following directories:\\n\\n.\\n/usr/share/a\\n/tmp/b\\n\\n\n";

const char kPackageAnswer[] =
    "on pkg describe all;###\n"
    "  out ---\\nPackage name:\\n\\tio\\nVersion:\\n\\t1.0.9\\nShort description:\\n\\tInput/Output\\n"
    "Depends on:\\n\\t\\nDepended on by:\\n\\t\\nStatus:\\n\\tNot loaded\\n"
    "---\\nPackage name:\\n\\tsignal\\nVersion:\\n\\t1.0.10\\nShort description:\\n\\tSignals\\n"
    "Depends on:\\n\\t\\nDepended on by:\\n\\t\\nStatus:\\n\\tLoaded\\n\n";

class PathPackageDialogTest : public CCalyxWindowTest {
 protected:
  void SetUp() override {
    CCalyxWindowTest::SetUp();
    // The real interpreter gets a home of its own: no user settings, no user
    // packages, and whatever it writes stays here.
    for (const char* name : {"HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
      const QString folder = home.filePath(QString::fromLatin1(name));
      std::filesystem::create_directories(folder.toStdString());
      std::filesystem::permissions(folder.toStdString(), std::filesystem::perms::owner_all);
      m_saved.emplace_back(name, qgetenv(name));
      qputenv(name, folder.toLocal8Bit());
    }
    std::filesystem::remove(DefaultDataDir("Calyx") + "userpaths.dat");
  }
  void TearDown() override {
    CCalyxWindowTest::TearDown();
    for (const auto& [name, value] : m_saved) qputenv(name, value);
  }

  Folders UserPaths() { return folder_list::Read(app->Core()->UserData(), "Paths"); }
  COctavePaths* Paths() { return frame->PathDialog(); }
  COctavePackages* Packages() { return frame->PackageDialog(); }
  static QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
    return texts;
  }
  static bool ListHas(QTreeWidget* list, const QString& text, int timeoutMs = 10000) {
    return QTest::qWaitFor([&] { return Column(list, 0).contains(text); }, timeoutMs);
  }
  static void Select(QTreeWidget* list, const QStringList& texts) {
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      if (texts.contains(list->topLevelItem(i)->text(0))) list->topLevelItem(i)->setSelected(true);
    }
  }
  static QString Status(QTreeWidget* list, const QString& name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      if (list->topLevelItem(i)->text(0) == name) return list->topLevelItem(i)->text(3);
    }
    return {};
  }
  void ChooseFolder(const QString& folder) {
    Paths()->SetFolderChooser([this, folder](const QString& title, const QString&) {
      chooserTitles << title;
      return folder;
    });
  }

  QTemporaryDir home;
  QTemporaryDir work;
  QStringList chooserTitles;
  std::vector<std::pair<const char*, QByteArray>> m_saved;
};

TEST_F(PathPackageDialogTest, PathDialogAddsRemovesAndRemembersWithOneCommandEach) {
  CFakeInterpreter fake(kPathAnswer);
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Action(command_id::kSetPaths)->isEnabled(); }));
  frame->Action(command_id::kSetPaths)->trigger();
  EXPECT_TRUE(Paths()->isVisible());
  EXPECT_EQ(Paths()->windowTitle(), "Set Paths");
  ASSERT_TRUE(ListHas(Paths()->List(), QStringLiteral("/tmp/b")));
  EXPECT_EQ(Column(Paths()->List(), 0), (QStringList{"/usr/share/a", "/tmp/b"}));

  // A folder whose name holds the list separator and a quote.
  const QString odd = work.filePath(QStringLiteral("m,f'x"));
  QDir().mkpath(odd);
  ChooseFolder(odd);
  Paths()->AddFolder();
  const std::string oddPath = odd.toStdString();
  ASSERT_TRUE(fake.Logged("addpath('" + work.path().toStdString() + "/m,f''x');###"));
  EXPECT_EQ(chooserTitles.last(), "Select path to add");
  EXPECT_EQ(UserPaths(), Folders{oddPath});
  // The change is answered and the list asked for again.
  ASSERT_TRUE(QTest::qWaitFor([&] { return fake.LogLines().count(QStringLiteral("path;###")) >= 2; }));

  // Every folder below, in the listing's order; hidden and private ones left out.
  const QString tree = work.filePath(QStringLiteral("tree"));
  for (const char* sub : {"b", "a/c", "a/private", ".hidden", "@cls"}) QDir(tree).mkpath(QString::fromLatin1(sub));
  ChooseFolder(tree);
  Paths()->AddWithSubfolders();
  const std::string t = tree.toStdString();
  ASSERT_TRUE(fake.Logged("addpath('" + t + "', '" + t + "/a', '" + t + "/b', '" + t + "/a/c');###"));
  EXPECT_EQ(chooserTitles.last(), "Select path to add with subfolders");
  EXPECT_FALSE(Paths()->Scanning());
  EXPECT_EQ(UserPaths(), (Folders{oddPath, t, t + "/a", t + "/b", t + "/a/c"}));

  // Two rows, one command; neither was the user's, so the stored list stays.
  ASSERT_TRUE(ListHas(Paths()->List(), QStringLiteral("/tmp/b")));
  Select(Paths()->List(), {QStringLiteral("/tmp/b"), QStringLiteral("/usr/share/a")});
  Paths()->Remove();
  ASSERT_TRUE(fake.Logged("rmpath('/usr/share/a', '/tmp/b');###"));
  EXPECT_EQ(UserPaths().size(), 5u);

  // A cancelled picker changes nothing: the next command logged is the refresh.
  ChooseFolder(QString());
  const qsizetype before = fake.LogLines().size();
  Paths()->AddFolder();
  Paths()->Refresh();
  ASSERT_TRUE(QTest::qWaitFor([&] { return fake.LogLines().size() > before; }));
  EXPECT_EQ(fake.LogLines().mid(before), QStringList{"path;###"});
}

TEST_F(PathPackageDialogTest, PackageDialogIsBusyUntilTheInstallsPromptAndThenListsAgain) {
  CFakeInterpreter fake(QByteArray(kPackageAnswer) +
                        "on pkg install '/pk/foo-1.0.tar.gz' -auto -global -verbose;###\n"
                        "  out compiling foo\\n\n  sleep 300\n  out still compiling\\n\n  sleep 300\n"
                        "  out installed foo\\n\n"
                        "on pkg uninstall io;###\n  out \n");
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Action(command_id::kPackages)->isEnabled(); }));
  frame->Action(command_id::kPackages)->trigger();
  QTreeWidget* list = Packages()->List();
  EXPECT_EQ(Packages()->windowTitle(), "Packages");
  EXPECT_EQ(list->headerItem()->text(2), "Short description");
  EXPECT_EQ(list->columnWidth(2), 490);
  ASSERT_TRUE(ListHas(list, QStringLiteral("io")));
  EXPECT_EQ(Column(list, 0), (QStringList{"signal", "io"}));
  EXPECT_EQ(Column(list, 3), (QStringList{"Loaded", "Not loaded"}));

  Packages()->SetFileChooser([](const QString&) { return QStringLiteral("/pk/foo-1.0.tar.gz"); });
  Packages()->Install();
  EXPECT_TRUE(Packages()->Busy());
  for (QPushButton* button : Packages()->findChildren<QPushButton*>()) {
    if (button->text() != "Close") {
      EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
    }
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Packages()->Busy(); }, 10000));
  // The pauses in the install's output did not let the list's query in before
  // its prompt: the console has the whole install, the list the new answer.
  ASSERT_TRUE(ConsoleShows(QStringLiteral("still compiling\ninstalled foo\n")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return fake.LogLines().count(QStringLiteral("pkg describe all;###")) >= 2; }));
  ASSERT_TRUE(ListHas(list, QStringLiteral("io")));
  EXPECT_EQ(Column(list, 0), (QStringList{"signal", "io"}));
  EXPECT_FALSE(frame->Console()->toPlainText().contains(QStringLiteral("Package name:")));
  // Shown and remembered as the interpreter got it, without the program's marker.
  EXPECT_TRUE(frame->Console()->toPlainText().contains(
      QStringLiteral("pkg install '/pk/foo-1.0.tar.gz' -auto -global -verbose;\n")));

  // Load takes the first selected row only.
  Select(list, {QStringLiteral("io"), QStringLiteral("signal")});
  Packages()->Load();
  ASSERT_TRUE(fake.Logged("pkg load signal;###"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Packages()->Busy(); }));

  ASSERT_TRUE(ListHas(list, QStringLiteral("io")));
  Select(list, {QStringLiteral("io")});
  Packages()->Uninstall();  // No
  prompts.accept = true;
  Packages()->Uninstall();  // Yes
  ASSERT_TRUE(fake.Logged("pkg uninstall io;###"));
  EXPECT_EQ(prompts.questions, (QStringList{"Do you want to uninstall 'io' package?",
                                            "Do you want to uninstall 'io' package?"}));
  EXPECT_EQ(fake.LogLines().count(QStringLiteral("pkg uninstall io;###")), 1);
}

class RealOctavePathPackageTest : public PathPackageDialogTest {
 protected:
  void SetUp() override {
    if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
    PathPackageDialogTest::SetUp();
  }
  void StartReal() {
    Start(QStringLiteral("/usr/bin"));
    ASSERT_TRUE(WaitConnected(true));
    // Typing is taken once the console opens for it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->Console()->isReadOnly(); }, kRealWaitMs));
  }
};

TEST_F(RealOctavePathPackageTest, AddedFolderIsOnThePathAfterARestartAndRemoveTakesItOut) {
  const QString folder = work.filePath(QStringLiteral("my m,files'"));
  QDir().mkpath(folder);
  StartReal();
  ChooseFolder(folder);
  Paths()->AddFolder();
  frame->Action(command_id::kSetPaths)->trigger();
  ASSERT_TRUE(ListHas(Paths()->List(), folder, kRealWaitMs));

  app.reset();
  StartReal();
  EXPECT_EQ(UserPaths(), Folders{folder.toStdString()});
  frame->Action(command_id::kSetPaths)->trigger();
  ASSERT_TRUE(ListHas(Paths()->List(), folder, kRealWaitMs));

  Select(Paths()->List(), {folder});
  Paths()->Remove();
  ASSERT_TRUE(QTest::qWaitFor([&] {
    const QStringList rows = Column(Paths()->List(), 0);
    return rows.size() > 1 && !rows.contains(folder);
  }, kRealWaitMs));
  EXPECT_EQ(UserPaths(), Folders{});
}

// A package with one function, as an archive the interpreter installs.
QString MakePackage(const QString& root) {
  const std::string source = (root + QStringLiteral("/calyxpk")).toStdString();
  std::filesystem::create_directories(source + "/inst");
  std::ofstream(source + "/DESCRIPTION")
      << "Name: calyxpk\nVersion: 1.0.0\nDate: 2026-01-01\nAuthor: Calyx tests\n"
         "Maintainer: Calyx tests\nTitle: Calyx test package\nDescription: Made by a test.\nCategories: Test\n"
         // Today's "pkg describe" fails on a package without dependencies.
         "Depends: octave (>= 4.0.0)\n";
  std::ofstream(source + "/COPYING") << "Free to use.\n";
  std::ofstream(source + "/inst/calyxpk_hello.m")
      << "## -*- texinfo -*-\n## @deftypefn {} {} calyxpk_hello ()\n## Greets.\n## @end deftypefn\n"
         "function calyxpk_hello ()\n  disp ('hello from calyxpk');\nend\n";
  const QString archive = root + QStringLiteral("/calyxpk-1.0.0.tar.gz");
  QProcess tar;
  tar.start(QStringLiteral("tar"), {QStringLiteral("czf"), archive, QStringLiteral("-C"), root,
                                    QStringLiteral("calyxpk")});
  return tar.waitForFinished(30000) && tar.exitCode() == 0 ? archive : QString();
}

TEST_F(RealOctavePathPackageTest, PackageIsInstalledListedLoadedUnloadedAndUninstalled) {
  const QString archive = MakePackage(work.path());
  ASSERT_FALSE(archive.isEmpty());
  StartReal();
  // Every list and prefix of the package system in this test's folder, whoever
  // runs the test (root installs system-wide by default).
  const QString prefix = work.filePath(QStringLiteral("prefix"));
  Type(QStringLiteral("pkg prefix '%1' '%1'; pkg local_list '%2'; pkg global_list '%3'; disp('lists set')")
           .arg(prefix, work.filePath(QStringLiteral("local_list")), work.filePath(QStringLiteral("global_list"))));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("\nlists set\n"))) << frame->Console()->toPlainText().toStdString();

  frame->Action(command_id::kPackages)->trigger();
  QTreeWidget* list = Packages()->List();
  ASSERT_TRUE(ListHas(list, QStringLiteral("no packages installed"), kRealWaitMs));

  Packages()->SetFileChooser([&](const QString&) { return archive; });
  Packages()->Install();
  EXPECT_TRUE(Packages()->Busy());
  ASSERT_TRUE(ListHas(list, QStringLiteral("calyxpk"), kRealWaitMs))
      << frame->Console()->toPlainText().toStdString();
  EXPECT_FALSE(Packages()->Busy());
  EXPECT_TRUE(QFileInfo(prefix + QStringLiteral("/calyxpk-1.0.0")).isDir());
  EXPECT_EQ(Status(list, QStringLiteral("calyxpk")), "Not loaded");

  Select(list, {QStringLiteral("calyxpk")});
  Packages()->Load();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Status(list, QStringLiteral("calyxpk")) == "Loaded"; }, kRealWaitMs));
  Type(QStringLiteral("calyxpk_hello ()"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("hello from calyxpk\n")));

  Select(list, {QStringLiteral("calyxpk")});
  Packages()->Unload();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Status(list, QStringLiteral("calyxpk")) == "Not loaded"; }, kRealWaitMs));

  prompts.accept = true;
  Select(list, {QStringLiteral("calyxpk")});
  Packages()->Uninstall();
  ASSERT_TRUE(ListHas(list, QStringLiteral("no packages installed"), kRealWaitMs));
  EXPECT_FALSE(QFileInfo::exists(prefix + QStringLiteral("/calyxpk-1.0.0")));
}

}  // namespace
