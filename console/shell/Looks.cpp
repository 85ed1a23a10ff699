#include "console/shell/Looks.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace {

constexpr ApplicationLook kLooks[] = {
    {210, "Windows &2000", "Windows", false},
    {211, "Office &XP", "Fusion", false},
    {212, "&Windows XP", "Windows", false},
    {213, "Office 200&3", "Fusion", false},
    {214, "Visual Studio.NET 200&5", "Fusion", false},
    {215, "&Blue Style", "Fusion", true},
    {216, "B&lack Style", "Fusion", true},
    {217, "&Silver Style", "Fusion", true},
    {218, "&Aqua Style", "Fusion", true},
};
constexpr int kFallbackLook = 215;

// A light palette tinted with `window` for frames and `highlight` for selections.
QPalette Tinted(const QColor& window, const QColor& button, const QColor& highlight) {
  QPalette palette;
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::Button, button);
  palette.setColor(QPalette::Highlight, highlight);
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::AlternateBase, window.lighter(105));
  palette.setColor(QPalette::WindowText, Qt::black);
  palette.setColor(QPalette::ButtonText, Qt::black);
  palette.setColor(QPalette::Text, Qt::black);
  return palette;
}

QPalette Dark() {
  QPalette palette;
  const QColor window(45, 45, 48);
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::Button, QColor(62, 62, 66));
  palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
  palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  palette.setColor(QPalette::Text, QColor(230, 230, 230));
  palette.setColor(QPalette::Base, QColor(30, 30, 30));
  palette.setColor(QPalette::AlternateBase, window);
  palette.setColor(QPalette::Highlight, QColor(0, 122, 204));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::ToolTipBase, window);
  palette.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
  // Styles etch disabled text with this colour: a light etch would brighten it.
  palette.setColor(QPalette::Disabled, QPalette::Light, window);
  return palette;
}

QColor Blend(const QColor& from, const QColor& to, double share) {
  return QColor::fromRgbF(
      static_cast<float>(from.redF() + (to.redF() - from.redF()) * share),
      static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * share),
      static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * share));
}

// setColor gives every colour group the same colour, so disabled entries would
// read as enabled: their text is faded halfway into its background instead.
QPalette WithDisabledColors(QPalette palette) {
  const struct {
    QPalette::ColorRole text, background;
  } kPairs[] = {{QPalette::WindowText, QPalette::Window},
                {QPalette::ButtonText, QPalette::Button},
                {QPalette::Text, QPalette::Base}};
  for (const auto& pair : kPairs) {
    palette.setColor(QPalette::Disabled, pair.text,
                     Blend(palette.color(QPalette::Active, pair.text),
                           palette.color(QPalette::Active, pair.background), 0.55));
  }
  return palette;
}

QPalette PaletteFor(int id) {
  switch (id) {
    case 210: return Tinted(QColor(212, 208, 200), QColor(212, 208, 200), QColor(10, 36, 106));
    case 211: return Tinted(QColor(246, 246, 246), QColor(236, 233, 216), QColor(49, 106, 197));
    case 212: return Tinted(QColor(236, 233, 216), QColor(236, 233, 216), QColor(49, 106, 197));
    case 213: return Tinted(QColor(196, 218, 250), QColor(221, 236, 254), QColor(251, 200, 79));
    case 214: return Tinted(QColor(240, 240, 234), QColor(252, 252, 249), QColor(193, 210, 238));
    case 216: return Dark();
    case 217: return Tinted(QColor(208, 212, 221), QColor(229, 231, 236), QColor(120, 134, 161));
    case 218: return Tinted(QColor(203, 225, 236), QColor(220, 236, 243), QColor(52, 146, 186));
    default: return Tinted(QColor(191, 219, 255), QColor(219, 234, 255), QColor(255, 213, 77));
  }
}

}  // namespace

const ApplicationLook* ApplicationLooks(int* count) {
  *count = static_cast<int>(std::size(kLooks));
  return kLooks;
}

int ApplyApplicationLook(int id) {
  const ApplicationLook* look = nullptr;
  for (const ApplicationLook& candidate : kLooks) {
    if (candidate.id == id) look = &candidate;
  }
  if (!look) {
    id = kFallbackLook;
    look = &kLooks[5];
  }
  // The look in force is left alone: installing it again would style every
  // widget of the window anew.
  const QString styleName = QString::fromLatin1(look->styleName);
  if (QApplication::style()->name().compare(styleName, Qt::CaseInsensitive) != 0) {
    if (QStyle* style = QStyleFactory::create(styleName)) QApplication::setStyle(style);
  }
  const QPalette palette = WithDisabledColors(PaletteFor(id));
  if (QApplication::palette() != palette) QApplication::setPalette(palette);
  return id;
}
