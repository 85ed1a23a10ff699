// Every application look shows disabled entries as disabled: in its palette and
// in a menu drawn by its style.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPalette>
#include <QStyle>
#include <cstdlib>
#include <map>

#include "console/shell/Looks.h"

namespace {

int Distance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
         std::abs(qBlue(a) - qBlue(b));
}

// How far the strongest ink of `rect` stands out from its most common colour.
int InkContrast(const QImage& image, const QRect& rect) {
  std::map<QRgb, int> counts;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) ++counts[image.pixel(x, y)];
  QRgb background = 0;
  int most = 0;
  for (const auto& [colour, count] : counts) {
    if (count > most) {
      most = count;
      background = colour;
    }
  }
  int contrast = 0;
  for (const auto& entry : counts) contrast = std::max(contrast, Distance(entry.first, background));
  return contrast;
}

TEST(LooksTest, DisabledTextIsFadedButReadableInEveryPalette) {
  int count = 0;
  const ApplicationLook* looks = ApplicationLooks(&count);
  ASSERT_EQ(count, 9);
  for (int i = 0; i < count; ++i) {
    ApplyApplicationLook(looks[i].id);
    const QPalette palette = QApplication::palette();
    for (const auto& [text, background] :
         {std::pair{QPalette::WindowText, QPalette::Window}, std::pair{QPalette::ButtonText, QPalette::Button},
          std::pair{QPalette::Text, QPalette::Base}}) {
      const QRgb active = palette.color(QPalette::Active, text).rgb();
      const QRgb disabled = palette.color(QPalette::Disabled, text).rgb();
      const QRgb ground = palette.color(QPalette::Disabled, background).rgb();
      EXPECT_GT(Distance(active, disabled), 150) << looks[i].menuText << " role " << text;
      EXPECT_GT(Distance(disabled, ground), 120) << looks[i].menuText << " role " << text;
    }
  }
}

TEST(LooksTest, AMenuDrawsItsDisabledEntryFainterInEveryLook) {
  int count = 0;
  const ApplicationLook* looks = ApplicationLooks(&count);
  for (int i = 0; i < count; ++i) {
    ApplyApplicationLook(looks[i].id);
    QMenu menu;
    QAction* enabled = menu.addAction(QStringLiteral("Save Workspace As"));
    QAction* disabled = menu.addAction(QStringLiteral("Save Workspace As"));
    disabled->setEnabled(false);
    menu.adjustSize();
    const QImage image = menu.grab().toImage();
    ASSERT_FALSE(image.isNull());
    const int enabledInk = InkContrast(image, menu.actionGeometry(enabled));
    const int disabledInk = InkContrast(image, menu.actionGeometry(disabled));
    EXPECT_GT(enabledInk, 200) << looks[i].menuText;
    EXPECT_LT(disabledInk * 10, enabledInk * 8) << looks[i].menuText << ": " << disabledInk
                                                << " against " << enabledInk;
    EXPECT_GT(disabledInk, 90) << looks[i].menuText;
  }
}

TEST(LooksTest, TheLookInForceIsNotInstalledAgain) {
  int count = 0;
  const ApplicationLook* looks = ApplicationLooks(&count);
  for (int i = 0; i < count; ++i) {
    ApplyApplicationLook(looks[i].id);
    const QStyle* style = QApplication::style();
    const QPalette palette = QApplication::palette();
    ApplyApplicationLook(looks[i].id);
    EXPECT_EQ(QApplication::style(), style) << looks[i].menuText;
    EXPECT_TRUE(QApplication::palette().isCopyOf(palette)) << looks[i].menuText;
  }
}

}  // namespace
