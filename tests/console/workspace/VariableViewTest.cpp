// The Workspace pane: its rows, its selection across listings, and the text
// every action queues.
#include "console/workspace/VariableView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include "console/headless/MemoryViews.h"
#include "console/session/OctaveRedirector.h"
#include "console/workspace/VaraiableName.h"
#include "console/workspace/WorkspaceIds.h"
#include "tests/common/TestPrompts.h"
#include "tests/console/workspace/WorkspaceTestSupport.h"

namespace {

using namespace workspace_id;
using Names = std::vector<std::string>;

class VariableViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.Attach({[this](const std::string& t, bool e) { return queue.Enqueue(t, e); },
                 [this] { ++refreshRequests; },
                 [this](const std::string& name) {
                   shown.push_back(name);
                   return true;
                 }});
    WorkspaceDialogs dialogs;
    dialogs.chooseFile = [this](QWidget*, bool save) {
      fileDialogs.push_back(save);
      return chosenFile;
    };
    dialogs.askName = [this](QWidget*, const QString& title, const QString& label,
                             const QString& initial) -> std::optional<std::string> {
      asked.push_back({title.toStdString(), label.toStdString(), initial.toStdString()});
      return answer;
    };
    view.SetDialogs(dialogs);
    view.SetConnected(true);
    prompts.accept = true;
    view.SetRows({{{"A", "4x3x5", "double", "480"}, 1},
                  {{"b", "1x1", "double", "8"}, 2},
                  {{"n", "1x5", "int32", "20"}, 2},
                  {{"s", "1x1", "struct", "8"}, 0},
                  {{"t", "1x3", "char", "3"}, 3}});
  }
  // Waits until the window has drawn whatever was pending: the toolbar is made
  // dirty, and the pass that draws it draws every other dirty part of the window.
  bool WindowDrawn() {
    QToolBar* toolBar = view.findChild<QToolBar*>();
    CPaintCounter toolBarPaints(toolBar);
    toolBar->update();
    return QTest::qWaitFor([&] { return toolBarPaints.Count() > 0; }, 5000);
  }
  void Select(const Names& names) {
    view.List()->clearSelection();
    for (int row = 0; row < view.Model().rowCount(); ++row) {
      const QModelIndex index = view.Model().index(row, 0);
      for (const std::string& name : names) {
        if (index.data().toString().toStdString() == name)
          view.List()->selectionModel()->select(
              index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
    }
  }

  CTestPrompts prompts;
  CVariableView view{prompts};
  CCommandRecorder queue;
  int refreshRequests = 0;
  Names shown;
  std::vector<bool> fileDialogs;
  std::string chosenFile;
  std::vector<Names> asked;
  std::optional<std::string> answer;
};

TEST_F(VariableViewTest, ColumnsIconsAndRowsAsTheListingGaveThem) {
  const QHeaderView* header = view.List()->header();
  Names headers;
  for (int column = 0; column < 4; ++column)
    headers.push_back(view.Model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
  EXPECT_EQ(headers, (Names{"Name", "Size", "Class", "Bytes"}));
  EXPECT_EQ((std::vector<int>{header->sectionSize(0), header->sectionSize(1), header->sectionSize(2),
                              header->sectionSize(3)}),
            (std::vector<int>{100, 60, 80, 80}));
  ASSERT_EQ(view.Model().rowCount(), 5);
  EXPECT_EQ(view.Model().index(0, 1).data().toString(), "4x3x5");
  EXPECT_EQ(view.Model().index(3, 2).data().toString(), "struct");
  // Every row has its image, and the four images differ.
  std::vector<QImage> images;
  for (int row : {3, 0, 1, 4}) {
    const QIcon icon = view.Model().index(row, 0).data(Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(icon.isNull()) << row;
    images.push_back(icon.pixmap(16, 16).toImage());
  }
  for (size_t i = 0; i < images.size(); ++i) {
    for (size_t j = i + 1; j < images.size(); ++j) EXPECT_NE(images[i], images[j]) << i << " " << j;
  }
  EXPECT_FALSE(view.Model().index(0, 1).data(Qt::DecorationRole).isValid());
}

TEST_F(VariableViewTest, AnUnchangedListingKeepsRowsAndSelectionAndDrawsNothing) {
  CMemoryViews memory;
  SessionViews views = memory.Views();
  views.workspace = &view;
  CSessionSignals sessionSignals;
  CHistoryStore history;
  COctaveRedirector redirector(sessionSignals, views, history);
  const std::vector<std::vector<std::string>> table = {{"A", "4x3x5", "double"}, {"b", "1x1", "double"},
                                                       {"n", "1x5", "int32"}, {"s", "1x1", "struct"},
                                                       {"t", "1x3", "char"}};
  view.resize(400, 300);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  Select({"b", "s"});
  view.List()->selectionModel()->setCurrentIndex(view.Model().index(3, 0), QItemSelectionModel::NoUpdate);
  ASSERT_TRUE(WindowDrawn());
  const int rebuilds = view.Model().Rebuilds();
  CPaintCounter paints(view.List()->viewport());

  redirector.FeedOutput(WorkspaceAnswer(table));
  redirector.FeedQuiet();
  ASSERT_TRUE(WindowDrawn());
  EXPECT_EQ(view.Model().Rebuilds(), rebuilds);
  EXPECT_EQ(paints.Count(), 0);
  EXPECT_EQ(view.GetSelectedNames(), (Names{"b", "s"}));
  EXPECT_EQ(view.List()->currentIndex().row(), 3);

  // A changed size rebuilds the list; the names still there stay selected.
  auto changed = table;
  changed[0][1] = "4x4x5";
  changed.erase(changed.begin() + 3);
  redirector.FeedOutput(WorkspaceAnswer(changed));
  redirector.FeedQuiet();
  EXPECT_EQ(view.Model().Rebuilds(), rebuilds + 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return paints.Count() > 0; }, 5000));
  EXPECT_EQ(view.Model().index(0, 1).data().toString(), "4x4x5");
  EXPECT_EQ(view.GetSelectedNames(), (Names{"b"}));
  EXPECT_EQ(view.Rows().size(), 4u);
}

TEST_F(VariableViewTest, SaveAndLoadQueueSilentlyAndCancelOrNoExtensionQueueNothing) {
  Select({"t", "A"});
  chosenFile = "/home/u/run.fhdf5";
  view.Action(kSaveSelected)->trigger();
  EXPECT_EQ(queue.Take(),
            (std::vector<QueuedCommand>{{R"(save("-float-hdf5", "/home/u/run.fhdf5", "A","t");)", false}}));
  chosenFile = "/home/u/data.mat";
  view.Action(kLoadFile)->trigger();
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{{R"(load("/home/u/data.mat");)", false}}));
  EXPECT_EQ(fileDialogs, (std::vector<bool>{true, false}));
  chosenFile = "";
  view.Action(kSaveSelected)->trigger();
  view.Action(kLoadFile)->trigger();
  chosenFile = "/home/u/noextension";
  view.Action(kSaveSelected)->trigger();
  view.Action(kLoadFile)->trigger();
  EXPECT_TRUE(queue.Take().empty());
  // Nothing selected: the whole workspace.
  view.List()->clearSelection();
  chosenFile = "/home/u/all.mat";
  view.SaveSelected();
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{{R"(save("-mat", "/home/u/all.mat");)", false}}));
}

