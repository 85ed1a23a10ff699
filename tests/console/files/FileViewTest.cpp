// The Current Directory pane on real temporary folders: the list, its refills
// when files change from outside, its commands, name dialogs and drag and drop.
#include "console/files/FileView.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "console/files/DirectoryWatcher.h"
#include "console/files/FileListModel.h"
#include "console/files/FilesExplorer.h"
#include "tests/common/TestFiles.h"
#include "tests/common/TestPrompts.h"

namespace {

using namespace file_id;
namespace fs = std::filesystem;
using Names = QStringList;

struct Sent {
  std::string command;
  bool echo;
  bool operator==(const Sent&) const = default;
};

class FileViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = QString::fromStdString(fs::canonical(dir.Path()).string());
    for (const char* name : {"a.m", "B.mat", "c.txt", "Makefile"}) Write(name, "x = 1;\n");
    fs::create_directory(Path("sub"));
    prompts.accept = true;
    FilePaneDialogs dialogs;
    dialogs.askName = [this](QWidget*, const QString& title, const QString& label,
                             const QString& initial) -> std::optional<QString> {
      asked << QStringList{title, label, initial};
      return answer;
    };
    view.Attach({[this](const std::string& command, bool echo) { sent.push_back({command, echo}); },
                 [this](const std::string& text) {
                   entered.push_back(text);
                   return 1;
                 },
                 [this](const QString& message) { statuses << message; }},
                dialogs);
    view.resize(500, 400);
    view.show();
    ShowAndWait();
  }

  std::string Path(const std::string& name) const { return (root + "/").toStdString() + name; }
  void Write(const std::string& name, const std::string& content) { std::ofstream(Path(name)) << content; }
  void ShowAndWait() {
    QSignalSpy listed(&view, &CFileView::Listed);
    view.ShowFolder(root);
    ASSERT_TRUE(listed.wait(10000));
  }
  Names Shown() const {
    Names names;
    for (const FileRow& row : view.Model()->Rows()) names << row.name;
    return names;
  }
  bool WaitShown(const Names& wanted) {
    const bool shown = QTest::qWaitFor([&] { return Shown() == wanted; }, 10000);
    if (!shown) ADD_FAILURE() << "shown: " << Shown().join(QLatin1Char(',')).toStdString();
    return shown;
  }
  void Select(const Names& names) {
    view.List()->clearSelection();
    for (int i = 0; i < view.Model()->rowCount(); ++i) {
      if (names.contains(view.Model()->Rows()[static_cast<size_t>(i)].name))
        view.List()->selectionModel()->select(view.Model()->index(i, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  QString Text(const QString& name, int column) const {
    for (int i = 0; i < view.Model()->rowCount(); ++i)
      if (view.Model()->Rows()[static_cast<size_t>(i)].name == name)
        return view.Model()->data(view.Model()->index(i, column), Qt::DisplayRole).toString();
    throw std::runtime_error("no row " + name.toStdString());
  }
  const FileRow& Row(const QString& name) const {
    for (const FileRow& row : view.Model()->Rows())
      if (row.name == name) return row;
    throw std::runtime_error("no row " + name.toStdString());
  }

  CTempDir dir;
  QString root;
  CTestPrompts prompts;
  CFileView view{prompts};
  std::vector<Sent> sent;
  std::vector<std::string> entered;
  QStringList statuses;
  QList<QStringList> asked;
  std::optional<QString> answer;
};

TEST_F(FileViewTest, TheListShowsUpFoldersAndFilteredFilesWithSizeAndType) {
  EXPECT_EQ(Shown(), (Names{"..", "sub", "B.mat", "a.m"}));
  using Column = CFileListModel::Column;
  EXPECT_EQ(Text("a.m", Column::kSize), "1 KB");
  EXPECT_EQ(Text("sub", Column::kSize), "");
  EXPECT_EQ(Text("..", Column::kDate), "");
  EXPECT_FALSE(Text("sub", Column::kDate).isEmpty());
  EXPECT_FALSE(Text("a.m", Column::kType).isEmpty());
  EXPECT_EQ(Text("sub", Column::kType), Text("..", Column::kType));
  // Sizes and dates are shown whole.
  const QFontMetrics metrics = view.List()->fontMetrics();
  for (const char* name : {"a.m", "sub"}) {
    EXPECT_GT(view.List()->header()->sectionSize(Column::kDate), metrics.horizontalAdvance(Text(name, Column::kDate)));
    EXPECT_GT(view.List()->header()->sectionSize(Column::kSize), metrics.horizontalAdvance(Text(name, Column::kSize)));
  }
  const QVariant icon = view.Model()->data(view.Model()->index(3, 0), Qt::DecorationRole);
  EXPECT_FALSE(icon.value<QIcon>().isNull());

  QStringList filters;
  for (int i = 0; i < view.FilterBox()->count(); ++i) filters << view.FilterBox()->itemText(i);
  EXPECT_EQ(filters, (QStringList{"*.m;*.mat", "*.m;*.mat;*.hdf5;*.fhdf5;*.txt;*.bin;*.fbin;*.zip", "*.*"}));
  view.FilterBox()->setCurrentIndex(2);
  emit view.FilterBox()->activated(2);
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat", "Makefile", "a.m", "c.txt"}));
  view.FilterBox()->setEditText(QStringLiteral("*.TXT;"));
  view.Refresh();
  ASSERT_TRUE(WaitShown({"..", "sub", "c.txt"}));
}

TEST_F(FileViewTest, TheListFollowsFilesMadeRenamedAndDeletedOutside) {
  Write("new.m", "y = 2;\n");
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat", "a.m", "new.m"}));
  fs::rename(Path("a.m"), Path("z.m"));
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat", "new.m", "z.m"}));
  fs::remove(Path("B.mat"));
  ASSERT_TRUE(WaitShown({"..", "sub", "new.m", "z.m"}));
  fs::create_directory(Path("sub2"));
  ASSERT_TRUE(WaitShown({"..", "sub", "sub2", "new.m", "z.m"}));
  // A file grown from outside shows its new size.
  Write("z.m", std::string(3000, 'x'));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Text("z.m", CFileListModel::kSize) == "3 KB"; }, 10000));
  // A change inside a subfolder alters that folder's date, so it is seen too.
  QSignalSpy listed(&view, &CFileView::Listed);
  Write("sub2/inner.m", "");
  ASSERT_TRUE(listed.wait(10000));
}

