// The desktop's boxes as a person meets them: caption, icon, text, buttons and
// the check box, and the answer each choice gives back.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "widgets/UserPrompts.h"

namespace {

struct SeenBox {
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString text;
  QMessageBox::StandardButtons buttons;
  QString checkBox;  // empty: none
};

// Reads the next modal box as soon as it is up, ticks its check box when asked
// and presses `press`.
class CBoxAnswerer {
 public:
  explicit CBoxAnswerer(QMessageBox::StandardButton press, bool tick = false) {
    QObject::connect(&m_timer, &QTimer::timeout, [this, press, tick] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      m_timer.stop();
      seen = {box->windowTitle(), box->icon(), box->text(), box->standardButtons(),
              box->checkBox() ? box->checkBox()->text() : QString()};
      if (box->checkBox()) box->checkBox()->setChecked(tick);
      box->button(press)->click();
    });
    m_timer.start(10);
  }
  SeenBox seen;

 private:
  QTimer m_timer;
};

TEST(DesktopPrompts, TheConfirmationGivesBackTheButtonAndTheTick) {
  CDesktopPrompts prompts;
  {
    CBoxAnswerer answerer(QMessageBox::Cancel, true);
    const ConfirmAnswer answer = prompts.AskConfirmation(nullptr, QStringLiteral("All text goes."));
    EXPECT_FALSE(answer.accepted);
    EXPECT_TRUE(answer.dontAskAgain);
    EXPECT_EQ(answerer.seen.caption, "Calyx");
    EXPECT_EQ(answerer.seen.icon, QMessageBox::Information);
    EXPECT_EQ(answerer.seen.text, "All text goes.");
    EXPECT_EQ(answerer.seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(answerer.seen.checkBox, "Don't tell me again");
  }
  CBoxAnswerer answerer(QMessageBox::Ok);
  const ConfirmAnswer answer = prompts.AskConfirmation(nullptr, QStringLiteral("All text goes."));
  EXPECT_TRUE(answer.accepted);
  EXPECT_FALSE(answer.dontAskAgain);
}

TEST(DesktopPrompts, TheQuestionIsTrueOnlyForYes) {
  CDesktopPrompts prompts;
  for (const auto& [press, expected] :
       {std::pair{QMessageBox::Yes, true}, std::pair{QMessageBox::No, false}}) {
    CBoxAnswerer answerer(press);
    EXPECT_EQ(prompts.AskYesNo(nullptr, QStringLiteral("Delete it?")), expected);
    EXPECT_EQ(answerer.seen.caption, "Calyx");
    EXPECT_EQ(answerer.seen.icon, QMessageBox::Question);
    EXPECT_EQ(answerer.seen.text, "Delete it?");
    EXPECT_EQ(answerer.seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(answerer.seen.checkBox.isEmpty());
  }
}

TEST(DesktopPrompts, MessagesShowTheirIconsUnderTheirCaptions) {
  CDesktopPrompts prompts;
  struct Case {
    std::function<void()> show;
    const char* caption;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {[&] { prompts.ShowInformation(nullptr, QStringLiteral("said")); }, "Calyx",
       QMessageBox::Information},
      {[&] { prompts.ShowError(nullptr, QStringLiteral("said")); }, "Calyx", QMessageBox::Critical},
      {[&] { prompts.ShowWarning(nullptr, QStringLiteral("Variable Editor"), QStringLiteral("said")); },
       "Variable Editor", QMessageBox::Warning},
  };
  for (const Case& box : cases) {
    SCOPED_TRACE(box.caption);
    CBoxAnswerer answerer(QMessageBox::Ok);
    box.show();
    EXPECT_EQ(answerer.seen.caption, box.caption);
    EXPECT_EQ(answerer.seen.icon, box.icon);
    EXPECT_EQ(answerer.seen.text, "said");
    EXPECT_EQ(answerer.seen.buttons, QMessageBox::Ok);
  }
}

}  // namespace