TEST_F(VariableViewTest, ViewOpensOnlyDoublesInTheEditorAndPrintsTheRest) {
  Select({"b", "n"});
  view.Action(kViewSelected)->trigger();
  EXPECT_EQ(shown, (Names{"b"}));
  EXPECT_TRUE(queue.Take().empty());
  for (const char* other : {"n", "s", "t"}) {
    Select({other});
    view.ViewSelected();
  }
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{{"n", true}, {"s", true}, {"t", true}}));
  view.List()->clearSelection();
  view.ViewSelected();
  EXPECT_TRUE(queue.Take().empty());
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(VariableViewTest, RenameTakesTheFirstSelectedAndRefusesABadName) {
  Select({"n", "b"});
  answer = "bb";
  view.Action(kRenameSelected)->trigger();
  EXPECT_EQ(asked, (std::vector<Names>{{"Rename variable", "New name:", "b"}}));
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{{"bb = b; clear b;", false}}));
  answer = "";
  view.RenameSelected();
  answer = std::nullopt;
  view.RenameSelected();
  EXPECT_TRUE(queue.Take().empty());
  answer = "x; system('id')";
  view.RenameSelected();
  EXPECT_TRUE(queue.Take().empty());
  EXPECT_EQ(prompts.information, QStringList{"\"x; system('id')\" is not a valid variable name."});
}

TEST_F(VariableViewTest, DuplicateQueuesOneCommandPerNameInListOrder) {
  Select({"t", "A", "b"});
  answer = "Copy";
  view.Action(kDuplicateSelected)->trigger();
  EXPECT_EQ(asked, (std::vector<Names>{{"Duplicate variables", "Suffix:", "Copy"}}));
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{
                              {"ACopy = A;", false}, {"bCopy = b;", false}, {"tCopy = t;", false}}));
  answer = std::nullopt;
  view.DuplicateSelected();
  answer = " 2";
  view.DuplicateSelected();
  EXPECT_TRUE(queue.Take().empty());
}

TEST_F(VariableViewTest, DeleteAsksWithTheNameAndNoSendsNothing) {
  Select({"t"});
  prompts.accept = false;
  view.Action(kDeleteSelected)->trigger();
  EXPECT_TRUE(queue.Take().empty());
  prompts.accept = true;
  Select({"b", "t"});
  view.DeleteSelected();
  EXPECT_EQ(prompts.questions, (QStringList{"Are you sure you want delete 't'?",
                                            "Are you sure you want delete selected variables?"}));
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{{"clear b t ;", false}}));
}

