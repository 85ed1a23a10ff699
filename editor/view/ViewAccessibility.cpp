#include "editor/view/ViewAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QWidget>

#include "editor/view/ScintillaWnd.h"

namespace {

QAccessibleInterface* PlainWhileInactive(const QString& className, QObject* object) {
  if (QAccessible::isActive() || className != QLatin1String(CScintillaWnd::staticMetaObject.className()))
    return nullptr;
  auto* view = qobject_cast<QWidget*>(object);
  return view ? new QAccessibleWidget(view, QAccessible::EditableText) : nullptr;
}

class CDropPlainOnActivation : public QAccessible::ActivationObserver {
 public:
  void accessibilityActiveChanged(bool active) override {
    if (!active) return;
    for (QWidget* widget : QApplication::allWidgets()) {
      if (!qobject_cast<CScintillaWnd*>(widget)) continue;
      if (QAccessibleInterface* cached = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
    }
  }
};

}  // namespace

void UsePlainAccessibilityWhileNoToolListens() {
  static const bool installed = [] {
    QAccessible::installFactory(PlainWhileInactive);
    static CDropPlainOnActivation observer;
    QAccessible::installActivationObserver(&observer);
    return true;
  }();
  (void)installed;
}
