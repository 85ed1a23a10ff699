// The path box of the main toolbar: an editable combo box listing the recent
// folders. Enter in its edit field or a pick from its list asks for a change of
// folder; the changer drives what it shows through IPathBox.
#pragma once

#include <QObject>

#include <functional>
#include <string>

#include "console/files/CurrentDirectory.h"

class QComboBox;

class CPathComboButton : public QObject, public IPathBox {
  Q_OBJECT

 public:
  // `change` receives the box's text (runs on the GUI thread).
  CPathComboButton(QComboBox* box, std::function<void(const std::string&)> change);

  void SetText(const std::string& text) override;
  void SetItems(const std::vector<std::string>& items) override;
  void AddItem(const std::string& text) override;
  void RemoveItem(const std::string& text) override;
  void TakeFocus() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QComboBox* m_box;
  std::function<void(const std::string&)> m_change;
};
