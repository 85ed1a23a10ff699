// The "Editor" page of the options sheet: preferences of the Quire editor, kept
// in Quire's own settings store. Calyx never creates that store: until Quire has
// run once the page shows Quire's defaults and writes nothing.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "widgets/TreePropertySheet.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

class COptionsEditor : public QWidget, public IPropertyPage {
  Q_OBJECT

 public:
  // `sendToEditor` passes a text to the running editor; false when it is not running.
  explicit COptionsEditor(std::function<bool(const std::string&)> sendToEditor,
                          QWidget* parent = nullptr);

  void Open() override;
  // Writes only when Quire's preferences existed on opening and still do; the
  // editor is then told to reload them.
  void Apply() override;

 private:
  std::function<bool(const std::string&)> m_sendToEditor;
  bool m_found = false;

  QCheckBox* m_autoComplete = nullptr;
  QCheckBox* m_calltips = nullptr;
  QCheckBox* m_showAll = nullptr;
  QCheckBox* m_reopen = nullptr;
  QComboBox* m_comment = nullptr;
  QLineEdit* m_tabSize = nullptr;
  QCheckBox* m_useSpaces = nullptr;
  QRadioButton* m_noIndent = nullptr;
  QRadioButton* m_smartIndent = nullptr;
};
