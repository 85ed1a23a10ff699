#include "console/workspace/PaneIcons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace pane_icons {

namespace {

constexpr int kSize = 16;

QPixmap Blank() {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A grid of cells: the numeric icon.
void DrawMatrix(QPainter& painter, QRect box, QColor fill) {
  painter.setPen(QColor(40, 40, 40));
  painter.setBrush(fill);
  painter.drawRect(box);
  const int thirdW = box.width() / 3, thirdH = box.height() / 3;
  for (int i = 1; i < 3; ++i) {
    painter.drawLine(box.left() + i * thirdW, box.top(), box.left() + i * thirdW, box.bottom());
    painter.drawLine(box.left(), box.top() + i * thirdH, box.right(), box.top() + i * thirdH);
  }
}

}  // namespace

QIcon VariableIcon(int image) {
  QPixmap pixmap = Blank();
  QPainter painter(&pixmap);
  switch (image) {
    case 0: {  // struct: braces
      QFont font;
      font.setPixelSize(13);
      font.setBold(true);
      painter.setFont(font);
      painter.setPen(QColor(120, 60, 150));
      painter.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("{}"));
      break;
    }
    case 1:  // pages of a numeric array: two stacked grids
      DrawMatrix(painter, QRect(4, 0, 11, 11), QColor(200, 220, 250));
      DrawMatrix(painter, QRect(0, 4, 11, 11), QColor(160, 200, 245));
      break;
    case 2:
      DrawMatrix(painter, QRect(1, 1, 14, 14), QColor(160, 200, 245));
      break;
    default: {  // anything else: a tag
      painter.setPen(QColor(90, 90, 90));
      painter.setBrush(QColor(235, 215, 150));
      painter.drawRoundedRect(QRect(1, 3, 14, 10), 2, 2);
      break;
    }
  }
  return QIcon(pixmap);
}

}  // namespace pane_icons
