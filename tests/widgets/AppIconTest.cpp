// The icons of both programs: the desktop theme's first, the shipped drawing
// of the same name otherwise, and every shipped drawing renders.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/common/IconCheck.h"
#include "widgets/AppIcon.h"

namespace {

QStringList Drawings() {
  AppIcon("edit-cut");
  return QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")});
}

// Some pixels are painted, and not all in one colour.
bool IsDrawn(const QImage& image) {
  int painted = 0;
  QRgb first = 0;
  bool varied = false;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) == 0) continue;
      if (painted++ == 0) first = pixel;
      else if (pixel != first) varied = true;
    }
  }
  return painted > 8 && varied;
}

}  // namespace

TEST(AppIcon, EveryShippedDrawingRendersAtToolbarAndWindowSizes) {
  const QStringList drawings = Drawings();
  ASSERT_GE(drawings.size(), 40);
  for (const QString& file : drawings) {
    const QIcon icon(QStringLiteral(":/icons/") + file);
    for (int size : {16, 24, 48}) {
      const QImage image = icon.pixmap(size, size).toImage();
      EXPECT_EQ(image.width(), size) << file.toStdString();
      EXPECT_TRUE(IsDrawn(image)) << file.toStdString() << " at " << size;
    }
  }
}

TEST(AppIcon, WithoutAThemeEveryNameGivesItsOwnDrawing) {
  CNoIconTheme bare;
  for (const char* name : {"edit-cut", "edit-undo", "debug-step-into", "calyx", "quire"}) {
    const QIcon icon = AppIcon(name);
    ASSERT_FALSE(icon.isNull()) << name;
    EXPECT_EQ(IconImage(icon), IconImage(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)))))
        << name;
  }
  EXPECT_NE(IconImage(AppIcon("edit-cut")), IconImage(AppIcon("edit-copy")));
}

TEST(AppIcon, TheDesktopThemeComesFirst) {
  // A theme that has only a plain red "edit-cut".
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString theme = root.filePath(QStringLiteral("plain"));
  ASSERT_TRUE(QDir().mkpath(theme + QStringLiteral("/16x16/actions")));
  QFile index(theme + QStringLiteral("/index.theme"));
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.write("[Icon Theme]\nName=plain\nDirectories=16x16/actions\n\n"
              "[16x16/actions]\nSize=16\nContext=Actions\nType=Fixed\n");
  index.close();
  QImage red(16, 16, QImage::Format_ARGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(theme + QStringLiteral("/16x16/actions/edit-cut.png")));

  CNoIconTheme restore;
  QIcon::setThemeSearchPaths({root.path()});
  QIcon::setThemeName(QStringLiteral("plain"));
  EXPECT_EQ(IconImage(AppIcon("edit-cut")).pixel(8, 8), QColor(Qt::red).rgb());
  // What the theme lacks still comes from the shipped drawings.
  EXPECT_TRUE(IsShippedDrawing(AppIcon("debug-step-into")));
}
