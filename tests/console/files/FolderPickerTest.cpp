// The folder picker of Browse: its caption, where it starts, and that OK takes
// only a folder that exists.
#include "console/files/FolderPicker.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/common/TestFiles.h"

namespace {

namespace fs = std::filesystem;

TEST(FolderPicker, StartsInTheSavedFolderAndTakesOnlyAnExistingFolder) {
  CTempDir dir;
  const QString root = QString::fromStdString(fs::canonical(dir.Path()).string());
  fs::create_directory(dir.File("sub"));
  std::ofstream(dir.File("a.m")) << "1";
  fs::create_directory_symlink(dir.File("sub"), dir.File("linked"));

  CFolderPicker picker(nullptr, root);
  picker.show();
  picker.activateWindow();
  EXPECT_EQ(picker.windowTitle(), "Select a new working directory");
  EXPECT_EQ(picker.directory().absolutePath(), root);
  EXPECT_FALSE(picker.windowFlags() & Qt::WindowContextHelpButtonHint);
  for (const QToolButton* button : picker.findChildren<QToolButton*>())
    EXPECT_FALSE(button->isVisible() && button->toolTip().contains("New Folder", Qt::CaseInsensitive));
  auto* edit = picker.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  auto* buttons = picker.findChild<QDialogButtonBox*>();
  ASSERT_TRUE(edit && buttons);
  // As a user types there.
  edit->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 5000));
  QPushButton* ok = buttons->button(QDialogButtonBox::Open);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->text(), "OK");
  // The shown folder itself can be taken.
  EXPECT_TRUE(ok->isEnabled());
  const auto okFor = [&](const QString& text) {
    edit->setText(text);
    return ok->isEnabled();
  };
  EXPECT_FALSE(okFor("missing"));
  EXPECT_FALSE(okFor("a.m"));
  EXPECT_TRUE(okFor("sub"));
  EXPECT_TRUE(okFor("linked"));
  EXPECT_FALSE(okFor(root + "/sub/missing"));
  EXPECT_TRUE(okFor(root + "/sub"));

  // Enter in the edit box takes only a folder that exists.
  edit->setText("missing");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_TRUE(picker.isVisible());
  edit->setText("sub");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(picker.result(), QDialog::Accepted);
  EXPECT_EQ(picker.selectedFiles(), QStringList{root + "/sub"});
}

}  // namespace