TEST_F(VariableViewTest, PlotMenuHasEveryFunctionAndQueuesVisibly) {
  QMenu* menu = view.ContextMenu();
  Names entries;
  QMenu* plot = nullptr;
  for (QAction* action : menu->actions()) {
    entries.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    if (action->menu()) plot = action->menu();
  }
  EXPECT_EQ(entries, (Names{"Save As...\tCtrl+S", "Load...\tCtrl+O", "-", "View\tEnter", "Plot",
                            "Rename\tF2", "Duplicate", "Delete\tDel", "-", "Select All\tCtrl+A",
                            "Refresh\tF5"}));
  ASSERT_NE(plot, nullptr);
  Names functions;
  for (QAction* action : plot->actions()) functions.push_back(action->isSeparator() ? "-" : action->text().toStdString());
  EXPECT_EQ(functions, (Names{"plot", "-", "area", "bar", "barh", "hist", "pareto", "pie", "rose",
                              "stairs", "stem", "-", "contour", "image", "imagesc", "pcolor"}));

  Select({"b"});
  plot->actions().at(0)->trigger();
  Select({"A", "b"});
  view.Action(32853)->trigger();
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{{"figure; plot(b); hold off;", true},
                                                      {"figure; stem(A); hold on; stem(b); hold off;", true}}));
  view.List()->clearSelection();
  view.PlotSelected(32850);
  Select({"b"});
  view.PlotSelected(32870);
  EXPECT_TRUE(queue.Take().empty());
}

TEST_F(VariableViewTest, ToolbarOrderAndTips) {
  Names buttons;
  for (QAction* action : view.ToolBar()->actions()) buttons.push_back(action->iconText().toStdString());
  EXPECT_EQ(buttons, (Names{"Load", "View", "Save As", "Delete", "Duplicate", "Rename", "Select All",
                            "Refresh"}));
  EXPECT_EQ(view.Action(kSaveSelected)->toolTip(), "Saves variables to a file");
  EXPECT_EQ(view.Action(kRefresh)->toolTip(), "Refresh list of variables");
}

TEST_F(VariableViewTest, KeysAndDoubleClickActOnTheSelection) {
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  Select({"t"});
  prompts.accept = false;
  QTest::keyClick(view.List(), Qt::Key_Return);
  QTest::keyClick(view.List(), Qt::Key_Delete);
  QTest::keyClick(view.List(), Qt::Key_F5);
  answer = std::nullopt;
  QTest::keyClick(view.List(), Qt::Key_F2);
  EXPECT_EQ(queue.Take(), (std::vector<QueuedCommand>{{"t", true}}));
  EXPECT_EQ(prompts.questions, QStringList{"Are you sure you want delete 't'?"});
  EXPECT_EQ(refreshRequests, 1);
  EXPECT_EQ(asked.size(), 1u);
  // A, O and S only with Ctrl.
  QTest::keyClick(view.List(), Qt::Key_S);
  QTest::keyClick(view.List(), Qt::Key_O);
  EXPECT_TRUE(fileDialogs.empty());
  QTest::keyClick(view.List(), Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(view.List(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(fileDialogs, (std::vector<bool>{true, false}));
  QTest::keyClick(view.List(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(view.GetSelectedNames(), (Names{"A", "b", "n", "s", "t"}));

  const QRect row = view.List()->visualRect(view.Model().index(1, 0));
  QTest::mouseClick(view.List()->viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseDClick(view.List()->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(shown, (Names{"b"}));
}

TEST_F(VariableViewTest, DisconnectedTheListAndItsCommandsDoNothing) {
  view.SetConnected(false);
  Select({"b"});
  EXPECT_FALSE(view.List()->isEnabled());
  EXPECT_FALSE(view.Action(kViewSelected)->isEnabled());
  view.RunCommand(kViewSelected);
  view.RunCommand(kRefresh);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(refreshRequests, 0);
  view.SetConnected(true);
  view.RunCommand(kRefresh);
  EXPECT_EQ(refreshRequests, 1);
}

TEST(VaraiableNameDialog, ShowsTitleLabelAndTextAndOkReturnsTheEdit) {
  CVaraiableName dialog(QStringLiteral("Rename variable"), QStringLiteral("New name:"),
                        QStringLiteral("x"));
  EXPECT_EQ(dialog.windowTitle(), "Rename variable");
  EXPECT_EQ(dialog.Label()->text(), "New name:");
  EXPECT_EQ(dialog.Edit()->text(), "x");
  EXPECT_EQ(dialog.Edit()->accessibleName(), "New name:");
  QTimer::singleShot(0, &dialog, [&] {
    dialog.Edit()->setText(QStringLiteral("y2"));
    QTest::keyClick(dialog.Edit(), Qt::Key_Return);
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.Result(), "y2");

  CVaraiableName cancelled(QStringLiteral("Duplicate variables"), QStringLiteral("Suffix:"),
                           QStringLiteral("Copy"));
  QTimer::singleShot(0, &cancelled, [&] {
    cancelled.Edit()->setText(QStringLiteral("Other"));
    QTest::keyClick(cancelled.Edit(), Qt::Key_Escape);
  });
  EXPECT_EQ(cancelled.exec(), QDialog::Rejected);
  EXPECT_EQ(cancelled.Result(), "Copy");
}

}  // namespace