TEST_F(FileViewTest, TheWatcherNamesWhatChanged) {
  CDirectoryWatcher watcher;
  ASSERT_TRUE(watcher.Watch(root));
  // Nothing is known of the time before the watch began.
  EXPECT_TRUE(watcher.TakeChanges().everything);
  QSignalSpy changed(&watcher, &CDirectoryWatcher::Changed);
  Write("a.m", "grown");
  Write("sub/inner.m", "");
  Write("f.m.bak", "");
  ASSERT_TRUE(changed.wait(10000));
  const FolderChanges changes = watcher.TakeChanges();
  EXPECT_FALSE(changes.everything);
  EXPECT_EQ(changes.names, (std::set<std::string>{"a.m", "f.m.bak", "sub"}));
  EXPECT_TRUE(watcher.TakeChanges().names.empty());
  // Once the folder itself is gone, nothing is known any more.
  fs::remove_all(Path("sub"));
  fs::rename(root.toStdString(), root.toStdString() + "-moved");
  ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.TakeChanges().everything; }, 10000));
  fs::rename(root.toStdString() + "-moved", root.toStdString());
}

TEST_F(FileViewTest, TemporaryBackupAndHiddenFilesDoNotRefillTheList) {
  QSignalSpy changed(view.Watcher(), &CDirectoryWatcher::Changed);
  for (const char* name : {"~lock.m", "f.m.bak", "x.tmp", ".hidden.m", "sub/.swap", "sub/~y"}) Write(name, "1");
  fs::remove(Path("x.tmp"));
  // The kernel has queued every event: once they are read and nothing settles,
  // no change was reported.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !view.Watcher()->HasPendingChanges(); }, 10000));
  EXPECT_EQ(changed.count(), 0);
  Write("real.m", "1");
  ASSERT_TRUE(changed.wait(10000));
}

