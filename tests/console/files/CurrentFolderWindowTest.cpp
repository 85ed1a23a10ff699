// The current folder in the whole window with the real interpreter: typed "cd"
// moves the interpreter, the path box follows, and the folder sticks across a
// restart.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/Ini.h"
#include "tests/common/CalyxWindowTest.h"

namespace {

class CurrentFolderWindowTest : public CCalyxWindowTest {
 protected:
  // Types once the console takes input again: the previous answer is complete.
  void TypeWhenReady(const QString& line) {
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          return !frame->Console()->isReadOnly() &&
                 frame->Console()->toPlainText().endsWith(QStringLiteral(">> "));
        },
        60000));
    Type(line);
  }
  bool PathBoxShows(const QString& folder) {
    const bool shown =
        QTest::qWaitFor([&] { return frame->PathBox()->currentText() == folder; }, 60000);
    if (!shown) ADD_FAILURE() << "the box shows " << frame->PathBox()->currentText().toStdString()
                              << "\nconsole:\n" << frame->Console()->toPlainText().toStdString();
    return shown;
  }
};

TEST_F(CurrentFolderWindowTest, TypedCdMovesTheRealInterpreterAndSticksAcrossARestart) {
  if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QString work = QDir(temp.path()).canonicalPath() + QStringLiteral("/work");
  ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/sub")));
  ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/with blank")));
  QSettings(QCoreApplication::organizationName(), QStringLiteral("Calyx"))
      .setValue(QStringLiteral("Octave/workpath"), work);

  Start(QStringLiteral("/usr/bin"));
  ASSERT_TRUE(WaitConnected(true));
  ASSERT_TRUE(PathBoxShows(work));
  TypeWhenReady(QStringLiteral("cd sub"));
  ASSERT_TRUE(PathBoxShows(work + QStringLiteral("/sub")));
  TypeWhenReady(QStringLiteral("pwd"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("ans = %1/sub\n").arg(work)));
  TypeWhenReady(QStringLiteral("cd .."));
  ASSERT_TRUE(PathBoxShows(work));
  TypeWhenReady(QStringLiteral("disp(pwd)"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("disp(pwd)\n%1\n").arg(work)));
  TypeWhenReady(QStringLiteral("cd('with blank')"));
  ASSERT_TRUE(PathBoxShows(work + QStringLiteral("/with blank")));

  TypeWhenReady(QStringLiteral("cd missing"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.errors.isEmpty(); }, 60000));
  EXPECT_EQ(prompts.errors.first(), QStringLiteral("Cannot CD to \n%1/with blank/missing\n(Name is not a directory)").arg(work));
  EXPECT_EQ(frame->PathBox()->currentText(), work + QStringLiteral("/with blank"));
  TypeWhenReady(QStringLiteral("chdir ../sub"));
  ASSERT_TRUE(PathBoxShows(work + QStringLiteral("/sub")));
  EXPECT_EQ(QSettings(QCoreApplication::organizationName(), QStringLiteral("Calyx"))
                .value(QStringLiteral("Octave/workpath"))
                .toString(),
            work + QStringLiteral("/sub"));

  // The next start begins in the last folder, and the box lists the recent ones.
  app.reset();
  Start(QStringLiteral("/usr/bin"));
  ASSERT_TRUE(WaitConnected(true));
  ASSERT_TRUE(PathBoxShows(work + QStringLiteral("/sub")));
  TypeWhenReady(QStringLiteral("disp(pwd)"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("disp(pwd)\n%1/sub\n").arg(work)));
  QStringList listed;
  for (int i = 0; i < frame->PathBox()->count(); ++i) listed << frame->PathBox()->itemText(i);
  EXPECT_EQ(listed, (QStringList{work, work + QStringLiteral("/sub"), work + QStringLiteral("/with blank")}));
}

}  // namespace