TEST_F(FileViewTest, AnUnchangedRefreshLeavesTheListAloneAndSelectionSurvivesARefill) {
  const int refills = view.Model()->Refills();
  QSignalSpy listed(&view, &CFileView::Listed);
  view.Refresh();
  ASSERT_TRUE(listed.wait(10000));
  EXPECT_FALSE(listed.takeFirst().at(0).toBool());
  EXPECT_EQ(view.Model()->Refills(), refills);
  Select({"a.m"});
  Write("b.m", "");
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat", "a.m", "b.m"}));
  EXPECT_EQ(view.List()->selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(view.List()->selectionModel()->selectedRows().front().row(), 3);
}

// The list is refilled only when a visible text differs, not when a value behind
// it does (a file saved again within the same second and size class).
TEST(FileListModel, RefillsOnlyWhenAShownTextDiffers) {
  CFileListModel model;
  const auto rows = [](quint64 bytes, qint64 modified) {
    FileRow up;
    up.name = QStringLiteral("..");
    up.folder = true;
    FileRow file;
    file.name = QStringLiteral("a.m");
    file.bytes = bytes;
    file.modified = modified;
    return std::vector<FileRow>{up, file};
  };
  const qint64 second = 1700000000000;
  EXPECT_TRUE(model.SetRows("/w", rows(100, second)));
  EXPECT_FALSE(model.SetRows("/w", rows(900, second + 400)));
  EXPECT_EQ(model.Refills(), 1);
  EXPECT_TRUE(model.SetRows("/w", rows(2000, second + 400)));
  EXPECT_TRUE(model.SetRows("/w", rows(2000, second + 86400000)));
  EXPECT_TRUE(model.SetRows("/elsewhere", rows(2000, second + 86400000)));
  EXPECT_EQ(model.Refills(), 4);
}

TEST_F(FileViewTest, SortingKeepsUpFirstAndFoldersBeforeFiles) {
  Write("big.m", std::string(5000, 'x'));
  Write("a.m", std::string(100, 'x'));
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat", "a.m", "big.m"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Row("a.m").bytes == 100; }, 10000));
  view.List()->sortByColumn(CFileListModel::kSize, Qt::DescendingOrder);
  EXPECT_EQ(Shown(), (Names{"..", "sub", "big.m", "a.m", "B.mat"}));
  view.List()->sortByColumn(CFileListModel::kName, Qt::DescendingOrder);
  EXPECT_EQ(Shown(), (Names{"..", "sub", "big.m", "B.mat", "a.m"}));
  // A refill keeps the chosen order.
  Write("c.m", "");
  ASSERT_TRUE(WaitShown({"..", "sub", "c.m", "big.m", "B.mat", "a.m"}));
}

TEST_F(FileViewTest, OpenRunLoadAndOpenAsTextSendQuotedCommands) {
  Write("d.mat", "");
  Write("DATA.MAT", "");
  view.FilterBox()->setEditText(QStringLiteral("*.*"));
  view.Refresh();
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat", "DATA.MAT", "Makefile", "a.m", "c.txt", "d.mat"}));
  Select({"DATA.MAT", "d.mat"});
  view.RunCommand(kOpen);
  // Folders come first in the list: the folder is entered, the file not opened.
  Select({"sub", "a.m"});
  view.RunCommand(kOpen);
  Select({"a.m"});
  view.RunCommand(kRunFile);
  Select({"a.m", "c.txt", "sub"});
  view.RunCommand(kOpenAsText);
  view.RunCommand(kLoad);
  EXPECT_EQ(sent, (std::vector<Sent>{{"edit 'DATA.MAT'; load 'd.mat'; ", false},
                                     {"run a", true},
                                     {"edit 'a.m'; edit 'c.txt'; ", true},
                                     {"load 'sub'; load 'a.m'; load 'c.txt'; ", true}}));
  EXPECT_EQ(entered, (std::vector<std::string>{"sub"}));
}

TEST_F(FileViewTest, EnterOpensAndListsWithTheFilterBoxTextCtrlOOnlyOpens) {
  view.List()->setFocus();
  view.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return view.List()->hasFocus(); }, 5000));
  // Enter in the list opens the selection, here "..", which goes up, and lists
  // the folder again with the filter box's text.
  view.FilterBox()->setEditText(QStringLiteral("*.txt"));
  Select({".."});
  QTest::keyClick(view.List(), Qt::Key_Return);
  EXPECT_EQ(entered, (std::vector<std::string>{".."}));
  ASSERT_TRUE(WaitShown({"..", "sub", "c.txt"}));
  Select({"c.txt"});
  QSignalSpy enterListed(&view, &CFileView::Listed);
  QTest::keyClick(view.List(), Qt::Key_Enter);
  EXPECT_EQ(sent, (std::vector<Sent>{{"edit 'c.txt'; ", false}}));
  ASSERT_TRUE(enterListed.wait(10000));
  // Ctrl+O opens and lists nothing again: the next listing is the one Enter in
  // the filter box asks for, with the box's text.
  QSignalSpy listed(&view, &CFileView::Listed);
  view.FilterBox()->setEditText(QStringLiteral("*.m"));
  QTest::keyClick(view.List(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(sent.size(), 2u) << sent.back().command;
  view.FilterBox()->setEditText(QStringLiteral("Makefile"));
  QTest::keyClick(view.FilterBox()->lineEdit(), Qt::Key_Return);
  ASSERT_TRUE(WaitShown({"..", "sub", "Makefile"}));
  EXPECT_EQ(listed.count(), 1);
}

TEST_F(FileViewTest, NameDialogsMakeRenameAndDuplicateWithoutReplacingAnything) {
  answer = QStringLiteral("made");
  view.RunCommand(kNewFolder);
  EXPECT_TRUE(fs::is_directory(Path("made")));
  Select({"a.m"});
  answer = QStringLiteral("B.mat");
  view.RunCommand(kRename);
  EXPECT_TRUE(fs::exists(Path("a.m")));
  EXPECT_EQ(fs::file_size(Path("B.mat")), 7u);
  ASSERT_EQ(statuses.size(), 1);
  EXPECT_TRUE(statuses.back().startsWith("Cannot rename 'a.m' to 'B.mat': ")) << statuses.back().toStdString();
  answer = QStringLiteral("Copy");
  view.RunCommand(kDuplicate);
  EXPECT_TRUE(fs::exists(Path("Copy a.m")));
  std::ofstream(Path("Copy a.m")) << "mine";
  view.RunCommand(kDuplicate);
  EXPECT_EQ(fs::file_size(Path("Copy a.m")), 4u);
  EXPECT_EQ(statuses.size(), 2);
  answer = QStringLiteral("b.m");
  view.RunCommand(kRename);
  EXPECT_TRUE(fs::exists(Path("b.m")));
  EXPECT_FALSE(fs::exists(Path("a.m")));
  answer.reset();
  view.RunCommand(kNewFolder);
  EXPECT_EQ(asked, (QList<QStringList>{{"Create new folder", "Name:", "New Folder"},
                                       {"Rename file", "New name:", "a.m"},
                                       {"Duplicate file", "Suffix:", "Copy"},
                                       {"Duplicate file", "Suffix:", "Copy"},
                                       {"Rename file", "New name:", "a.m"},
                                       {"Create new folder", "Name:", "New Folder"}}));
}

TEST_F(FileViewTest, DeleteAsksFirstAndLeavesAFolderThatIsNotEmpty) {
  Write("sub/inside.m", "");
  Select({"a.m"});
  prompts.accept = false;
  view.RunCommand(kDelete);
  EXPECT_TRUE(fs::exists(Path("a.m")));
  prompts.accept = true;
  Select({"a.m", "sub"});
  view.RunCommand(kDelete);
  EXPECT_FALSE(fs::exists(Path("a.m")));
  EXPECT_TRUE(fs::exists(Path("sub/inside.m")));
  EXPECT_EQ(prompts.questions, (QStringList{"Are you sure you want delete 'a.m'?",
                                            "Are you sure you want delete selected files?"}));
  ASSERT_EQ(statuses.size(), 1);
  EXPECT_TRUE(statuses.front().startsWith("Cannot delete 'sub': ")) << statuses.front().toStdString();
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat"}));
}

TEST_F(FileViewTest, DragOutGivesFileUrlsAndDropMovesOrCopiesWithoutReplacing) {
  Select({"a.m", "sub", ".."});
  std::unique_ptr<QMimeData> out(view.Model()->mimeData(view.List()->selectionModel()->selectedIndexes()));
  EXPECT_EQ(out->urls(), (QList<QUrl>{QUrl::fromLocalFile(root + "/sub"), QUrl::fromLocalFile(root + "/a.m")}));

  CTempDir other;
  std::ofstream(other.File("moved.m")) << "1";
  std::ofstream(other.File("copied.m")) << "2";
  std::ofstream(other.File("a.m")) << "other";
  const auto drop = [&](const std::string& name, Qt::KeyboardModifiers modifiers) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(other.File(name)))});
    // As a drag does: it enters the list, then drops there.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view.List()->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), modifiers & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view.List()->viewport(), &drop);
  };
  drop("moved.m", Qt::NoModifier);
  drop("copied.m", Qt::ControlModifier);
  drop("a.m", Qt::NoModifier);
  EXPECT_FALSE(fs::exists(other.File("moved.m")));
  EXPECT_TRUE(fs::exists(Path("moved.m")));
  EXPECT_TRUE(fs::exists(other.File("copied.m")));
  EXPECT_TRUE(fs::exists(Path("copied.m")));
  // The existing a.m is kept, and so is the one that was dropped.
  EXPECT_EQ(fs::file_size(Path("a.m")), 7u);
  EXPECT_TRUE(fs::exists(other.File("a.m")));
  ASSERT_EQ(statuses.size(), 1);
  EXPECT_TRUE(statuses.front().startsWith("Cannot move 'a.m': ")) << statuses.front().toStdString();
  ASSERT_TRUE(WaitShown({"..", "sub", "B.mat", "a.m", "copied.m", "moved.m"}));
}

}  // namespace
